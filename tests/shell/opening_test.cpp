#include <doctest.h>

#include <algorithm>

#include "app/shell/commands.h"
#include "platform/bmp_image.h"
#include "platform/file_services.h"
#include "tests/shell/shell_fixture.h"

using namespace varnel;
using namespace ui;

namespace {
std::vector<std::string> ListedNames() {
    ListBox& list = Ui<ListBox>(列表框1);
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i) names.push_back(list.ItemText(i));
    std::sort(names.begin(), names.end());
    return names;
}

void Touch(const std::string& path, Bytes content = Bytes{'x'}) { REQUIRE(WriteWholeFile(path, content)); }
}  // namespace

TEST_CASE("opening a folder lists its files, not its folders") {
    test::StartedMainWindow();
    test::TempFolder pics("varnel-pics", test::kBrowsableBase);
    Touch(pics.File("a.jpg"));
    Touch(pics.File("b.png"));
    Touch(pics.File("notes.txt"));
    Touch(pics.File("图片一.jpg"));
    Touch(pics.File("a.jpg.varnel-new"));  // left by a stopped run
    Touch(pics.File("b.png.VARNEL-NEW"));
    Touch(pics.File("keep.varnel-new.jpg"));
    CreateOneFolder(pics.File("sub"));

    SUBCASE("through the folder dialog") {
        test::DialogAnswerer answer([&](HWND box) {
            CHECK(test::SelectFolderInBrowser(box, pics.Path()));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        OpenPictureFolder();
        CHECK(answer.Answered());
        CHECK(ListedNames() ==
              std::vector<std::string>{"a.jpg", "b.png", "keep.varnel-new.jpg", "notes.txt", "图片一.jpg"});
        CHECK_FALSE(FindFirstFileExists(pics.File("*.varnel-new")));
        CHECK(lstrcmpiA(App().currentFolder.c_str(), pics.Path().c_str()) == 0);
        CHECK(App().browsedFolder.back() == '\\');
        CHECK(lstrcmpiA(Ui<StatusBar>(状态条).PartText(1).c_str(), pics.Path().c_str()) == 0);
    }
    SUBCASE("a cancelled dialog leaves everything as it was") {
        std::string folder = App().currentFolder;
        std::string status = Ui<StatusBar>(状态条).PartText(1);
        int count = Ui<ListBox>(列表框1).Count();
        test::DialogAnswerer cancel([](HWND box) { PostMessageA(box, WM_COMMAND, IDCANCEL, 0); });
        OpenPictureFolder();
        CHECK(cancel.Answered());
        CHECK(App().currentFolder == folder);
        CHECK(Ui<StatusBar>(状态条).PartText(1) == status);
        CHECK(Ui<ListBox>(列表框1).Count() == count);
    }
    SUBCASE("the menu's open takes the parent folder and the title") {
        std::string sub = pics.File("sub");
        test::DialogAnswerer answer([&](HWND box) {
            CHECK(test::SelectFolderInBrowser(box, sub));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        int count = Ui<ListBox>(列表框1).Count();
        ChooseFolder();
        CHECK(lstrcmpiA(App().currentFolder.c_str(), (pics.Path() + "\\").c_str()) == 0);
        CHECK(App().currentTitle == "sub");
        CHECK(Ui<ListBox>(列表框1).Count() == count);
    }
}

TEST_CASE("listing a root folder does not double its separator") {
    test::StartedMainWindow();
    std::string root = "C:\\";
    ListFolderFiles(root);
    CHECK(root == "C:\\");
    std::string folder = "C:\\windows";
    ListFolderFiles(folder);
    CHECK(folder == "C:\\windows\\");
    CHECK(Ui<ListBox>(列表框1).Count() > 0);
    std::string missing = "C:\\no such folder";
    ListFolderFiles(missing);
    CHECK(Ui<ListBox>(列表框1).Count() == 0);
}

TEST_CASE("the Photo folder is listed by the menu's browse") {
    test::StartedMainWindow();
    std::string photo = ProgramFolder() + "\\photo";
    Touch(photo + "\\0042.jpg");
    ListPhotoFolder();
    CHECK(App().currentFolder == ProgramFolder() + "\\Photo\\");
    std::vector<std::string> names = ListedNames();
    CHECK(std::find(names.begin(), names.end(), "0042.jpg") != names.end());
    DeleteFileA((photo + "\\0042.jpg").c_str());
}

TEST_CASE("dropping a file shows it and adds it to the list") {
    test::StartedMainWindow();
    test::TempFolder pics("varnel-drop");
    std::string path = pics.File("a.jpg");
    Touch(path, test::MakePicture(64, 48, 0x00FF00, "jpeg"));
    Ui<ListBox>(列表框1).Clear();
    Ui<ListBox>(列表框1).AddItem("old.jpg");
    OnFileDropped(path);
    CHECK(App().currentPicturePath == path);
    CHECK(App().currentFolder == pics.Path() + "\\");
    CHECK(App().currentTitle == "a");
    CHECK(Ui<ListBox>(列表框1).Count() == 2);
    CHECK(Ui<ListBox>(列表框1).ItemText(1) == "a.jpg");
    CHECK(Ui<ListBox>(列表框1).SelectedIndex() == -1);
    CHECK(Ui<StatusBar>(状态条).PartText(1) == pics.Path() + "\\");
    CHECK(Ui<StatusBar>(状态条).PartText(3) == "a");
    BmpHeader shown;
    REQUIRE(IsWholeBmp24(Ui<DrawPanel>(画板1).Picture(), &shown));
    CHECK(shown.width == 64);

    SUBCASE("an unreadable file leaves no picture but sets the state") {
        OnFileDropped(pics.File("missing.jpg"));
        CHECK(Ui<DrawPanel>(画板1).Picture().empty());
        CHECK(App().currentTitle == "missing");
    }
}

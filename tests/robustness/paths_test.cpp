#include <doctest.h>

#include <algorithm>
#include <cwchar>

#include "app/operations/helpers.h"
#include "platform/components.h"
#include "tests/robustness/robustness_table.h"

using namespace varnel;
using namespace varnel::robust;
using namespace ui;

namespace {

std::wstring Wide(const std::string& ansi) {
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
    std::wstring w(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &w[0], n);
    w.resize(wcslen(w.c_str()));
    return w;
}

// The names of the files in a folder, in the order found.
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    FindHandle search(FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (!search) return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
    } while (FindNextFileA(search.get(), &entry));
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST_CASE("GBK folder and file names, with characters whose second byte is 0x5C") {
    test::StartedMainWindow();
    REQUIRE(GetACP() == 936);
    // 乗 is 81 5C, 盶 is B1 5C, 昞 is 95 5C: each ends in the byte of "\".
    test::TempFolder folder("图片乗盶昞");
    test::TempFolder sibling("图片乗盶昞-sibling");
    REQUIRE(FolderExists(folder.Path()));
    const std::vector<std::string> names{"乗.jpg", "盶昞.png", "风景 乗.bmp"};
    for (const std::string& name : names) {
        REQUIRE(WriteWholeFile(folder.File(name), test::MakePicture(120, 80, 0xFFFFFF, "png")));
    }
    ListFolder(folder.Path());
    ListBox& list = Ui<ListBox>(列表框1);
    CHECK(list.Count() == 3);
    for (const std::string& name : names) {
        CAPTURE(name);
        REQUIRE(LoadByName(name) >= 0);
        std::string shown = PanelState();
        CHECK(shown == "a 120 x 80 picture");
        CHECK(App().currentTitle == FileTitle(name, false));
        Record("GBK names", "\"" + name + "\" in a folder whose name holds 乗盶昞, listed and opened",
               "shows " + shown + "; title \"" + App().currentTitle + "\"", "a 120 x 80 picture; title without extension",
               shown == "a 120 x 80 picture" && App().currentTitle == FileTitle(name, false));
    }

    // Halving writes pieces named after the picture into the Photo folder.
    REQUIRE(LoadByName("乗.jpg") >= 0);
    SplitPictureInHalves();
    std::string photo = ProgramFolder() + "\\Photo\\";
    bool halves = ReadWholeFile(photo + "乗_1.jpeg").size() > 8 && ReadWholeFile(photo + "乗_2.jpeg").size() > 8;
    CHECK(halves);
    DeleteFileA((photo + "乗_1.jpeg").c_str());
    DeleteFileA((photo + "乗_2.jpeg").c_str());
    Record("GBK names", "halving \"乗.jpg\"", halves ? "Photo\\乗_1.jpeg and Photo\\乗_2.jpeg written" : "halves missing",
           "both halves under the picture's name", halves);

    // Cutting by the guide lines makes a folder named after the picture.
    App().verticalCutCount = 1;
    App().horizontalCutCount = 0;
    CutPictureByLines();
    App().verticalCutCount = 0;
    std::string cells = folder.File("乗");
    bool cut = FolderExists(cells) && ReadWholeFile(cells + "\\乗-1.jpg").size() > 8 &&
               ReadWholeFile(cells + "\\乗-2.jpg").size() > 8;
    CHECK(cut);
    Record("GBK names", "cutting \"乗.jpg\" by one vertical line", cut ? "乗\\乗-1.jpg and 乗\\乗-2.jpg written" : "cells missing",
           "a folder of the picture's name with both cells", cut);
    if (FolderExists(cells)) {
        DeleteFileA((cells + "\\乗-1.jpg").c_str());
        DeleteFileA((cells + "\\乗-2.jpg").c_str());
        RemoveDirectoryA(cells.c_str());
    }

    // A picture batch replaces exactly the listed files, in their own folder.
    std::vector<std::string> before = Names(folder.Path());
    ListFolder(folder.Path());
    Ui<EditBox>(编辑框1).SetText("0");
    Ui<EditBox>(编辑框2).SetText("0");
    RunBatch(BatchOperation::Picture, true);
    App().watermarkMode = WatermarkMode::None;
    bool same = Names(folder.Path()) == before && Names(sibling.Path()).empty();
    bool written = true;
    for (const std::string& name : names) {
        written = written && IsWholeBmp24(DecodePictureToBmp24(ReadWholeFile(folder.File(name))));
    }
    CHECK(same);
    CHECK(written);
    Record("GBK names", "picture batch over the GBK folder",
           std::string(written ? "every file replaced by a whole picture" : "some file not replaced") +
               (same ? "; no other file made or lost" : "; the folder's files changed"),
           "each file written in place", same && written);

    // A dropped file: its folder ends after the last real separator.
    OnFileDropped(folder.File("乗.jpg"));
    bool dropped = App().currentFolder == folder.Path() + "\\" && App().currentTitle == "乗" &&
                   PanelState() == "a 120 x 80 picture";
    CHECK(dropped);
    Record("GBK names", "\"乗.jpg\" dropped on the window",
           std::string(App().currentFolder == folder.Path() + "\\" ? "its own folder" : "another folder") +
               ", title \"" + App().currentTitle + "\", shows " + PanelState(),
           "the file's own folder and title", dropped);
}

TEST_CASE("a 270-character path works in every command") {
    test::StartedMainWindow();
    test::TempFolder root("varnel-robust-long");
    std::string folder = root.Path();
    while (folder.size() < 225) folder += "\\" + std::string(std::min<size_t>(40, 230 - folder.size()), 'd');
    std::string made = folder;
    REQUIRE(CreateFolderPath(made) >= 0);
    REQUIRE(FolderExists(folder));
    const std::string title = std::string(270 - folder.size() - 5, 'n');
    const std::string path = folder + "\\" + title + ".png";
    REQUIRE(path.size() == 270);
    const Bytes picture = test::MakePicture(60, 40, 0xFFFFFF, "png");
    REQUIRE(WriteWholeFile(path, picture));
    ListFolder(folder);
    REQUIRE(LoadByName(title + ".png") >= 0);
    const std::string shown = PanelState();
    const std::string photo = ProgramFolder() + "\\Photo\\" + title;
    CHECK(SplitPictureInHalves() == 2);
    const bool halves = ReadWholeFile(photo + "_2.jpeg").size() > 8;
    DeleteFileA((photo + "_1.jpeg").c_str());
    DeleteFileA((photo + "_2.jpeg").c_str());
    App().verticalCutCount = 1;
    CutPictureByLines();
    App().verticalCutCount = 0;
    const std::string cells = folder + "\\" + title + "\\" + title;
    const bool grid = PictureState(DecodePictureToBmp24(ReadWholeFile(cells + "-2.jpg"))) == "a 30 x 40 picture";
    Ui<EditBox>(编辑框1).SetText("0");
    Ui<EditBox>(编辑框2).SetText("0");
    REQUIRE(test::PickFont("文泉驿微米黑"));
    std::string texts[2];
    for (BatchOperation run : {BatchOperation::Text, BatchOperation::Picture}) {
        const std::string told = MessageOf([run] { RunBatch(run, true); });
        texts[run == BatchOperation::Picture] = FileState(path, picture) + "; " + told;
    }
    App().watermarkMode = WatermarkMode::None;
    CHECK(texts[0] == "file replaced by a whole 60 x 40 PNG; 批量文字加水印完成! 已写入 1 个文件。");
    CHECK(texts[1] == "file replaced by a whole 60 x 40 PNG; 批量图片加水印完成! 已写入 1 个文件。");
    SaveSnapshot();
    const std::string snapshot = ProgramFolder() + "\\Photo\\" + App().currentTitle + ".jpg";
    const bool saved = PictureState(DecodePictureToBmp24(ReadWholeFile(snapshot))) == "a 60 x 40 picture";
    DeleteFileA(snapshot.c_str());
    // The picture run's original is the text run's output: two undos.
    (void)MessageOf([] {
        UndoLastRun();
        UndoLastRun();
    });
    const bool restored = ReadWholeFile(path) == picture;
    const bool ok = shown == "a 60 x 40 picture" && halves && grid && saved && restored;
    CHECK(ok);
    Record("Long paths", "a 270-character path: listed, shown, halved, cut, text and picture runs, snapshot, undo",
           "shows " + shown + "; halves " + (halves ? "written" : "missing") + "; cells " + (grid ? "written" : "missing") +
               "; runs: " + texts[0].substr(0, texts[0].find(';')) + ", " + texts[1].substr(0, texts[1].find(';')) +
               "; snapshot " + (saved ? "saved" : "missing") + "; undo " + (restored ? "put the original back" : "failed"),
           "every command works as on a short path",
           ok && texts[0].find("file replaced") == 0 && texts[1].find("file replaced") == 0);
}

TEST_CASE("a file whose name the ANSI code page cannot hold") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-robust-unicode");
    Bytes picture = test::MakePicture(50, 30, 0xFFFFFF, "png");
    // "a" + U+1F600 + ".png": the listing gives it as "a?.png" or "a??.png";
    // a neighbour whose name such a pattern would match must not be touched.
    const std::wstring wide = L"a\U0001F600.png";
    {
        FileHandle make(CreateFileW((Wide(folder.Path()) + L"\\" + wide).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        REQUIRE(make);
        DWORD written = 0;
        REQUIRE(WriteFile(make.get(), picture.data(), static_cast<DWORD>(picture.size()), &written, nullptr));
    }
    Bytes neighbour = test::MakePicture(50, 30, 0x0000FF, "png");
    REQUIRE(WriteWholeFile(folder.File("ab.png"), neighbour));
    REQUIRE(WriteWholeFile(folder.File("abc.png"), neighbour));
    ListFolder(folder.Path());
    const std::string told = Ui<StatusBar>(状态条).PartText(1);
    CHECK(told.find("1 个文件" + std::string(kNameOutsideCodePage)) != std::string::npos);
    ListBox& list = Ui<ListBox>(列表框1);
    std::string listedAs;
    for (int i = 0; i < list.Count(); ++i) {
        if (list.ItemText(i) != "ab.png" && list.ItemText(i) != "abc.png") listedAs = list.ItemText(i);
    }
    Answers answers;
    std::string shown = "not listed";
    if (!listedAs.empty()) {
        LoadByName(listedAs);
        shown = "shows " + PanelState() + ", says \"" + answers.Message() + "\"";
    }
    CHECK(answers.Message() == "无法打开“" + listedAs + "”：" + kNameOutsideCodePage + "。");
    Ui<EditBox>(编辑框1).SetText("0");
    Ui<EditBox>(编辑框2).SetText("0");
    RunBatch(BatchOperation::Picture, true);
    App().watermarkMode = WatermarkMode::None;
    const bool named = answers.Message().find(listedAs + "（" + kNameOutsideCodePage + "）") != std::string::npos;
    CHECK(named);
    Bytes now;
    {
        FileHandle read(CreateFileW((Wide(folder.Path()) + L"\\" + wide).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        REQUIRE(read);
        now.resize(picture.size() + 16);
        DWORD got = 0;
        ReadFile(read.get(), now.data(), static_cast<DWORD>(now.size()), &got, nullptr);
        now.resize(got);
    }
    bool kept = now == picture;
    // The neighbours are pictures of their own: the batch watermarks them
    // in place, at their own size.
    BmpHeader ab, abc;
    bool neighbours = IsWholeBmp24(DecodePictureToBmp24(ReadWholeFile(folder.File("ab.png"))), &ab) &&
                      ab.width == 50 &&
                      IsWholeBmp24(DecodePictureToBmp24(ReadWholeFile(folder.File("abc.png"))), &abc) &&
                      abc.width == 50;
    CHECK(kept);
    CHECK(neighbours);
    Record("GBK names", "a file named a + U+1F600 (no GBK form) beside ab.png and abc.png",
           "listed as \"" + listedAs + "\"; " + shown + "; picture batch: " + (kept ? "file unchanged" : "file changed") +
               ", reports \"" + answers.Message() + "\"" +
               (neighbours ? "; the neighbours watermarked as themselves" : "; a neighbour went wrong"),
           "file unchanged and named in the run's report; no other file written in its place",
           kept && neighbours && named);
}

TEST_CASE("a picture whose name has no extension is shown, halved and cut") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-robust-noext");
    REQUIRE(WriteWholeFile(folder.File("noext"), test::MakePicture(120, 80, 0x3366CC, "jpeg")));
    REQUIRE(WriteWholeFile(folder.File("a.jpg"), test::MakePicture(200, 50, 0x3366CC, "jpeg")));
    REQUIRE(WriteWholeFile(folder.File("z.png"), test::MakePicture(30, 90, 0x3366CC, "png")));
    ListFolder(folder.Path());
    REQUIRE(LoadByName("noext") >= 0);
    const std::string shown = PanelState();
    const std::string halves = ProgramFolder() + "\\Photo\\noext_";
    // The grid's folder cannot take the picture's own name: that is the file.
    App().verticalCutCount = 1;
    App().horizontalCutCount = 0;
    CutPictureByLines();
    App().verticalCutCount = 0;
    DeleteFileA((halves + "1.jpeg").c_str());
    DeleteFileA((halves + "2.jpeg").c_str());
    RunBatch(BatchOperation::Split, true);
    const bool halved = PictureState(DecodePictureToBmp24(ReadWholeFile(halves + "1.jpeg"))) == "a 60 x 80 picture" &&
                        PictureState(DecodePictureToBmp24(ReadWholeFile(halves + "2.jpeg"))) == "a 60 x 80 picture";
    std::string cells;
    for (const std::string& name : {std::string("noext"), std::string("noext-cut")}) {
        const std::string cell = folder.File(name) + "\\noext-2.jpg";
        if (ReadWholeFile(cell).size() > 8) cells = name + "\\noext-1.jpg, " + name + "\\noext-2.jpg";
    }
    CHECK(shown == "a 120 x 80 picture");
    CHECK(halved);
    CHECK_FALSE(cells.empty());
    const bool ok = shown == "a 120 x 80 picture" && halved && !cells.empty();
    Record("Names", "a JPEG named \"noext\", no extension, in a halves batch and cut by one vertical line",
           "shows " + shown + (halved ? "; both halves written" : "; halves missing") +
               (cells.empty() ? "; no cells written" : "; cells " + cells + " written"),
           "shown, halved and cut", ok);
}

#include <doctest.h>

#include <set>

#include "app/shell/commands.h"
#include "platform/bmp_image.h"
#include "platform/file_services.h"
#include "tests/shell/shell_fixture.h"

using namespace varnel;
using namespace ui;

namespace {
std::vector<std::string>* captions = nullptr;

void CALLBACK RecordProgress(HWND, UINT, UINT_PTR, DWORD) {
    std::string text = Ui<Label>(标签2).Text();
    if (captions && !text.empty() && (captions->empty() || captions->back() != text)) captions->push_back(text);
}

// Lists a folder of pictures the way the open command does.
void ListFolder(const std::string& path) {
    std::string folder = path;
    ListFolderFiles(folder);
    App().currentFolder = path;
}

bool IsBmp(const Bytes& b) { return b.size() > 54 && b[0] == 'B' && b[1] == 'M'; }
}  // namespace

TEST_CASE("the text batch writes the watermarked preview over every listed picture") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-batch");
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
        REQUIRE(WriteWholeFile(folder.File(name), test::MakePicture(640, 400, 0xFFFFFF, "jpeg")));
    }
    ListFolder(folder.Path());
    REQUIRE(test::PickFont("文泉驿微米黑"));
    Ui<EditBox>(编辑框1).SetText("40");
    Ui<EditBox>(编辑框2).SetText("50");
    std::vector<std::string> seen;
    captions = &seen;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, &RecordProgress);
    test::DialogAnswerer answer([](HWND box) {
        SetDlgItemTextA(box, 100, "HHHH");
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    RunBatch(BatchOperation::Text, true);
    KillTimer(nullptr, timer);
    captions = nullptr;

    CHECK(answer.Answered());
    CHECK(App().watermarkText == "HHHH");
    CHECK(App().watermarkPosition.x == 40);
    REQUIRE(seen.size() >= 2);
    CHECK(seen.front() == "共有：3条数据，正在处理第：1条。");
    CHECK(seen.back() == "共有：3条数据，正在处理第：3条。");
    CHECK_FALSE(Ui<Label>(标签2).Visible());
    CHECK(Ui<Label>(标签2).Text().empty());
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
        CAPTURE(name);
        Bytes written = ReadWholeFile(folder.File(name));
        REQUIRE(IsBmp(written));
        BmpHeader header;
        REQUIRE(IsWholeBmp24(written, &header));
        CHECK(header.width == 640);
        CHECK(header.height == 400);
        bool reddish = false;
        for (int y = 0; y < header.height && !reddish; y += 2) {
            for (int x = 0; x < header.width && !reddish; x += 2) {
                unsigned p = test::BmpPixel(written, x, y);
                reddish = (p >> 16) > 200 && ((p >> 8) & 0xFF) < 150;
            }
        }
        CHECK(reddish);
    }
}

TEST_CASE("a text batch that can draw no text leaves the files as they were") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-batch-nofont");
    Bytes picture = test::MakePicture(320, 200, 0xFFFFFF, "png");
    REQUIRE(WriteWholeFile(folder.File("a.png"), picture));
    ListFolder(folder.Path());
    ComboBox& fonts = Ui<ComboBox>(组合框_字体选择);
    fonts.SetSelectedIndex(-1);
    fonts.SetText("");
    test::DialogAnswerer answer([](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); });
    RunBatch(BatchOperation::Text, true);
    CHECK(answer.Answered());
    CHECK(ReadWholeFile(folder.File("a.png")) == picture);
}

TEST_CASE("a batch leaves files it cannot or must not replace as they were") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-batch-keep");
    Bytes picture = test::MakePicture(320, 200, 0xFFFFFF, "png");
    Bytes notes{'j', 'u', 's', 't', ' ', 't', 'e', 'x', 't'};
    REQUIRE(WriteWholeFile(folder.File("a.png"), picture));
    REQUIRE(WriteWholeFile(folder.File("locked.png"), picture));
    REQUIRE(WriteWholeFile(folder.File("notes.jpg"), notes));
    REQUIRE(WriteWholeFile(folder.File("z.png"), picture));
    SetFileAttributesA(folder.File("locked.png").c_str(), FILE_ATTRIBUTE_READONLY);
    ListFolder(folder.Path());
    App().watermarkPosition = WatermarkPosition{0, 0};
    RunBatch(BatchOperation::Picture, true);
    CHECK(App().watermarkMode == WatermarkMode::Picture);
    CHECK(ReadWholeFile(folder.File("locked.png")) == picture);
    CHECK(ReadWholeFile(folder.File("notes.jpg")) == notes);
    CHECK(IsBmp(ReadWholeFile(folder.File("a.png"))));
    CHECK(IsBmp(ReadWholeFile(folder.File("z.png"))));
    SetFileAttributesA(folder.File("locked.png").c_str(), FILE_ATTRIBUTE_NORMAL);
    App().watermarkMode = WatermarkMode::None;
}

TEST_CASE("the picture batch multiplies the watermark picture into each file") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-batch-mark");
    REQUIRE(WriteWholeFile(folder.File("p.png"), test::MakePicture(928, 584, 0xFFFFFF, "png")));
    ListFolder(folder.Path());
    Ui<EditBox>(编辑框1).SetText("100");
    Ui<EditBox>(编辑框2).SetText("60");
    RunBatch(BatchOperation::Picture, true);
    Bytes written = ReadWholeFile(folder.File("p.png"));
    REQUIRE(IsBmp(written));
    int dark = 0;
    for (int y = 60; y < 89; ++y) {
        for (int x = 100; x < 220; ++x) dark += (test::BmpPixel(written, x, y) & 0xFF) < 128;
    }
    CHECK(dark > 50);
    CHECK(test::BmpPixel(written, 50, 300) == 0xFFFFFF);
    App().watermarkMode = WatermarkMode::None;
}

TEST_CASE("the split batch cuts every listed picture") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-batch-split");
    REQUIRE(WriteWholeFile(folder.File("wide.png"), test::MakePicture(200, 100, 0x00FF00, "png")));
    REQUIRE(WriteWholeFile(folder.File("tall.png"), test::MakePicture(100, 200, 0x00FF00, "png")));
    ListFolder(folder.Path());
    RunBatch(BatchOperation::Split, false);
    std::string photo = ProgramFolder() + "\\Photo\\";
    for (const char* name : {"wide_1.jpeg", "wide_2.jpeg", "tall_1.jpeg", "tall_2.jpeg"}) {
        CAPTURE(name);
        CHECK(ReadWholeFile(photo + name).size() > 8);
        DeleteFileA((photo + name).c_str());
    }
    CHECK(ReadWholeFile(folder.File("wide.png")).size() > 8);  // the sources stay
}

TEST_CASE("an empty list still finishes with its message") {
    test::StartedMainWindow();
    Ui<ListBox>(列表框1).Clear();
    DWORD start = GetTickCount();
    RunBatch(BatchOperation::Split, true);
    CHECK(GetTickCount() - start >= 1000);
    CHECK_FALSE(Ui<Label>(标签2).Visible());
}

TEST_CASE("a saved snapshot takes a free four-digit name") {
    test::StartedMainWindow();
    std::string photo = ProgramFolder() + "\\Photo\\";
    Ui<DrawPanel>(画板1).SetPicture(test::MakePicture(64, 32, 0x0000FF, "png"));
    // Every name but one is taken; none of them may be overwritten.
    Bytes taken{'t', 'a', 'k', 'e', 'n'};
    for (int n = 1; n <= 1000; ++n) {
        if (n == 7) continue;
        std::string number = "0000" + std::to_string(n);
        REQUIRE(WriteWholeFile(photo + number.substr(number.size() - 4) + ".jpg", taken));
    }
    SaveSnapshot();
    CHECK(App().currentTitle == "0007");
    Bytes saved = ReadWholeFile(photo + "0007.jpg");
    BmpHeader header;
    REQUIRE(IsWholeBmp24(saved, &header));
    CHECK(header.width == 64);
    CHECK(ReadWholeFile(photo + "0001.jpg") == taken);
    CHECK(ReadWholeFile(photo + "1000.jpg") == taken);
    for (int n = 1; n <= 1000; ++n) {
        std::string number = "0000" + std::to_string(n);
        DeleteFileA((photo + number.substr(number.size() - 4) + ".jpg").c_str());
    }
}

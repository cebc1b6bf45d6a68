#include <doctest.h>

#include <set>

#include "app/shell/commands.h"
#include "platform/bmp_format.h"
#include "platform/bmp_image.h"
#include "platform/file_services.h"
#include "platform/picture_codec.h"
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

// How many entries (run folders) a folder holds.
int ListFolderFilesCount(const std::string& path) {
    int count = 0;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        count += std::string(entry.cFileName) != "." && std::string(entry.cFileName) != "..";
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return count;
}

// A 1-pixel black and white checkerboard: any resampling on the way greys it.
Bytes Checkerboard(int width, int height) {
    Bytes bmp = MakeBmp24(width, height, nullptr, 0);
    BmpHeader header;
    ReadBmpHeader(bmp, header);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if ((x + y) % 2) continue;
            for (int k = 0; k < 3; ++k) bmp[header.offBits + header.stride * y + 3 * x + k] = 0xFF;
        }
    }
    BitmapOwner picture(DecodeBitmap(bmp));
    return EncodePicture(picture.bitmap, PictureFormat::Png);
}
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
        // Still a JPEG, at the picture's own size.
        REQUIRE(FormatOfBytes(ReadWholeFile(folder.File(name))) == PictureFormat::Jpeg);
        Bytes written = DecodePictureToBmp24(ReadWholeFile(folder.File(name)));
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

TEST_CASE("a batch leaves files it cannot or must not replace as they were, and counts them") {
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
    App().watermarkMode = WatermarkMode::Picture;
    BatchReport report;
    for (int i = 1; i <= 4; ++i) {
        report.Add(Ui<ListBox>(列表框1).ItemText(i - 1), RunBatchItem(BatchOperation::Picture, i, 0));
    }
    CHECK(ReadWholeFile(folder.File("locked.png")) == picture);
    CHECK(ReadWholeFile(folder.File("notes.jpg")) == notes);
    CHECK(FormatOfBytes(ReadWholeFile(folder.File("a.png"))) == PictureFormat::Png);
    CHECK(FormatOfBytes(ReadWholeFile(folder.File("z.png"))) == PictureFormat::Png);
    CHECK(report.Written() == 2);
    CHECK(report.Failed() == 2);
    const std::string text = report.Text(BatchOperation::Picture);
    CHECK(text.find("批量图片加水印完成!\n已写入 2 个文件，2 个失败：") == 0);
    CHECK(text.find("locked.png（无法写入）") != std::string::npos);
    CHECK(text.find("notes.jpg") != std::string::npos);
    // The message as the user reads it.
    test::DialogAnswerer look([](HWND box) {
        test::SaveWindowScreenshot(box, test::ScreenshotFolder() + "\\batch-report.png");
        PostMessageA(box, WM_CLOSE, 0, 0);
    });
    ShowTimedMessage(text, 10000);
    CHECK(look.Answered());
    SetFileAttributesA(folder.File("locked.png").c_str(), FILE_ATTRIBUTE_NORMAL);
    App().watermarkMode = WatermarkMode::None;
}

TEST_CASE("the picture batch multiplies the mark into the picture's own pixels and keeps every other one") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-batch-mark");
    const Bytes original = Checkerboard(1200, 900);
    REQUIRE(WriteWholeFile(folder.File("p.png"), original));
    ListFolder(folder.Path());
    Ui<EditBox>(编辑框1).SetText("100");
    Ui<EditBox>(编辑框2).SetText("60");
    RunBatch(BatchOperation::Picture, true);
    REQUIRE(FormatOfBytes(ReadWholeFile(folder.File("p.png"))) == PictureFormat::Png);
    const Bytes before = DecodePictureToBmp24(original);
    const Bytes after = DecodePictureToBmp24(ReadWholeFile(folder.File("p.png")));
    BmpHeader header;
    REQUIRE(IsWholeBmp24(after, &header));
    CHECK(header.width == 1200);
    CHECK(header.height == 900);
    int marked = 0, changedElsewhere = 0;
    for (int y = 0; y < 900; y += 3) {
        for (int x = 0; x < 1200; x += 5) {
            const bool inMark = x >= 100 && x < 220 && y >= 60 && y < 89;
            const bool same = test::BmpPixel(after, x, y) == test::BmpPixel(before, x, y);
            if (inMark) marked += !same;
            if (!inMark) changedElsewhere += !same;
        }
    }
    CHECK(marked > 20);
    CHECK(changedElsewhere == 0);
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
    }
    CHECK(ReadWholeFile(folder.File("wide.png")).size() > 8);  // the sources stay
    // One run folder notes the batch's pieces; undo takes back those still
    // as the cut wrote them and keeps the one written over since.
    CHECK(ListFolderFilesCount(folder.Path() + "\\原图备份") == 1);
    const Bytes changed{1, 2, 3};
    REQUIRE(WriteWholeFile(photo + "wide_2.jpeg", changed));
    std::string question;
    {
        test::DialogAnswerer yes([&question](HWND box) {
            char text[512] = {};
            if (question.empty()) GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            if (question.empty()) question = text;
            PostMessageA(box, WM_COMMAND, IDYES, 0);
        });
        UndoLastRun();
        CHECK(yes.Answered());
    }
    CHECK(question.find(" 3 个图块") != std::string::npos);
    for (const char* name : {"wide_1.jpeg", "tall_1.jpeg", "tall_2.jpeg"}) CHECK_FALSE(FindFirstFileExists(photo + name));
    CHECK(ReadWholeFile(photo + "wide_2.jpeg") == changed);
    CHECK_FALSE(FindFirstFileExists(folder.File("原图备份")));
    DeleteFileA((photo + "wide_2.jpeg").c_str());
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
    REQUIRE(FormatOfBytes(ReadWholeFile(photo + "0007.jpg")) == PictureFormat::Jpeg);
    Bytes saved = DecodePictureToBmp24(ReadWholeFile(photo + "0007.jpg"));
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

namespace {
// What the window showed while the run was on its second file.
int barPosition = -1;
std::string titleMidRun;

// While the run is on its second file: a click on another list entry, then
// a stop, as a user gives them.
void CALLBACK ClickAndStop(HWND, UINT, UINT_PTR id, DWORD) {
    if (Ui<Label>(标签2).Text().find("第：2条") == std::string::npos) return;
    KillTimer(nullptr, id);
    barPosition = Ui<ProgressBar>(进度条).Position();
    titleMidRun = MainWindow().Caption();
    test::SaveWindowScreenshot(MainWindow().Handle(), test::ScreenshotFolder() + "\\run-progress.png");
    ListBox& list = Ui<ListBox>(列表框1);
    SendMessageA(list.Handle(), LB_SETCURSEL, 3, 0);
    SendMessageA(MainWindow().Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list.Handle()), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list.Handle()));
    PostMessageA(MainWindow().Handle(), WM_COMMAND, kMenuStop, 0);
}
}  // namespace

TEST_CASE("a run works through the list it started with, and a stop ends it after the file in hand") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-batch-stop");
    const unsigned colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
    std::vector<Bytes> originals;
    for (int i = 0; i < 4; ++i) {
        originals.push_back(test::MakePicture(300, 200, colours[i], "png"));
        REQUIRE(WriteWholeFile(folder.File(std::to_string(i) + ".png"), originals.back()));
    }
    ListFolder(folder.Path());
    Ui<EditBox>(编辑框1).SetText("0");
    Ui<EditBox>(编辑框2).SetText("0");
    UINT_PTR timer = SetTimer(nullptr, 0, 20, &ClickAndStop);
    test::DialogAnswerer close([](HWND box) { PostMessageA(box, WM_CLOSE, 0, 0); });
    RunBatch(BatchOperation::Picture, true);
    KillTimer(nullptr, timer);
    for (int i = 0; i < 4; ++i) {
        CAPTURE(i);
        const Bytes now = ReadWholeFile(folder.File(std::to_string(i) + ".png"));
        // The first two, each its own picture with the mark; the rest untouched.
        if (i < 2) {
            CHECK(now != originals[static_cast<size_t>(i)]);
            CHECK(test::BmpPixel(DecodePictureToBmp24(now), 250, 150) == colours[i]);
        } else {
            CHECK(now == originals[static_cast<size_t>(i)]);
        }
    }
    CHECK_FALSE(RunInProgress());
    CHECK(IsWindowEnabled(Ui<Component>(列表框1).Handle()));
    // One of four done when the second began: the bar a quarter, the title 25 %.
    CHECK(barPosition == 1);
    CHECK(titleMidRun.find("Varnel1.0 - 25%") == 0);
    CHECK(MainWindow().Caption() == "Varnel1.0");
    App().watermarkMode = WatermarkMode::None;
}

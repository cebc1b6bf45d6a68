// The release program used from outside, one scenario per person's task;
// each is judged by the files it leaves, with a screenshot per step.
#include <doctest.h>


#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include <windows.h>
#include <commctrl.h>

#include "app/shell/component_ids.h"
#include "platform/file_services.h"
#include "platform/handles.h"
#include "tests/support/win_test.h"
#include "tests/e2e/e2e_driver.h"

using namespace e2e;

namespace {

constexpr unsigned kGrey = 0xC8C8C8;

// Toolbar buttons in their order on the bar.
enum Button { kOpen, kSave, kAddText, kPictureMark, kHalves, kBatchSplit, kBatchText, kBatchPicture, kVertical, kHorizontal };

void Case(const char* name) {
    std::string setting = std::string("VARNEL_E2E_CASE=") + name;
    _putenv(setting.c_str());
}

struct Box {
    int minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1, count = 0;
};

// Where the pixels that are not the plain picture lie.
Box Changed(const Picture& p, unsigned rgb, int tolerance) {
    Box b;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            unsigned v = p.At(x, y);
            bool differs = false;
            for (int shift = 0; shift <= 16; shift += 8) {
                if (std::abs(static_cast<int>((v >> shift) & 0xFF) - static_cast<int>((rgb >> shift) & 0xFF)) > tolerance)
                    differs = true;
            }
            if (!differs) continue;
            ++b.count;
            b.minX = std::min(b.minX, x);
            b.minY = std::min(b.minY, y);
            b.maxX = std::max(b.maxX, x);
            b.maxY = std::max(b.maxY, y);
        }
    }
    return b;
}

bool Greenish(unsigned v) {
    int r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
    return g > r + 30 && g > b + 30;
}

// What the screen shows of a window, row by row.
std::vector<unsigned> ScreenPixels(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    varnel::WindowDc screen(nullptr);
    varnel::MemoryDc memory(CreateCompatibleDC(screen.get()));
    varnel::Bitmap dib(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bits) return {};
    {
        varnel::SelectScope select(memory.get(), dib.handle());
        BitBlt(memory.get(), 0, 0, w, h, screen.get(), r.left, r.top, SRCCOPY);
    }
    const auto* first = static_cast<const unsigned*>(bits);
    return std::vector<unsigned>(first, first + static_cast<size_t>(w) * h);
}

bool Bluish(unsigned v) {
    int r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
    return b > r + 30 && b > g + 10;
}

std::vector<std::string> WaitForFiles(const std::string& folder, size_t count, double seconds) {
    std::vector<std::string> files;
    WaitFor(
        [&] {
            files = FilesIn(folder);
            return files.size() >= count;
        },
        seconds);
    Sleep(300);
    return FilesIn(folder);
}

std::string Title(const std::string& name) { return name.substr(0, name.rfind('.')); }

// A file's bytes and time of writing, to see that it came back as it was.
struct FileState {
    std::vector<unsigned char> bytes;
    FILETIME written{};
    bool operator==(const FileState& o) const {
        return bytes == o.bytes && CompareFileTime(&written, &o.written) == 0;
    }
};

FileState StateOf(const std::string& path) {
    FileState state{varnel::ReadWholeFile(path)};
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) state.written = data.ftLastWriteTime;
    return state;
}

// A message box's text (its statics, the icon's being empty).
std::string BoxText(const Program& app, HWND box) {
    std::string text;
    for (HWND s = FindWindowExA(box, nullptr, "Static", nullptr); s; s = FindWindowExA(box, s, "Static", nullptr)) {
        text += app.Text(s);
    }
    return text;
}

// Chooses 撤销上次运行, checks that its question names `expected`, says yes
// and returns the text of the box that reports what was done.
std::string Undo(Program& app, const std::string& expected) {
    app.ChooseMenu(ui::kMenuUndo);
    HWND question = app.WaitForDialog("撤销上次运行", 20);
    REQUIRE(question);
    app.Screenshot("undo-question");
    CHECK(BoxText(app, question).find(expected) != std::string::npos);
    MESSAGE(BoxText(app, question));
    PostMessageA(question, WM_COMMAND, IDYES, 0);
    CHECK(app.WaitUntilGone(question, 10));
    HWND report = app.WaitForDialog("提示：", 20);
    REQUIRE(report);
    const std::string text = BoxText(app, report);
    MESSAGE(text);
    app.Screenshot("undone");
    PostMessageA(report, WM_COMMAND, IDOK, 0);
    CHECK(app.WaitUntilGone(report, 20));
    return text;
}

void OpenAndSelect(Program& app, const Folder& pictures, size_t count) {
    REQUIRE(app.Started());
    app.Screenshot("started");
    REQUIRE(app.OpenFolder(pictures.Path()));
    REQUIRE(WaitFor([&] { return app.ListCount() == static_cast<int>(count); }, 20));
    app.SelectListEntry(0);
    Sleep(300);
}

}  // namespace

TEST_CASE("a folder of pictures is opened from the toolbar and listed") {
    Case("list");
    Folder pictures("varnel-e2e-list");
    std::vector<std::string> names = WritePictures(pictures.Path(), 6, 400, 300, kGrey);
    Program app;
    REQUIRE(app.Started());
    app.Screenshot("started");
    REQUIRE(app.OpenFolder(pictures.Path()));
    REQUIRE(WaitFor([&] { return app.ListCount() == 6; }, 20));
    std::set<std::string> listed;
    for (int i = 0; i < app.ListCount(); ++i) listed.insert(app.ListText(i));
    CHECK(listed == std::set<std::string>(names.begin(), names.end()));
    app.SelectListEntry(2);
    app.Screenshot("listed-and-chosen");
    CHECK(app.Responsive());
}

TEST_CASE("a text watermark in a chosen font, size, colour, opacity and style is placed by a click and saved") {
    Case("text-mark");
    Folder pictures("varnel-e2e-text");
    WritePictures(pictures.Path(), 3, 400, 300, kGrey);
    Program app;
    OpenAndSelect(app, pictures, 3);

    HWND font = app.Child("ComboBox", 0), size = app.Child("ComboBox", 1);
    REQUIRE(font);
    REQUIRE(size);
    std::string fontBefore = app.Text(font);
    HWND fontEdit = FindWindowExA(font, nullptr, "Edit", nullptr);
    app.Key(fontEdit ? fontEdit : font, VK_DOWN);
    app.Key(fontEdit ? fontEdit : font, VK_DOWN);
    std::string fontAfter = app.Text(font);
    MESSAGE("font " << fontBefore << " -> " << fontAfter);
    CHECK(fontAfter != fontBefore);

    for (int i = 0; i < 3; ++i) app.Key(size, VK_DOWN);
    CHECK(app.Text(size) == "32");

    HWND colour = app.Child("Button", 0);
    for (int i = 0; HWND b = app.Child("Button", i); ++i) {
        if ((GetWindowLongA(b, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW) colour = b;
    }
    app.ClickCentre(colour);
    REQUIRE(app.AnswerColorDialog(0, 170, 0));

    HWND slider = app.Child("msctls_trackbar32");
    REQUIRE(slider);
    app.Key(slider, VK_HOME);
    for (int i = 0; i < 14; ++i) app.Key(slider, VK_NEXT);
    int opacity = static_cast<int>(SendMessageA(slider, TBM_GETPOS, 0, 0));
    MESSAGE("opacity " << opacity);
    CHECK(opacity != 180);
    HWND opacityBox = nullptr;
    for (int i = 0; HWND e = app.Child("Edit", i); ++i) {
        if (app.Text(e) == std::to_string(opacity)) opacityBox = e;
    }
    CHECK(opacityBox != nullptr);

    HWND italic = app.ChildWithText("Button", "倾斜");
    REQUIRE(italic);
    app.ClickCentre(italic);
    CHECK(SendMessageA(italic, BM_GETCHECK, 0, 0) == BST_CHECKED);
    app.Screenshot("settings-chosen");

    app.ClickToolbarButton(kAddText);
    REQUIRE(app.AnswerInputDialog("E2E mark"));
    HWND panel = app.PreviewPanel();
    app.Click(panel, 60, 50);
    app.Screenshot("text-placed");
    // A face picked from the list shows at once: a later redraw for
    // another reason shows nothing new.
    app.Key(fontEdit ? fontEdit : font, VK_DOWN);
    const std::vector<unsigned> picked = ScreenPixels(panel);
    app.ClickCentre(italic);
    app.ClickCentre(italic);
    CHECK(ScreenPixels(panel) == picked);

    app.ClickToolbarButton(kSave);
    std::vector<std::string> saved = WaitForFiles(app.PhotoFolder(), 1, 10);
    REQUIRE(saved.size() == 1);
    Picture p = ReadPicture(app.PhotoFolder() + "\\" + saved[0]);
    REQUIRE(p.ok);
    CHECK(p.width == 400);
    CHECK(p.height == 300);
    Box b = Changed(p, kGrey, 24);
    MESSAGE("text pixels " << b.count << " in " << b.minX << "," << b.minY << " - " << b.maxX << "," << b.maxY);
    // The preview shows the picture stretched over the panel; the snapshot
    // brings it back to the picture's size.
    RECT client;
    GetClientRect(panel, &client);
    const int ex = 60 * p.width / client.right, ey = 50 * p.height / client.bottom;
    MESSAGE("click lands at " << ex << "," << ey << " of the picture");
    CHECK(b.count > 30);
    CHECK(b.minX >= ex - 3);
    CHECK(b.minX < ex + 40);
    CHECK(b.minY >= ey - 3);
    CHECK(b.minY < ey + 40);
    int green = 0;
    for (unsigned v : p.pixels) green += Greenish(v) ? 1 : 0;
    CHECK(green > 50);
    app.Screenshot("saved");
}

TEST_CASE("a chosen watermark picture is placed by a click and saved") {
    Case("picture-mark");
    Folder pictures("varnel-e2e-picmark"), marks("varnel-e2e-marks");
    WritePictures(pictures.Path(), 3, 400, 300, kGrey);
    std::string mark = marks.File("mark.bmp");
    REQUIRE(WriteFileBytes(mark, varnel::test::MakePicture(80, 60, 0x2040E0, "bmp")));
    Program app;
    OpenAndSelect(app, pictures, 3);

    app.Click(app.WatermarkBox(), 40, 40, true);
    REQUIRE(app.AnswerFileDialog(mark));
    app.Screenshot("mark-chosen");
    app.SelectListEntry(1);
    app.Click(app.PreviewPanel(), 100, 80);
    app.ClickToolbarButton(kPictureMark);
    Sleep(500);
    app.Screenshot("mark-placed");
    app.ChooseMenu(ui::kMenuSave);
    std::vector<std::string> saved = WaitForFiles(app.PhotoFolder(), 1, 10);
    REQUIRE(saved.size() == 1);
    Picture p = ReadPicture(app.PhotoFolder() + "\\" + saved[0]);
    REQUIRE(p.ok);
    RECT client;
    GetClientRect(app.PreviewPanel(), &client);
    MESSAGE("saved " << p.width << " x " << p.height << ", panel " << client.right << " x " << client.bottom);
    Box b = Changed(p, kGrey, 24);
    MESSAGE("mark pixels " << b.count << " in " << b.minX << "," << b.minY << " - " << b.maxX << "," << b.maxY);
    // The mark lands at the clicked numbers in the picture's own pixels (the
    // stretched preview shows it further right and down than the click).
    CHECK(Bluish(p.At(140, 110)));
    CHECK(b.minX == doctest::Approx(100).epsilon(0.05));
    CHECK(b.minY == doctest::Approx(80).epsilon(0.05));
    CHECK(!Bluish(p.At(10, 10)));
    CHECK(!Bluish(p.At(390, 290)));
}

TEST_CASE("a picture is cut in halves into the Photo folder") {
    Case("halves");
    Folder pictures("varnel-e2e-halves");
    WritePictures(pictures.Path(), 3, 400, 300, kGrey);
    Program app;
    OpenAndSelect(app, pictures, 3);
    std::string title = Title(app.ListText(0));
    app.ClickToolbarButton(kHalves);
    std::vector<std::string> pieces = WaitForFiles(app.PhotoFolder(), 2, 15);
    app.CloseShellWindows();
    app.Screenshot("cut");
    std::sort(pieces.begin(), pieces.end());
    REQUIRE(pieces.size() == 2);
    CHECK(pieces[0] == title + "_1.jpeg");
    CHECK(pieces[1] == title + "_2.jpeg");
    for (const std::string& name : pieces) {
        Picture p = ReadPicture(app.PhotoFolder() + "\\" + name);
        CHECK(p.ok);
        CHECK(p.width == 200);
        CHECK(p.height == 300);
        CHECK(p.CountUnlike(kGrey, 12) == 0);
    }
    CHECK(Undo(app, "2 个图块").find("已删除 2 个图块") != std::string::npos);
    CHECK(FilesIn(app.PhotoFolder()).empty());
    CHECK(GetFileAttributesA(pictures.File("原图备份").c_str()) == INVALID_FILE_ATTRIBUTES);
}

TEST_CASE("a picture is cut by guide lines, the first of them dragged, into a 3 x 2 grid") {
    Case("grid");
    Folder pictures("varnel-e2e-grid");
    WritePictures(pictures.Path(), 3, 420, 300, kGrey);
    Program app;
    OpenAndSelect(app, pictures, 3);
    std::string title = Title(app.ListText(0));
    app.ClickToolbarButton(kVertical);
    app.ClickToolbarButton(kVertical);
    app.ClickToolbarButton(kHorizontal);
    app.Screenshot("guides");
    // The first drag of a fresh start, a vertical line's: a press on the
    // line reaches the line, and the line follows the mouse 40 pixels left.
    HWND bar = nullptr;
    RECT r{};
    for (int i = 0; HWND b = app.Child("VarnelSplitterBar", i); ++i) {
        RECT at;
        GetWindowRect(b, &at);
        if (IsWindowVisible(b) && at.bottom - at.top > at.right - at.left && (!bar || at.left < r.left)) {
            bar = b;
            r = at;
        }
    }
    REQUIRE(bar);
    // Away from the horizontal line, which crosses it half way down.
    HWND hit = WindowFromPoint(POINT{(r.left + r.right) / 2, r.top + (r.bottom - r.top) / 4});
    CHECK(hit == bar);
    PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 50));
    PostMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-39, 50));
    PostMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(-39, 50));
    Sleep(300);
    RECT moved{};
    GetWindowRect(bar, &moved);
    CHECK(moved.left == r.left - 40);
    app.Screenshot("guide-dragged");
    app.Click(app.PreviewPanel(), 200, 150, true);
    std::string grid = pictures.Path() + "\\" + title;
    std::vector<std::string> cells = WaitForFiles(grid, 6, 30);
    // The last progress box closes itself before the shell shows the folder.
    Sleep(1500);
    app.CloseShellWindows();
    app.Screenshot("cut");
    std::sort(cells.begin(), cells.end());
    REQUIRE(cells.size() == 6);
    for (int i = 1; i <= 6; ++i) {
        std::string name = title + "-" + std::to_string(i) + ".jpg";
        CHECK(std::find(cells.begin(), cells.end(), name) != cells.end());
        Picture p = ReadPicture(grid + "\\" + name);
        CHECK(p.ok);
        // A guide is a visual aid: dragging one does not move the cut.
        CHECK(p.width == 140);
        CHECK(p.height == 150);
    }
    // Undo takes the pieces and the folder the cut made for them.
    Undo(app, "6 个图块");
    CHECK(GetFileAttributesA(grid.c_str()) == INVALID_FILE_ATTRIBUTES);
}

namespace {

enum class Batch { Split, Text, Picture };

// A batch over a folder of 20 small pictures, from the toolbar or the menu.
void RunBatchScenario(const char* name, Batch batch, bool menu, bool resizeMeanwhile = false, bool undo = false) {
    Case(name);
    const int kCount = 20;
    Folder pictures(std::string("varnel-e2e-") + name), marks("varnel-e2e-marks");
    std::vector<std::string> names = WritePictures(pictures.Path(), kCount, 160, 120, kGrey);
    REQUIRE(names.size() == kCount);
    std::vector<FileState> before;
    for (const std::string& n : names) before.push_back(StateOf(pictures.File(n)));
    std::string mark = marks.File("mark.bmp");
    REQUIRE(WriteFileBytes(mark, varnel::test::MakePicture(40, 30, 0x2040E0, "bmp")));
    Program app;
    OpenAndSelect(app, pictures, kCount);
    if (batch == Batch::Picture) {
        app.Click(app.WatermarkBox(), 40, 40, true);
        REQUIRE(app.AnswerFileDialog(mark));
    }
    if (batch == Batch::Text) {
        // No face is chosen at start on a system without the preferred one,
        // and no face draws no text.
        HWND font = app.Child("ComboBox", 0);
        HWND fontEdit = FindWindowExA(font, nullptr, "Edit", nullptr);
        app.Key(fontEdit ? fontEdit : font, VK_DOWN);
        REQUIRE(!app.Text(font).empty());
    }
    // The click sets where every picture's watermark goes.
    app.Click(app.PreviewPanel(), 30, 30);

    const int buttons[] = {kBatchSplit, kBatchText, kBatchPicture};
    const int commands[] = {ui::kMenuBatchSplit, ui::kMenuBatchText, ui::kMenuBatchPicture};
    int which = static_cast<int>(batch);
    if (menu) {
        app.ChooseMenu(commands[which]);
    } else {
        app.ClickToolbarButton(buttons[which]);
    }
    if (batch == Batch::Text) REQUIRE(app.AnswerInputDialog("Batch"));
    Sleep(1500);
    app.Screenshot("running");
    if (resizeMeanwhile) {
        const SIZE sizes[] = {{1000, 700}, {1385, 861}, {900, 640}, {1300, 820}};
        for (const SIZE& s : sizes) {
            SetWindowPos(app.Main(), nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            Sleep(1200);
        }
        app.Screenshot("resized");
    }
    // Toolbar watermark runs rest a second per picture, menu runs half.
    HWND done = app.WaitForDialog("提示：", kCount * 3 + 60);
    REQUIRE(done);
    app.Screenshot("done");
    CHECK(app.WaitUntilGone(done, 20));
    app.CloseShellWindows();
    CHECK(app.Responsive());
    app.Screenshot("after");

    if (batch == Batch::Split) {
        std::vector<std::string> pieces = WaitForFiles(app.PhotoFolder(), kCount * 2, 10);
        CHECK(pieces.size() == kCount * 2);
        int good = 0;
        for (const std::string& n : names) {
            for (const char* suffix : {"_1.jpeg", "_2.jpeg"}) {
                Picture p = ReadPicture(app.PhotoFolder() + "\\" + Title(n) + suffix);
                if (p.ok && p.width == 80 && p.height == 120) ++good;
            }
        }
        CHECK(good == kCount * 2);
    } else {
        int marked = 0;
        for (const std::string& n : names) {
            Picture p = ReadPicture(pictures.File(n));
            if (!p.ok || p.width != 160 || p.height != 120) {
                MESSAGE(n << " is not a 160 x 120 picture any more");
                continue;
            }
            Box b = Changed(p, kGrey, 24);
            int blue = 0;
            for (unsigned v : p.pixels) blue += Bluish(v) ? 1 : 0;
            bool ok = b.count > 5 && (batch == Batch::Text || blue > 5);
            if (!ok) MESSAGE(n << ": " << b.count << " changed pixels from " << b.minX << "," << b.minY);
            marked += ok ? 1 : 0;
        }
        // A resize during the run repaints the preview between the drawing
        // of the text and the snapshot; the text must still be in every file.
        CHECK(marked == kCount);
    }
    if (undo) {
        CHECK(Undo(app, "20 个原图").find("已放回 20 个原图") != std::string::npos);
        int back = 0;
        for (size_t i = 0; i < names.size(); ++i) back += StateOf(pictures.File(names[i])) == before[i] ? 1 : 0;
        CHECK(back == kCount);
        CHECK(GetFileAttributesA(pictures.File("原图备份").c_str()) == INVALID_FILE_ATTRIBUTES);
    }
}

}  // namespace

TEST_CASE("batch cut in halves from the toolbar") { RunBatchScenario("batch-split-toolbar", Batch::Split, false); }
TEST_CASE("batch cut in halves from the menu") { RunBatchScenario("batch-split-menu", Batch::Split, true); }
TEST_CASE("batch text watermark from the toolbar") { RunBatchScenario("batch-text-toolbar", Batch::Text, false); }
TEST_CASE("batch text watermark from the menu, undone") {
    RunBatchScenario("batch-text-menu", Batch::Text, true, false, true);
}
TEST_CASE("batch picture watermark from the toolbar") { RunBatchScenario("batch-picture-toolbar", Batch::Picture, false); }
TEST_CASE("batch picture watermark from the menu") { RunBatchScenario("batch-picture-menu", Batch::Picture, true); }
TEST_CASE("a batch completes while the window is resized") {
    RunBatchScenario("batch-resized", Batch::Text, true, true);
}

TEST_CASE("a run stopped at the fifth of twenty, then undone with one file made read-only") {
    Case("stop-and-undo");
    const int kCount = 20;
    Folder pictures("varnel-e2e-stop");
    std::vector<std::string> names = WritePictures(pictures.Path(), kCount, 160, 120, kGrey);
    std::vector<FileState> before;
    for (const std::string& n : names) before.push_back(StateOf(pictures.File(n)));
    Program app;
    OpenAndSelect(app, pictures, kCount);
    HWND font = app.Child("ComboBox", 0);
    HWND fontEdit = FindWindowExA(font, nullptr, "Edit", nullptr);
    app.Key(fontEdit ? fontEdit : font, VK_DOWN);
    app.Click(app.PreviewPanel(), 30, 30);
    app.ClickToolbarButton(kBatchText);
    REQUIRE(app.AnswerInputDialog("Stop"));
    // The toolbar run rests a second after each file: the title says 25 %
    // from the fifth file written until the sixth is begun.
    // Window texts are read as stored: a message to the program would wait
    // out its rest.
    auto text = [](HWND w) {
        char buffer[256] = {};
        GetWindowTextA(w, buffer, sizeof buffer);
        return std::string(buffer);
    };
    HWND label = nullptr;
    for (int i = 0; HWND s = app.Child("Static", i); ++i) {
        if (text(s).find("共有：") == 0) label = s;
    }
    REQUIRE(label);
    REQUIRE(WaitFor([&] { return text(app.Main()).find(" - 25%") != std::string::npos; }, 60));
    app.ClickCentre(label);
    app.Screenshot("at-the-fifth");
    HWND done = app.WaitForDialog("提示：", 30);
    REQUIRE(done);
    const std::string message = BoxText(app, done);
    MESSAGE(message);
    app.Screenshot("stopped");
    CHECK(message.find("已停止") != std::string::npos);
    CHECK(message.find("5 / 20") != std::string::npos);
    PostMessageA(done, WM_COMMAND, IDOK, 0);
    CHECK(app.WaitUntilGone(done, 20));
    std::vector<std::string> written;
    for (size_t i = 0; i < names.size(); ++i) {
        CHECK(ReadPicture(pictures.File(names[i])).ok);
        if (!(StateOf(pictures.File(names[i])) == before[i])) written.push_back(names[i]);
    }
    REQUIRE(written.size() == 5);
    const std::string kept = pictures.File(written[2]);
    SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string report = Undo(app, "5 个原图");
    CHECK(report.find("已放回 4 个原图") != std::string::npos);
    CHECK(report.find(written[2]) != std::string::npos);
    SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_NORMAL);
    int back = 0;
    for (size_t i = 0; i < names.size(); ++i) back += StateOf(pictures.File(names[i])) == before[i] ? 1 : 0;
    CHECK(back == kCount - 1);
    // The backup it could not fully put back stays, with that one original.
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((pictures.File("原图备份") + "\\*-*").c_str(), &entry);
    REQUIRE(search != INVALID_HANDLE_VALUE);
    FindClose(search);
    CHECK(FilesIn(pictures.File("原图备份") + "\\" + entry.cFileName) == std::vector<std::string>{written[2]});
    // Once it can be written, a second undo puts that one back too.
    CHECK(Undo(app, "1 个原图").find("已放回 1 个原图") != std::string::npos);
    CHECK(StateOf(kept) == before[std::find(names.begin(), names.end(), written[2]) - names.begin()]);
    CHECK(GetFileAttributesA(pictures.File("原图备份").c_str()) == INVALID_FILE_ATTRIBUTES);
}

TEST_CASE("a snapshot saved twice leaves two pictures") {
    Case("snapshot-twice");
    Folder pictures("varnel-e2e-snap");
    WritePictures(pictures.Path(), 3, 300, 200, kGrey);
    Program app;
    OpenAndSelect(app, pictures, 3);
    app.Click(app.PreviewPanel(), 20, 20);
    app.Shortcut('S');
    REQUIRE(WaitForFiles(app.PhotoFolder(), 1, 10).size() == 1);
    app.ClickToolbarButton(kSave);
    std::vector<std::string> saved = WaitForFiles(app.PhotoFolder(), 2, 10);
    app.Screenshot("saved-twice");
    REQUIRE(saved.size() == 2);
    CHECK(saved[0] != saved[1]);
    for (const std::string& n : saved) {
        Picture p = ReadPicture(app.PhotoFolder() + "\\" + n);
        CHECK(p.ok);
        CHECK(p.width == 300);
        CHECK(p.height == 200);
    }
}

// Clicks on the list and on 打开图片 while a run goes cannot change what it
// works on; a stale write-aside file is cleared away, not worked on; a close
// asked for mid-run waits for the file in hand and then ends the process.
TEST_CASE("a run is not knocked off course, and a close during a run ends it soon after") {
    Case("run-interference");
    const int kCount = 12;
    Folder pictures("varnel-e2e-interfere");
    std::vector<std::string> names = WritePictures(pictures.Path(), kCount, 160, 120, kGrey);
    const std::vector<unsigned char> stale{'h', 'a', 'l', 'f'};
    REQUIRE(WriteFileBytes(pictures.File(names[1] + ".varnel-new"), stale));
    std::vector<varnel::Bytes> before;
    for (const std::string& n : names) before.push_back(varnel::ReadWholeFile(pictures.File(n)));
    Program app;
    OpenAndSelect(app, pictures, kCount);

    app.ClickToolbarButton(kBatchText);  // rests a second a file
    REQUIRE(app.AnswerInputDialog("Once"));
    Sleep(1200);
    for (int i : {7, 2, 9, 4, 11, 0}) {
        app.SelectListEntry(i);
        Sleep(150);
    }
    app.ClickToolbarButton(kOpen);
    app.Screenshot("clicked-during-run");
    HWND done = app.WaitForDialog("提示：", kCount * 3 + 30);
    REQUIRE(done);
    CHECK(BoxText(app, done).find("已写入 12 个文件") != std::string::npos);
    app.Screenshot("done");
    CHECK(app.WaitUntilGone(done, 20));

    // Each file written once: files that were alike before are alike after,
    // and none is left as it was.
    std::map<varnel::Bytes, std::set<varnel::Bytes>> outputs;
    for (size_t i = 0; i < names.size(); ++i) {
        const varnel::Bytes after = varnel::ReadWholeFile(pictures.File(names[i]));
        CHECK_MESSAGE(after != before[i], names[i] << " was not written");
        outputs[before[i]].insert(after);
    }
    for (const auto& alike : outputs) CHECK(alike.second.size() == 1);
    CHECK(GetFileAttributesA(pictures.File(names[1] + ".varnel-new").c_str()) == INVALID_FILE_ATTRIBUTES);

    app.ClickToolbarButton(kBatchText);  // rests a second a file
    REQUIRE(app.AnswerInputDialog("Twice"));
    Sleep(1500);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, app.Id());
    REQUIRE(process);
    const DWORD asked = GetTickCount();
    PostMessageA(app.Main(), WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(process, 20000) == WAIT_OBJECT_0;
    const DWORD took = GetTickCount() - asked;
    CloseHandle(process);
    MESSAGE("the process ended " << took << " ms after the close was asked for mid-run");
    CHECK(ended);
    CHECK(took < 5000);  // the file in hand, its rest, and the exit
    int written = 0;
    for (const std::string& n : names) {
        Picture p = ReadPicture(pictures.File(n));
        CHECK_MESSAGE(p.ok, n << " is not a whole picture");
        written += p.ok && p.width == 160 ? 1 : 0;
    }
    CHECK(written == kCount);
}

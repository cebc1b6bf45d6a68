#include <doctest.h>

#include <shlobj.h>

#include <cstring>
#include <new>
#include <vector>

#include "platform/bmp_image.h"
#include "platform/components.h"
#include "platform/dialogs.h"
#include "platform/form.h"
#include "platform/system_services.h"
#include "tests/support/win_test.h"

using namespace varnel;

namespace {

enum : int { kList, kCombo, kCheck, kSlider, kColor, kPanel, kPicture, kSplitter, kStatus, kDrop, kEdit, kFiles };

struct Seen {
    int source;
    EventKind kind;
    EventArgs args;
};
std::vector<Seen> seen;

#define RECORD(source, kind) {source, EventKind::kind, [](const EventArgs& a) { seen.push_back({source, EventKind::kind, a}); }}
const EventBinding kEvents[] = {
    RECORD(kList, SelectionChanged), RECORD(kCombo, SelectionChanged), RECORD(kCheck, Clicked),
    RECORD(kSlider, PositionChanged), RECORD(kColor, ColorChanged),      RECORD(kPanel, LeftButtonDown),
    RECORD(kPanel, DoubleClicked),    RECORD(kPicture, DoubleClicked),   RECORD(kSplitter, Dragged),
    RECORD(kDrop, FileDropped),       RECORD(77, CommandChosen),
    {78, EventKind::CommandChosen, [](const EventArgs&) { throw std::bad_alloc(); }},
};
#undef RECORD

const ComponentDef kComponents[] = {
    {kList, "list", ComponentKind::ListBox, kWindowSource, 5, 5, 100, 200, "", kNoArgs, 0},
    {kCombo, "combo", ComponentKind::ComboBox, kWindowSource, 110, 5, 80, 24, "1\n2\n3", Selected(1), 0},
    {kCheck, "check", ComponentKind::CheckBox, kWindowSource, 200, 5, 80, 24, "check", kNoArgs, 0},
    {kSlider, "slider", ComponentKind::Slider, kWindowSource, 290, 5, 100, 24, "", SliderRange(0, 10, 5, 1, 2), 0},
    {kColor, "colour", ComponentKind::ColorPicker, kWindowSource, 400, 5, 50, 24, "", StartColor(0x00FF00), 0},
    {kPanel, "panel", ComponentKind::DrawPanel, kWindowSource, 110, 40, 200, 100, "", kNoArgs, 0},
    {kPicture, "picture", ComponentKind::PictureBox, kWindowSource, 320, 40, 100, 100, "", kNoArgs, 0},
    {kSplitter, "splitter", ComponentKind::SplitterBar, kWindowSource, 430, 40, 3, 100, "", kNoArgs, kVertical},
    {kStatus, "status", ComponentKind::StatusBar, kWindowSource, 0, 0, 0, 0, "a\nb", PartWidths(40), 0},
    {kDrop, "drop", ComponentKind::DropTarget, kWindowSource, 0, 0, 0, 0, "", kNoArgs, 0},
    {kEdit, "edit", ComponentKind::EditBox, kWindowSource, 5, 210, 100, 22, "start", kNoArgs, 0},
    {kFiles, "files", ComponentKind::FileDialog, kPanel, 0, 0, 0, 0, "", kNoArgs, 0},
};
const MenuItemDef kMenu[] = {{"menu", "item", "Ctrl+K", FCONTROL, 'K', 77}};
const FormDef kForm = {"Varnel platform test", 20, 20, 500, 320, 0, kComponents, std::size(kComponents),
                       nullptr, 0, 0, kMenu, std::size(kMenu), kEvents, std::size(kEvents)};

Form& TestForm() {
    static Form form;
    if (!form.Handle()) {
        form.SetQuitOnClose(false);
        REQUIRE(form.Load(kForm));
        test::Pump(100);
    }
    return form;
}

bool Saw(int source, EventKind kind) {
    for (const Seen& s : seen) {
        if (s.source == source && s.kind == kind) return true;
    }
    return false;
}

// A screen-compatible surface filled with one colour, as a canvas would
// present it on a panel.
class SolidSurface {
public:
    SolidSurface(int width, int height, COLORREF color)
        : screen_(GetDC(nullptr)), dc_(CreateCompatibleDC(screen_)),
          bitmap_(CreateCompatibleBitmap(screen_, width, height)), old_(SelectObject(dc_, bitmap_)) {
        RECT all{0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    SolidSurface(const SolidSurface&) = delete;
    SolidSurface& operator=(const SolidSurface&) = delete;
    ~SolidSurface() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
        ReleaseDC(nullptr, screen_);
    }
    HDC Dc() const { return dc_; }

private:
    HDC screen_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

}  // namespace

TEST_CASE("controls report their events to the form's bindings") {
    Form& form = TestForm();
    seen.clear();

    ListBox& list = form.Get<ListBox>(kList);
    list.Clear();
    list.AddItem("一.jpg");
    list.AddItem("b.png");
    CHECK(list.Count() == 2);
    CHECK(list.ItemText(0) == "一.jpg");
    CHECK(list.ItemText(5).empty());
    list.SetSelectedIndex(1);
    CHECK(list.SelectedIndex() == 1);
    CHECK_FALSE(Saw(kList, EventKind::SelectionChanged));  // only a user's choice reports
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(0, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list.Handle()));
    CHECK(Saw(kList, EventKind::SelectionChanged));

    ComboBox& combo = form.Get<ComboBox>(kCombo);
    CHECK(combo.Count() == 3);
    CHECK(combo.SelectedIndex() == 1);
    CHECK(combo.ItemData(2) == 3);
    CHECK(combo.Text() == "2");

    CheckBox& check = form.Get<CheckBox>(kCheck);
    SendMessageA(check.Handle(), BM_CLICK, 0, 0);
    CHECK(check.Checked());
    CHECK(Saw(kCheck, EventKind::Clicked));

    Slider& slider = form.Get<Slider>(kSlider);
    CHECK(slider.Position() == 5);
    SendMessageA(slider.Handle(), WM_KEYDOWN, VK_RIGHT, 0);
    CHECK(slider.Position() == 6);
    CHECK(Saw(kSlider, EventKind::PositionChanged));

    HWND panel = form.At(kPanel).Handle();
    SendMessageA(panel, WM_LBUTTONDOWN, 0, MAKELPARAM(12, 34));
    REQUIRE(Saw(kPanel, EventKind::LeftButtonDown));
    CHECK(seen.back().args.x == 12);
    CHECK(seen.back().args.y == 34);
    SendMessageA(panel, WM_LBUTTONDBLCLK, 0, 0);
    CHECK(Saw(kPanel, EventKind::DoubleClicked));
    SendMessageA(form.At(kPicture).Handle(), WM_LBUTTONDBLCLK, 0, 0);
    CHECK(Saw(kPicture, EventKind::DoubleClicked));

    HWND bar = form.At(kSplitter).Handle();
    SendMessageA(bar, WM_LBUTTONDOWN, 0, MAKELPARAM(1, 1));
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-19, 1));
    SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(-19, 1));
    REQUIRE(Saw(kSplitter, EventKind::Dragged));
    CHECK(seen.back().args.oldPosition == 430);
    CHECK(seen.back().args.newPosition == 410);

    StatusBar& status = form.Get<StatusBar>(kStatus);
    CHECK(status.PartCount() == 2);
    status.SetPartText(1, "路径");
    CHECK(status.PartText(1) == "路径");

    CHECK(form.Get<EditBox>(kEdit).Text() == "start");
    CHECK(form.Find("slider") == &form.At(kSlider));
}

TEST_CASE("a handler out of memory is told to the user, and events go on") {
    Form& form = TestForm();
    std::string told;
    test::DialogAnswerer answer([&](HWND box) {
        char text[128] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));  // a message box's text
        told = text;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(78, 0), 0);
    CHECK(answer.Answered());
    CHECK(told == kOutOfMemoryText);
    seen.clear();
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(77, 0), 0);
    CHECK(Saw(77, EventKind::CommandChosen));
}

TEST_CASE("menu shortcuts reach the menu's binding") {
    Form& form = TestForm();
    seen.clear();
    SetForegroundWindow(form.Handle());
    SetFocus(form.Handle());
    MSG message{form.Handle(), WM_KEYDOWN, 'K', 0, 0, {0, 0}};
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    bool translated = form.TranslateShortcut(message);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    CHECK(translated);
    test::Pump(50);
    CHECK(Saw(77, EventKind::CommandChosen));
}

TEST_CASE("files dropped on the drop area arrive one event each") {
    Form& form = TestForm();
    seen.clear();
    DropTarget& drop = form.Get<DropTarget>(kDrop);
    HWND area = form.At(kPanel).Handle();
    REQUIRE(drop.Register(area));
    const char files[] = "C:\\pics\\a.jpg\0C:\\图片\\b.png\0";
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + sizeof(files));
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), files, sizeof(files));
    GlobalUnlock(block);
    SendMessageA(area, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);  // DragFinish frees the block
    std::vector<std::string> paths;
    for (const Seen& s : seen) {
        if (s.kind == EventKind::FileDropped) paths.push_back(s.args.path);
    }
    REQUIRE(paths.size() == 2);
    CHECK(paths[0] == "C:\\pics\\a.jpg");
    CHECK(paths[1] == "C:\\图片\\b.png");
}

TEST_CASE("picture surfaces take picture files and hand back 24-bit BMP images") {
    Form& form = TestForm();
    DrawPanel& panel = form.Get<DrawPanel>(kPanel);
    for (const char* format : {"jpeg", "png", "bmp", "gif"}) {
        std::string formatName = format;
        CAPTURE(formatName);
        Bytes file = test::MakePicture(40, 30, 0x0000FF, format);
        REQUIRE(file.size() > 20);
        panel.SetPicture(file);
        BmpHeader header;
        REQUIRE(IsWholeBmp24(panel.Picture(), &header));
        CHECK(header.width == 40);
        CHECK(header.height == 30);
        CHECK(header.bitCount == 24);
        CHECK((test::BmpPixel(panel.Picture(), 20, 15) & 0x0000F0) == 0x0000F0);
    }
    SUBCASE("the snapshot is what the panel shows, at the size asked for") {
        panel.SetPicture(test::MakePicture(40, 30, 0x00FF00, "png"));
        Bytes shot = panel.Snapshot(400, 300);
        BmpHeader header;
        REQUIRE(IsWholeBmp24(shot, &header));
        CHECK(header.width == 400);
        CHECK(header.height == 300);
        CHECK(test::BmpPixel(shot, 200, 150) == 0x00FF00);
        // Another window on top does not get into the snapshot.
        HWND cover = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                                     nullptr, nullptr, nullptr);
        test::Pump(100);
        CHECK(test::BmpPixel(panel.Snapshot(40, 30), 20, 15) == 0x00FF00);
        DestroyWindow(cover);
    }
    SUBCASE("what a canvas presents on the panel is in the snapshot") {
        panel.SetPicture(test::MakePicture(40, 30, 0x00FF00, "png"));
        SolidSurface red(50, 50, RGB(255, 0, 0));
        panel.ShowFrame(red.Dc(), 0, 0, 50, 50, 0, 0);
        Bytes shot = panel.Snapshot(200, 100);
        CHECK(test::BmpPixel(shot, 10, 10) == 0xFF0000);
        CHECK(test::BmpPixel(shot, 150, 80) == 0x00FF00);
    }
    SUBCASE("a canvas presented over the whole panel hides the picture until it is set again") {
        const Bytes green = test::MakePicture(40, 30, 0x00FF00, "png");
        panel.SetPicture(green);
        CHECK(test::BmpPixel(panel.Snapshot(200, 100), 100, 50) == 0x00FF00);
        SolidSurface red(panel.Width(), panel.Height(), RGB(255, 0, 0));
        panel.ShowFrame(red.Dc(), 0, 0, panel.Width(), panel.Height(), 0, 0);
        CHECK(test::BmpPixel(panel.Snapshot(200, 100), 100, 50) == 0xFF0000);
        panel.SetPicture(green);
        CHECK(test::BmpPixel(panel.Snapshot(200, 100), 100, 50) == 0x00FF00);
        // Set and covered before anything looked at it: the cover is what shows.
        panel.SetPicture(test::MakePicture(40, 30, 0x0000FF, "png"));
        panel.ShowFrame(red.Dc(), 0, 0, panel.Width(), panel.Height(), 0, 0);
        CHECK(test::BmpPixel(panel.Snapshot(200, 100), 100, 50) == 0xFF0000);
    }
    SUBCASE("a picture laid elsewhere the panel's way gives the panel's own snapshot") {
        panel.SetPicture(test::MakePicture(40, 30, 0x00FF00, "png"));
        const PictureSurface::Backing backing = panel.FreshBacking();
        CHECK(backing.width == panel.Width());
        Bytes snapshot = MakeBmp24(41, 30, nullptr, 0);  // room reused, pixels and padding all written
        std::fill(snapshot.begin() + 54, snapshot.end(), 0x5A);
        SnapshotOfStretchedPicture(panel.Picture(), backing.width, backing.height, 41, 30, snapshot);
        CHECK(snapshot == panel.Snapshot(41, 30));
    }
    SUBCASE("bytes that are no picture leave no picture") {
        panel.SetPicture(Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'});
        CHECK(panel.Picture().empty());
        panel.SetPicture(Bytes());
        CHECK(panel.Picture().empty());
        Bytes truncated = test::MakePicture(40, 30, 0x0000FF, "png");
        truncated.resize(truncated.size() / 2);
        panel.SetPicture(truncated);
        CHECK(panel.Snapshot(10, 10).size() > 0);
    }
}

TEST_CASE("the input box reports confirm and cancel") {
    Form& form = TestForm();
    SUBCASE("confirmed with the initial text, which starts selected") {
        std::string text = "请输入水印文字！";
        DWORD selection = 0;
        std::string caption;
        test::DialogAnswerer answer([&](HWND box) {
            char buffer[64] = {};
            GetWindowTextA(box, buffer, sizeof(buffer));
            caption = buffer;
            selection = static_cast<DWORD>(SendDlgItemMessageA(box, kInputBoxEditId, EM_GETSEL, 0, 0));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        CHECK(InputBox(form.Handle(), "水印", "水印文字：", text));
        CHECK(answer.Answered());
        CHECK(caption == "水印文字：");
        CHECK(text == "请输入水印文字！");
        CHECK(LOWORD(selection) == 0);
        CHECK(HIWORD(selection) == std::strlen("请输入水印文字！") / 2);
    }
    SUBCASE("an edited text comes back") {
        std::string text = "old";
        test::DialogAnswerer answer([](HWND box) {
            SetDlgItemTextA(box, kInputBoxEditId, "新的水印");
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        CHECK(InputBox(form.Handle(), "水印", "水印文字：", text));
        CHECK(text == "新的水印");
    }
    SUBCASE("cancel keeps the text") {
        std::string text = "old";
        test::DialogAnswerer answer([](HWND box) {
            SetDlgItemTextA(box, kInputBoxEditId, "changed");
            PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        });
        CHECK_FALSE(InputBox(form.Handle(), "水印", "水印文字：", text));
        CHECK(text == "old");
    }
}

TEST_CASE("the folder browser returns the folder picked in its tree") {
    Form& form = TestForm();
    test::TempFolder folder("varnel-browse", test::kBrowsableBase);
    test::DialogAnswerer answer([&](HWND box) {
        CHECK(test::SelectFolderInBrowser(box, folder.Path()));
        test::Pump(300);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    std::string chosen = BrowseForFolder(form.Handle(), "打开;");
    CHECK(answer.Answered());
    CAPTURE(chosen);
    CAPTURE(folder.Path());
    CHECK(lstrcmpiA(chosen.c_str(), folder.Path().c_str()) == 0);

    test::DialogAnswerer cancel([](HWND box) { PostMessageA(box, WM_COMMAND, IDCANCEL, 0); });
    CHECK(BrowseForFolder(form.Handle(), "打开;").empty());
}

TEST_CASE("the colour picker reports a newly chosen colour") {
    Form& form = TestForm();
    seen.clear();
    ColorPicker& picker = form.Get<ColorPicker>(kColor);
    CHECK(picker.Color() == 0x00FF00);
    test::DialogAnswerer answer([](HWND box) {
        // The dialog's red, green and blue fields.
        SetDlgItemInt(box, 706, 10, FALSE);
        SetDlgItemInt(box, 707, 20, FALSE);
        SetDlgItemInt(box, 708, 30, FALSE);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    picker.Choose();
    CHECK(answer.Answered());
    CHECK(picker.Color() == RGB(10, 20, 30));
    CHECK(Saw(kColor, EventKind::ColorChanged));
}

TEST_CASE("the file dialog returns the typed file name") {
    Form& form = TestForm();
    test::TempFolder folder("varnel-open");
    std::string file = folder.File("mark.bmp");
    FILE* f = fopen(file.c_str(), "wb");
    fputs("x", f);
    fclose(f);
    test::DialogAnswerer answer([&](HWND box) {
        SetDlgItemTextA(box, 0x047C /* file name field */, file.c_str());
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    std::string chosen;
    CHECK(form.Get<FileDialog>(kFiles).ShowOpen(chosen));
    CHECK(lstrcmpiA(chosen.c_str(), file.c_str()) == 0);
}

TEST_CASE("pending events are dispatched inside a running handler") {
    TestForm();
    static int ticks = 0;
    ticks = 0;
    HWND target = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(target, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
                          if (m == WM_APP) ++ticks;
                          return DefWindowProcA(w, m, wp, lp);
                      }));
    PostMessageA(target, WM_APP, 0, 0);
    PostMessageA(target, WM_APP, 0, 0);
    ProcessPendingEvents();
    CHECK(ticks == 2);
    DestroyWindow(target);
}

TEST_CASE("screen size and random integers") {
    CHECK(ScreenWidth() == GetSystemMetrics(SM_CXSCREEN));
    CHECK(ScreenHeight() > 0);
    bool low = false, high = false;
    for (int i = 0; i < 20000; ++i) {
        int n = RandomInteger(1, 1000);
        REQUIRE(n >= 1);
        REQUIRE(n <= 1000);
        low |= n == 1;
        high |= n == 1000;
    }
    CHECK(low);
    CHECK(high);
}

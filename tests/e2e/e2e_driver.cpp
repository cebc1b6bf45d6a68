#include "tests/e2e/e2e_driver.h"

#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/gdiplus_flat.h"
#include "tests/support/win_test.h"

#ifndef VARNEL_E2E_EXE
#error "VARNEL_E2E_EXE names the program under test"
#endif

namespace e2e {

namespace {

std::string UnixToWindows(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

std::string WindowsToUnix(const std::string& path) {
    std::string unixPath = path.size() > 2 && path[1] == ':' ? path.substr(2) : path;
    for (char& c : unixPath) {
        if (c == '\\') c = '/';
    }
    return unixPath;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string TextOf(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

DWORD ProcessOf(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return id;
}

struct Collect {
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
    reinterpret_cast<Collect*>(data)->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows() {
    Collect all;
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&all));
    return all.windows;
}

std::vector<HWND> Descendants(HWND parent) {
    Collect all;
    EnumChildWindows(parent, &CollectWindow, reinterpret_cast<LPARAM>(&all));
    return all.windows;
}

// Memory inside the program for messages that carry pointers.
class Remote {
public:
    Remote(HANDLE process, size_t size) : process_(process) {
        at_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    Remote(const Remote&) = delete;
    Remote& operator=(const Remote&) = delete;
    ~Remote() {
        if (at_) VirtualFreeEx(process_, at_, 0, MEM_RELEASE);
    }
    char* At(size_t offset = 0) const { return static_cast<char*>(at_) + offset; }
    bool Write(size_t offset, const void* data, size_t size) const {
        return WriteProcessMemory(process_, At(offset), data, size, nullptr) != FALSE;
    }
    bool Read(size_t offset, void* data, size_t size) const {
        return ReadProcessMemory(process_, At(offset), data, size, nullptr) != FALSE;
    }
    bool Ok() const { return at_ != nullptr; }

private:
    HANDLE process_;
    void* at_ = nullptr;
};

void KeyStroke(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

bool Bring(HWND window) {
    HWND root = GetAncestor(window, GA_ROOT);
    bool front = WaitFor(
        [&] {
            if (GetForegroundWindow() == root) return true;
            SetForegroundWindow(root);
            Sleep(100);
            return GetForegroundWindow() == root;
        },
        3);
    Sleep(100);
    return front;
}

}  // namespace

// ---- files ----

Folder::Folder(const std::string& name) {
    static int counter = 0;
    path_ = "Z:\\tmp\\" + name + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    CreateDirectoryA(path_.c_str(), nullptr);
}

Folder::~Folder() {
    if (std::getenv("VARNEL_E2E_KEEP")) return;
    std::string from = path_ + std::string(1, '\0');
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

bool WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::vector<std::string> WritePictures(const std::string& folder, int count, int width, int height, unsigned rgb) {
    static const char* const kFormats[] = {"png", "jpeg", "bmp"};
    static const char* const kExtensions[] = {"png", "jpg", "bmp"};
    std::vector<unsigned char> encoded[3];
    for (int f = 0; f < 3; ++f) encoded[f] = varnel::test::MakePicture(width, height, rgb, kFormats[f]);
    std::vector<std::string> names;
    for (int i = 1; i <= count; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "pic%03d.%s", i, kExtensions[i % 3]);
        if (WriteFileBytes(folder + "\\" + name, encoded[i % 3])) names.push_back(name);
    }
    return names;
}

int Picture::CountUnlike(unsigned rgb, int tolerance) const {
    int n = 0;
    for (unsigned p : pixels) {
        for (int shift = 0; shift <= 16; shift += 8) {
            int a = static_cast<int>((p >> shift) & 0xFF), b = static_cast<int>((rgb >> shift) & 0xFF);
            if (std::abs(a - b) > tolerance) {
                ++n;
                break;
            }
        }
    }
    return n;
}

Picture ReadPicture(const std::string& path) {
    using namespace Gdiplus::DllExports;
    Picture picture;
    std::wstring wide(path.begin(), path.end());
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromFile(wide.c_str(), &bitmap) != Gdiplus::Ok || !bitmap) return picture;
    UINT w = 0, h = 0;
    GdipGetImageWidth(bitmap, &w);
    GdipGetImageHeight(bitmap, &h);
    picture.width = static_cast<int>(w);
    picture.height = static_cast<int>(h);
    picture.pixels.resize(static_cast<size_t>(w) * h);
    for (UINT y = 0; y < h; ++y) {
        for (UINT x = 0; x < w; ++x) {
            Gdiplus::ARGB argb = 0;
            GdipBitmapGetPixel(bitmap, static_cast<INT>(x), static_cast<INT>(y), &argb);
            picture.pixels[static_cast<size_t>(y) * w + x] = argb & 0xFFFFFF;
        }
    }
    GdipDisposeImage(bitmap);
    picture.ok = w > 0 && h > 0;
    return picture;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

// ---- the program ----

Program::Program() {
    static int counter = 0;
    folder_ = "Z:\\tmp\\varnel-e2e-app-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    CreateDirectoryA(folder_.c_str(), nullptr);
    std::string exe = folder_ + "\\Varnel.exe";
    if (!CopyFileA(UnixToWindows(VARNEL_E2E_EXE).c_str(), exe.c_str(), FALSE)) return;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    std::string command = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &startup,
                        &info_)) {
        info_ = PROCESS_INFORMATION{};
        return;
    }
    WaitFor(
        [&] {
            for (HWND w : TopLevelWindows()) {
                if (ProcessOf(w) == info_.dwProcessId && TextOf(w) == "Varnel1.0" && IsWindowVisible(w)) {
                    main_ = w;
                    return true;
                }
            }
            return false;
        },
        60);
    if (main_) {
        // The first paint and the start-up work settle before anyone clicks.
        WaitFor([&] { return Responsive(); }, 30);
        Sleep(1500);
    }
}

Program::~Program() {
    Close();
    CloseShellWindows();
    if (info_.hProcess) {
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
    if (std::getenv("VARNEL_E2E_KEEP")) return;
    std::string from = folder_ + std::string(1, '\0');
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

bool Program::Responsive() const {
    DWORD_PTR result = 0;
    return main_ && SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
}

bool Program::Close() {
    if (!info_.hProcess) return true;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0) return true;
    if (main_ && IsWindow(main_)) PostMessageA(main_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info_.hProcess, 15000) == WAIT_OBJECT_0) return true;
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
    return false;
}

HWND Program::Child(const char* className, int nth) const {
    for (HWND w : Descendants(main_)) {
        if (ClassOf(w) == className && nth-- == 0) return w;
    }
    return nullptr;
}

HWND Program::ChildWithText(const char* className, const char* text) const {
    for (HWND w : Descendants(main_)) {
        if (ClassOf(w) == className && TextOf(w) == text) return w;
    }
    return nullptr;
}

HWND Program::PreviewPanel() const {
    HWND best = nullptr;
    long bestArea = 0;
    for (HWND w : Descendants(main_)) {
        if (ClassOf(w) != "VarnelPictureSurface") continue;
        RECT r;
        GetWindowRect(w, &r);
        long area = static_cast<long>(r.right - r.left) * (r.bottom - r.top);
        if (area > bestArea) {
            best = w;
            bestArea = area;
        }
    }
    return best;
}

HWND Program::WatermarkBox() const {
    HWND panel = PreviewPanel(), best = nullptr;
    LONG lowest = -100000;
    for (HWND w : Descendants(main_)) {
        if (w == panel || ClassOf(w) != "VarnelPictureSurface") continue;
        RECT r;
        GetWindowRect(w, &r);
        if (r.top > lowest) {
            best = w;
            lowest = r.top;
        }
    }
    return best;
}

// Mouse and keys go to the component under the pointer as the system would
// deliver them: a synthetic cursor races with the Wine desktop's own focus
// handling, and a lost click would fail a test for the wrong reason.
void Program::Click(HWND window, int x, int y, bool twice) {
    LPARAM at = MAKELPARAM(x, y);
    PostMessageA(window, WM_MOUSEMOVE, 0, at);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
    if (twice) {
        PostMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(window, WM_LBUTTONUP, 0, at);
    }
    Sleep(400);
}

void Program::ClickCentre(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    Click(window, r.right / 2, r.bottom / 2);
}

void Program::Key(HWND window, WORD vk) {
    UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    PostMessageA(window, WM_KEYDOWN, vk, static_cast<LPARAM>(1 | (scan << 16)));
    PostMessageA(window, WM_KEYUP, vk, static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u));
    Sleep(200);
}

void Program::Shortcut(WORD vk) {
    if (!Bring(main_)) std::fprintf(stderr, "e2e: the window is not in front for its shortcut\n");
    KeyStroke(VK_CONTROL, false);
    KeyStroke(vk, false);
    KeyStroke(vk, true);
    KeyStroke(VK_CONTROL, true);
    Sleep(300);
}

void Program::Type(HWND window, const std::string& ascii) {
    for (char c : ascii) PostMessageA(window, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
    Sleep(300);
}

void Program::ClickToolbarButton(int index) {
    HWND toolbar = Child("ToolbarWindow32");
    Remote rect(info_.hProcess, sizeof(RECT));
    RECT r{};
    if (toolbar && rect.Ok() &&
        SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect.At())) &&
        rect.Read(0, &r, sizeof(r))) {
        Click(toolbar, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
}

void Program::ChooseMenu(int command) {
    Bring(main_);
    PostMessageA(main_, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    Sleep(200);
}

HWND Program::WaitForDialog(const char* caption, double seconds) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND w : TopLevelWindows()) {
                if (ProcessOf(w) == info_.dwProcessId && ClassOf(w) == "#32770" && IsWindowVisible(w) &&
                    (!*caption || TextOf(w) == caption)) {
                    found = w;
                    return true;
                }
            }
            return false;
        },
        seconds);
    if (found) Sleep(300);  // its controls are filled in after it shows
    return found;
}

bool Program::WaitUntilGone(HWND window, double seconds) const {
    return WaitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); }, seconds);
}

bool Program::WaitForTimedBox(const char* caption, double seconds) {
    HWND box = WaitForDialog(caption, seconds);
    if (!box) return false;
    return WaitUntilGone(box, 30);
}

bool Program::AnswerFolderDialog(const std::string& folder) {
    HWND dialog = nullptr;
    HWND tree = nullptr;
    WaitFor(
        [&] {
            dialog = WaitForDialog("", 0.1);
            tree = dialog ? FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr) : nullptr;
            return tree != nullptr;
        },
        20);
    if (!tree) {
        std::fprintf(stderr, "e2e: no folder dialog\n");
        return false;
    }
    Remote memory(info_.hProcess, sizeof(TVITEMA) + MAX_PATH * 2);
    if (!memory.Ok()) return false;
    auto itemText = [&](HTREEITEM item) {
        TVITEMA tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = memory.At(sizeof(TVITEMA));
        tv.cchTextMax = MAX_PATH;
        char text[MAX_PATH + 1] = {};
        memory.Write(0, &tv, sizeof(tv));
        memory.Write(sizeof(TVITEMA), text, 1);
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(memory.At()));
        memory.Read(sizeof(TVITEMA), text, MAX_PATH);
        return std::string(text);
    };
    auto child = [&](HTREEITEM parent, const std::string& name) -> HTREEITEM {
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
        for (auto item = reinterpret_cast<HTREEITEM>(
                 SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
             item; item = reinterpret_cast<HTREEITEM>(
                       SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
            if (lstrcmpiA(itemText(item).c_str(), name.c_str()) == 0) return item;
        }
        return nullptr;
    };
    auto root = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    HTREEITEM item = child(root, "/");
    std::string path = WindowsToUnix(folder);
    for (size_t start = 1; item && start < path.size();) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        item = child(item, path.substr(start, end - start));
        start = end + 1;
    }
    if (!item) {
        std::fprintf(stderr, "e2e: %s not found in the folder tree (root item '%s')\n", path.c_str(),
                     itemText(root).c_str());
        return false;
    }
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    Sleep(300);
    Screenshot("folder-dialog");
    HWND ok = GetDlgItem(dialog, IDOK);
    ClickCentre(ok);
    return WaitUntilGone(dialog, 10);
}

bool Program::AnswerInputDialog(const std::string& text) {
    HWND dialog = WaitForDialog("水印文字：");
    if (!dialog) return false;
    HWND edit = GetDlgItem(dialog, 100);
    // The prompt text is selected when the box opens: typing replaces it.
    Type(edit, text);
    if (Text(edit) != text) {
        std::fprintf(stderr, "e2e: the input box holds '%s'\n", Text(edit).c_str());
        return false;
    }
    Screenshot("input-dialog");
    Key(edit, VK_RETURN);
    return WaitUntilGone(dialog, 10);
}

bool Program::AnswerFileDialog(const std::string& path) {
    HWND dialog = WaitForDialog("");
    if (!dialog) return false;
    Sleep(500);
    // The file name field: an edit of its own or the edit of a combo box.
    HWND name = nullptr;
    for (HWND w : Descendants(dialog)) {
        int id = GetDlgCtrlID(w);
        if (ClassOf(w) == "Edit" && (id == 0x480 || id == 0x47c) && IsWindowVisible(w)) name = w;
    }
    if (!name) {
        std::fprintf(stderr, "e2e: no file name field in the file dialog '%s'\n", TextOf(dialog).c_str());
        for (HWND w : Descendants(dialog)) {
            std::fprintf(stderr, "  %s id %d '%s' %s\n", ClassOf(w).c_str(), GetDlgCtrlID(w), TextOf(w).c_str(),
                         IsWindowVisible(w) ? "visible" : "hidden");
        }
        return false;
    }
    SendMessageA(name, EM_SETSEL, 0, -1);
    Type(name, path);
    Screenshot("file-dialog");
    Key(name, VK_RETURN);
    return WaitUntilGone(dialog, 10);
}

bool Program::AnswerColorDialog(int red, int green, int blue) {
    HWND dialog = WaitForDialog("");
    if (!dialog) return false;
    Sleep(300);
    // The red, green and blue fields of the full-open colour dialog.
    const int values[3] = {red, green, blue};
    for (int i = 0; i < 3; ++i) {
        HWND field = GetDlgItem(dialog, 706 + i);
        if (!field) return false;
        SendMessageA(field, EM_SETSEL, 0, -1);
        Type(field, std::to_string(values[i]));
    }
    Screenshot("color-dialog");
    ClickCentre(GetDlgItem(dialog, IDOK));
    return WaitUntilGone(dialog, 10);
}

bool Program::OpenFolder(const std::string& folder) {
    // A click while the program still settles after start-up can go unseen.
    for (int attempt = 0; attempt < 3 && !WaitForDialog("", attempt ? 8 : 0.1); ++attempt) {
        if (attempt) std::fprintf(stderr, "e2e: the folder dialog did not show; clicking again\n");
        ClickToolbarButton(0);
    }
    return AnswerFolderDialog(folder);
}

int Program::ListCount() const {
    return static_cast<int>(SendMessageA(Child("ListBox"), LB_GETCOUNT, 0, 0));
}

std::string Program::ListText(int index) const {
    HWND list = Child("ListBox");
    LRESULT n = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n <= 0 || n > 1000) return "";
    // The system marshals a list box's text across processes.
    // Across processes the text comes in UTF-16 whichever call asks for it.
    wchar_t wide[1024] = {};
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide));
    char text[2048] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text), nullptr, nullptr);
    return text;
}

void Program::SelectListEntry(int index) {
    HWND list = Child("ListBox");
    SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    Click(list, 20, (index - top) * height + height / 2);
}

std::string Program::Text(HWND window) const {
    char text[512] = {};
    SendMessageA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

void Program::CloseShellWindows() const {
    for (HWND w : TopLevelWindows()) {
        DWORD id = ProcessOf(w);
        if (id == info_.dwProcessId || id == GetCurrentProcessId() || !IsWindowVisible(w)) continue;
        std::string name = ClassOf(w);
        if (name.find("Explor") != std::string::npos || name.find("Cabinet") != std::string::npos ||
            name == "#32770") {
            PostMessageA(w, WM_CLOSE, 0, 0);
        }
    }
    WaitFor(
        [&] {
            for (HWND w : TopLevelWindows()) {
                std::string name = ClassOf(w);
                if (ProcessOf(w) != info_.dwProcessId && IsWindowVisible(w) &&
                    (name.find("Explor") != std::string::npos || name.find("Cabinet") != std::string::npos)) {
                    return false;
                }
            }
            return true;
        },
        10);
}

void Program::Screenshot(const std::string& step) {
    // Named by scenario, then step, so a rerun replaces its own pictures.
    static std::string lastCase;
    static int counter = 0;
    std::string folder = varnel::test::ScreenshotFolder() + "\\e2e";
    CreateDirectoryA(folder.c_str(), nullptr);
    const char* test = std::getenv("VARNEL_E2E_CASE");
    std::string scenario = test ? test : "e2e";
    if (scenario != lastCase) {
        lastCase = scenario;
        counter = 0;
    }
    char number[16];
    std::snprintf(number, sizeof(number), "-%02d-", ++counter);
    std::string name = folder + "\\" + scenario + number + step + ".png";
    // The top window of the program: a dialog when one is open.
    HWND shown = main_;
    for (HWND w : TopLevelWindows()) {
        if (ProcessOf(w) == info_.dwProcessId && IsWindowVisible(w) && ClassOf(w) == "#32770") {
            shown = w;
            break;
        }
    }
    varnel::test::SaveWindowScreenshot(shown, name);
}

namespace {

std::string ReadSmallFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return "";
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

long StatusField(const std::string& status, const char* name) {
    size_t at = status.find(std::string("\n") + name + ":");
    if (at == std::string::npos) return -1;
    return std::atol(status.c_str() + at + std::strlen(name) + 2);
}

}  // namespace

// The host's own view of the program: Wine keeps no per-process memory
// figures for other processes, but the kernel does.
std::string Program::UnixStatus() const {
    std::string marker = folder_.substr(folder_.rfind('\\') + 1);
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE) return "";
    std::string found;
    do {
        if (entry.cFileName[0] < '1' || entry.cFileName[0] > '9') continue;
        std::string base = std::string("Z:\\proc\\") + entry.cFileName;
        std::string command = ReadSmallFile(base + "\\cmdline");
        for (char& c : command) {
            if (c == '\0') c = ' ';
        }
        if (command.find(marker) != std::string::npos && command.find("Varnel.exe") != std::string::npos) {
            found = ReadSmallFile(base + "\\status");
            break;
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return found;
}

// Wine keeps the process's GDI objects in a table the process itself holds
// (its PEB names it, as on Windows); GetGuiResources does not read it, so the
// live entries are counted here. Zero when the table is not there.
long Program::GdiTableCount() const {
    using QueryProcess = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    if (!query) return 0;
    struct {
        void* reserved1;
        void* peb;
        void* reserved2[4];
    } basic{};
    if (query(info_.hProcess, 0, &basic, sizeof(basic), nullptr) != 0 || !basic.peb) return 0;
    const size_t tableAt = sizeof(void*) == 8 ? 0xF8 : 0x94;
    void* table = nullptr;
    if (!ReadProcessMemory(info_.hProcess, static_cast<char*>(basic.peb) + tableAt, &table, sizeof(table), nullptr) ||
        !table) {
        return 0;
    }
    struct Entry {
        unsigned long long object;
        unsigned owner;
        unsigned short unique;
        unsigned char type, flags;
        unsigned long long user;
    };
    static_assert(sizeof(Entry) == 24, "the table's entry layout");
    std::vector<Entry> entries(0x10000);
    SIZE_T got = 0;
    if (!ReadProcessMemory(info_.hProcess, table, entries.data(), entries.size() * sizeof(Entry), &got)) return 0;
    long live = 0;
    for (size_t i = 0; i < got / sizeof(Entry); ++i) {
        if (entries[i].type != 0 && !(entries[i].unique & 0x80)) ++live;
    }
    return live;
}

Figures Program::Measure() const {
    Figures f;
    f.gdiObjects = GetGuiResources(info_.hProcess, GR_GDIOBJECTS);
    f.userObjects = GetGuiResources(info_.hProcess, GR_USEROBJECTS);
    if (!GetProcessHandleCount(info_.hProcess, &f.handles)) f.handles = 0;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(info_.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory))) {
        f.privateBytes = memory.PrivateUsage;
    }
    f.gdiTable = GdiTableCount();
    std::string status = UnixStatus();
    long anonymous = StatusField(status, "RssAnon"), resident = StatusField(status, "VmRSS");
    f.unixAnonymousKiB = anonymous > 0 ? anonymous : 0;
    f.unixResidentKiB = resident > 0 ? resident : 0;
    return f;
}

}  // namespace e2e

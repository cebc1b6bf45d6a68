#include "tests/support/win_test.h"

#include <shellapi.h>
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <vector>

#include "platform/bmp_image.h"
#include "platform/file_services.h"
#include "platform/gdiplus_flat.h"
#include "platform/handles.h"

namespace varnel::test {

void Pump(int milliseconds) {
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    } while (static_cast<int>(GetTickCount() - start) < milliseconds);
}

TempFolder::TempFolder(const std::string& name, const std::string& baseFolder) {
    char base[MAX_PATH] = {};
    if (baseFolder.empty()) {
        GetTempPathA(MAX_PATH, base);
    } else {
        lstrcpynA(base, baseFolder.c_str(), MAX_PATH);
    }
    static int counter = 0;
    path_ = std::string(base) + name + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    CreateDirectoryA(path_.c_str(), nullptr);
}

namespace {
// Removes a folder and all it holds through the "\\?\" form. The shell's file
// operation cannot: in a tree with paths past the classic limit, Wine's
// loses its way and deletes in the current folder instead.
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    for (bool more = static_cast<bool>(search); more; more = FindNextFileW(search.get(), &found) != FALSE) {
        const std::wstring name = found.cFileName, path = folder + L"\\" + name;
        const DWORD kind = found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
        if (name == L"." || name == L"..") continue;
        if (kind == FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
        // A link to a folder goes, never what it leads to.
        if (!RemoveDirectoryW(path.c_str()) && SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL)) {
            DeleteFileW(path.c_str());
        }
    }
}
}  // namespace

TempFolder::~TempFolder() {
    std::wstring root = WideFilePath(path_);
    if (root.compare(0, 4, L"\\\\?\\") != 0) root = L"\\\\?\\" + root;
    // A folder on a drive, never a whole drive.
    if (root.size() <= 7 || root[5] != L':') return;
    RemoveTree(root);
    RemoveDirectoryW(root.c_str());
}

namespace {
std::map<UINT_PTR, DialogAnswerer*>& Answerers() {
    static std::map<UINT_PTR, DialogAnswerer*> all;
    return all;
}

struct FindDialog {
    HWND found = nullptr;
};

BOOL CALLBACK FindThreadDialog(HWND window, LPARAM data) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof(name));
    if (std::string(name) == "#32770" && IsWindowVisible(window)) {
        reinterpret_cast<FindDialog*>(data)->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

DialogAnswerer::DialogAnswerer(std::function<void(HWND)> answer) : answer_(std::move(answer)) {
    timer_ = SetTimer(nullptr, 0, 100, &DialogAnswerer::Tick);
    Answerers()[timer_] = this;
}

DialogAnswerer::~DialogAnswerer() {
    if (timer_) {
        KillTimer(nullptr, timer_);
        Answerers().erase(timer_);
    }
}

void CALLBACK DialogAnswerer::Tick(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = Answerers().find(id);
    if (it == Answerers().end()) return;
    DialogAnswerer* self = it->second;
    FindDialog find;
    EnumThreadWindows(GetCurrentThreadId(), &FindThreadDialog, reinterpret_cast<LPARAM>(&find));
    if (!find.found) return;
    KillTimer(nullptr, self->timer_);
    Answerers().erase(self->timer_);
    self->timer_ = 0;
    self->dialog_ = find.found;
    self->answered_ = true;
    self->answer_(find.found);
}

namespace {
std::string TreeItemText(HWND tree, HTREEITEM item) {
    char text[MAX_PATH] = {};
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = MAX_PATH;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    return text;
}

HTREEITEM FindChild(HWND tree, HTREEITEM parent, const std::string& name) {
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    for (HTREEITEM item = TreeView_GetChild(tree, parent); item; item = TreeView_GetNextSibling(tree, item)) {
        if (lstrcmpiA(TreeItemText(tree, item).c_str(), name.c_str()) == 0) return item;
    }
    return nullptr;
}
}  // namespace

bool SelectFolderInBrowser(HWND browser, const std::string& folder) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    FARPROC proc = GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    auto toUnix = reinterpret_cast<UnixName>(reinterpret_cast<void*>(proc));
    HWND tree = FindWindowExA(browser, nullptr, "SysTreeView32", nullptr);
    if (!toUnix || !tree) return false;
    int n = MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wide.data(), n);
    char* unixPath = toUnix(wide.data());
    if (!unixPath) return false;
    std::string path(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);

    HTREEITEM item = FindChild(tree, TreeView_GetRoot(tree), "/");
    size_t start = 1;
    while (item && start < path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        // The tree shows names in the ANSI code page; the Unix name is UTF-8.
        std::string part = path.substr(start, end - start);
        int units = MultiByteToWideChar(CP_UTF8, 0, part.c_str(), -1, nullptr, 0);
        std::vector<wchar_t> w(static_cast<size_t>(units));
        MultiByteToWideChar(CP_UTF8, 0, part.c_str(), -1, w.data(), units);
        char narrow[MAX_PATH * 2] = {};
        WideCharToMultiByte(CP_ACP, 0, w.data(), -1, narrow, sizeof(narrow), nullptr, nullptr);
        item = FindChild(tree, item, narrow);
        start = end + 1;
    }
    if (!item) return false;
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    return true;
}

bool SaveWindowScreenshot(HWND window, const std::string& path) {
    // Shell windows the program opened may lie on top; the shot is of ours.
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Pump(300);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RECT r;
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    WindowDc screen(nullptr);
    MemoryDc memory(CreateCompatibleDC(screen.get()));
    Bitmap bitmap(CreateCompatibleBitmap(screen.get(), w, h));
    {
        SelectScope select(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, w, h, screen.get(), r.left, r.top, SRCCOPY);
    }
    using namespace Gdiplus::DllExports;
    Gdiplus::GpBitmap* image = nullptr;
    if (GdipCreateBitmapFromHBITMAP(bitmap.handle(), nullptr, &image) != Gdiplus::Ok) return false;
    CLSID png;
    CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &png);
    std::wstring wide(path.begin(), path.end());
    bool ok = GdipSaveImageToFile(image, wide.c_str(), &png, nullptr) == Gdiplus::Ok;
    GdipDisposeImage(image);
    return ok;
}

std::string SourceFolder() {
    std::string path = "Z:";
    for (char c : std::string(VARNEL_SOURCE_DIR)) path += c == '/' ? '\\' : c;
    return path;
}

std::string ScreenshotFolder() {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder(exe);
    folder = folder.substr(0, folder.find_last_of('\\'));  // build/<arch>/tests
    folder = folder.substr(0, folder.find_last_of('\\'));  // build/<arch>
    folder = folder.substr(0, folder.find_last_of('\\'));  // build
    folder += "\\screenshots";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

unsigned BmpPixel(const Bytes& bmp, int x, int y) {
    BmpHeader header;
    if (!IsWholeBmp24(bmp, &header) || x < 0 || y < 0 || x >= header.width || y >= header.height) return 0xFFFFFFFF;
    size_t at = static_cast<size_t>(header.offBits) + header.stride * static_cast<size_t>(header.height - 1 - y) +
                static_cast<size_t>(x) * 3;
    return (static_cast<unsigned>(bmp[at + 2]) << 16) | (static_cast<unsigned>(bmp[at + 1]) << 8) | bmp[at];
}

namespace {
// A solid two-colour GIF written by hand: the imaging service here writes GIF
// files it cannot read back. The LZW data restarts its table every two pixels
// so every code stays three bits wide.
Bytes MakeSolidGif(int width, int height, unsigned rgb) {
    Bytes g = {'G', 'I', 'F', '8', '9', 'a'};
    auto word = [&g](int v) {
        g.push_back(static_cast<unsigned char>(v));
        g.push_back(static_cast<unsigned char>(v >> 8));
    };
    word(width);
    word(height);
    g.insert(g.end(), {0x80, 0, 0});  // global table of two colours
    g.insert(g.end(), {static_cast<unsigned char>(rgb >> 16), static_cast<unsigned char>(rgb >> 8),
                       static_cast<unsigned char>(rgb), 0, 0, 0});
    g.push_back(',');
    word(0);
    word(0);
    word(width);
    word(height);
    g.push_back(0);
    g.push_back(2);  // minimum code size
    Bytes data;
    unsigned bits = 0, count = 0;
    auto code = [&](unsigned c) {
        bits |= c << count;
        count += 3;
        while (count >= 8) {
            data.push_back(static_cast<unsigned char>(bits));
            bits >>= 8;
            count -= 8;
        }
    };
    long pixels = static_cast<long>(width) * height;
    for (long i = 0; i < pixels; ++i) {
        if (i % 2 == 0) code(4);
        code(0);
    }
    code(5);
    if (count) data.push_back(static_cast<unsigned char>(bits));
    for (size_t at = 0; at < data.size(); at += 255) {
        size_t n = std::min<size_t>(255, data.size() - at);
        g.push_back(static_cast<unsigned char>(n));
        g.insert(g.end(), data.begin() + static_cast<ptrdiff_t>(at), data.begin() + static_cast<ptrdiff_t>(at + n));
    }
    g.push_back(0);
    g.push_back(';');
    return g;
}
}  // namespace

Bytes MakePicture(int width, int height, unsigned rgb, const char* format) {
    using namespace Gdiplus::DllExports;
    if (std::string(format) == "gif") return MakeSolidGif(width, height, rgb);
    Gdiplus::GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(width, height, 0, PixelFormat24bppRGB, nullptr, &bitmap);
    if (!bitmap) return {};
    Gdiplus::GpGraphics* graphics = nullptr;
    GdipGetImageGraphicsContext(bitmap, &graphics);
    GdipGraphicsClear(graphics, 0xFF000000u | rgb);
    GdipDeleteGraphics(graphics);
    std::string f(format);
    const wchar_t* id = f == "png"    ? L"{557CF406-1A04-11D3-9A73-0000F81EF32E}"
                        : f == "jpeg" ? L"{557CF401-1A04-11D3-9A73-0000F81EF32E}"
                        : f == "gif"  ? L"{557CF402-1A04-11D3-9A73-0000F81EF32E}"
                        : f == "tiff" ? L"{557CF405-1A04-11D3-9A73-0000F81EF32E}"
                                      : L"{557CF400-1A04-11D3-9A73-0000F81EF32E}";
    CLSID clsid;
    CLSIDFromString(id, &clsid);
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    GdipSaveImageToStream(bitmap, stream, &clsid, nullptr);
    GdipDisposeImage(bitmap);
    HGLOBAL block = nullptr;
    GetHGlobalFromStream(stream, &block);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    Bytes bytes;
    if (auto* p = static_cast<unsigned char*>(GlobalLock(block))) {
        bytes.assign(p, p + stat.cbSize.QuadPart);
        GlobalUnlock(block);
    }
    stream->Release();
    return bytes;
}

}  // namespace varnel::test

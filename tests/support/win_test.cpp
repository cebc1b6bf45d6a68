#include "tests/support/win_test.h"

#include <shellapi.h>

#include <map>
#include <vector>

#include "platform/bmp_image.h"
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

TempFolder::TempFolder(const std::string& name) {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static int counter = 0;
    path_ = std::string(base) + name + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    std::string from = path_ + std::string(1, '\0');
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
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

bool SaveWindowScreenshot(HWND window, const std::string& path) {
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

Bytes MakePicture(int width, int height, unsigned rgb, const char* format) {
    using namespace Gdiplus::DllExports;
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

// snapwin CAPTION OUT.png [--close] [--wait SECONDS]
// Waits for a top-level window with the caption, saves a PNG of it as the
// screen shows it and, with --close, asks it to close.
#include <windows.h>
#include <gdiplus.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

static bool PngEncoder(CLSID* clsid) {
    return CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", clsid) == NOERROR;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: snapwin CAPTION OUT.png [--close] [--wait SECONDS]\n");
        return 2;
    }
    bool close = false;
    double waitSeconds = 60;
    for (int i = 3; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--close")) close = true;
        if (!std::strcmp(argv[i], "--wait") && i + 1 < argc) waitSeconds = std::atof(argv[++i]);
    }
    HWND window = nullptr;
    for (DWORD start = GetTickCount(); !window && GetTickCount() - start < waitSeconds * 1000; Sleep(100)) {
        window = FindWindowA(nullptr, argv[1]);
    }
    if (!window) {
        std::fprintf(stderr, "snapwin: no window captioned %s\n", argv[1]);
        return 1;
    }
    SetForegroundWindow(window);
    Sleep(1500);  // let it finish painting
    RECT r;
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);

    ULONG_PTR token;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    int status = 1;
    {
        Gdiplus::Bitmap image(bitmap, nullptr);
        CLSID png;
        std::wstring out(argv[2], argv[2] + std::strlen(argv[2]));
        if (PngEncoder(&png) && image.Save(out.c_str(), &png, nullptr) == Gdiplus::Ok) status = 0;
    }
    Gdiplus::GdiplusShutdown(token);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (close) PostMessageA(window, WM_CLOSE, 0, 0);
    if (status) std::fprintf(stderr, "snapwin: could not save %s\n", argv[2]);
    return status;
}

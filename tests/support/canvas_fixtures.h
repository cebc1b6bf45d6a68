#pragma once
// What the canvas tests draw with and on: a real window to bind to, and the
// imaging objects (brush, font, string format, bitmap, region) made straight
// with the flat API, since their own classes are not the canvas's concern.
// Header-only, so the test support library needs nothing above the platform.
#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "graphics/objects/graphics_object.h"
#include "platform/gdiplus_flat.h"
#include "tests/support/win_test.h"

namespace varnel::test {

// A visible borderless top-level window whose rectangle is exactly its
// client area; nothing paints it but the canvas.
class CanvasWindow {
public:
    CanvasWindow(int x, int y, int width, int height, HWND parent = nullptr) {
        static const bool registered = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "VarnelCanvasTestWindow";
            wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
            return RegisterClassA(&wc) != 0;
        }();
        (void)registered;
        const DWORD style = (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE;
        window_ = CreateWindowExA(parent ? 0 : WS_EX_TOPMOST, "VarnelCanvasTestWindow", "canvas", style, x, y, width,
                                  height, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
        Pump(50);
    }
    CanvasWindow(const CanvasWindow&) = delete;
    CanvasWindow& operator=(const CanvasWindow&) = delete;
    ~CanvasWindow() {
        if (window_) DestroyWindow(window_);
    }
    HWND get() const { return window_; }

private:
    HWND window_ = nullptr;
};

// A graphics object over a platform pointer made by the test, deleted with
// the given function.
class FlatObject : public GraphicsObject {
public:
    FlatObject() = default;
    FlatObject(void* handle, std::function<void(void*)> destroy) : destroy_(std::move(destroy)) {
        SetNativeHandle(handle);
    }
    ~FlatObject() override {
        if (GetNativeHandle() && destroy_) destroy_(GetNativeHandle());
    }

protected:
    void OnSetNativeHandle(void*) override {}

private:
    std::function<void(void*)> destroy_;
};

// A region object as the canvas hands them out: it deletes what it is given.
class TestRegion : public FlatObject {
public:
    ~TestRegion() override {
        if (GetNativeHandle()) Gdiplus::DllExports::GdipDeleteRegion(static_cast<Gdiplus::GpRegion*>(GetNativeHandle()));
        SetNativeHandle(nullptr);
    }
    bool Create() {
        Gdiplus::GpRegion* region = nullptr;
        Gdiplus::DllExports::GdipCreateRegion(&region);
        SetNativeHandle(region);
        return region != nullptr;
    }
};

inline FlatObject MakeSolidBrush(Gdiplus::ARGB color) {
    Gdiplus::GpSolidFill* brush = nullptr;
    Gdiplus::DllExports::GdipCreateSolidFill(color, &brush);
    return FlatObject(brush, [](void* h) { Gdiplus::DllExports::GdipDeleteBrush(static_cast<Gdiplus::GpBrush*>(h)); });
}

inline FlatObject MakeStringFormat() {
    Gdiplus::GpStringFormat* format = nullptr;
    Gdiplus::DllExports::GdipCreateStringFormat(0, LANG_NEUTRAL, &format);
    return FlatObject(format, [](void* h) {
        Gdiplus::DllExports::GdipDeleteStringFormat(static_cast<Gdiplus::GpStringFormat*>(h));
    });
}

// A 32-bit ARGB bitmap filled with one colour.
inline FlatObject MakeImage(int width, int height, Gdiplus::ARGB color) {
    Gdiplus::GpBitmap* bitmap = nullptr;
    Gdiplus::DllExports::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    Gdiplus::GpGraphics* graphics = nullptr;
    Gdiplus::DllExports::GdipGetImageGraphicsContext(bitmap, &graphics);
    Gdiplus::DllExports::GdipGraphicsClear(graphics, color);
    Gdiplus::DllExports::GdipDeleteGraphics(graphics);
    return FlatObject(bitmap, [](void* h) { Gdiplus::DllExports::GdipDisposeImage(static_cast<Gdiplus::GpImage*>(h)); });
}

// A font of the given family and pixel size, keeping its family alive.
class TestFont : public FlatObject {
public:
    TestFont(const wchar_t* familyName, float pixels) {
        Gdiplus::DllExports::GdipCreateFontFamilyFromName(familyName, nullptr, &family_);
        Gdiplus::GpFont* font = nullptr;
        Gdiplus::DllExports::GdipCreateFont(family_, pixels, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel, &font);
        SetNativeHandle(font);
    }
    ~TestFont() override {
        if (GetNativeHandle()) Gdiplus::DllExports::GdipDeleteFont(static_cast<Gdiplus::GpFont*>(GetNativeHandle()));
        SetNativeHandle(nullptr);
        if (family_) Gdiplus::DllExports::GdipDeleteFontFamily(family_);
    }

private:
    Gdiplus::GpFontFamily* family_ = nullptr;
};

// Wine's GDI+ leaves a few calls unimplemented; tests that meet one say so.
inline bool RunningOnWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Channel access for the 0x00BBGGRR values GDI reads back.
inline int RedOf(COLORREF c) { return GetRValue(c); }
inline int GreenOf(COLORREF c) { return GetGValue(c); }
inline int BlueOf(COLORREF c) { return GetBValue(c); }

}  // namespace varnel::test

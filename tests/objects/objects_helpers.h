#pragma once
// Platform objects the tests hand to the graphics classes: a drawing surface
// on a bitmap, a matrix, a path, a plain window, and pictures made by hand.
#include <windows.h>

#include <string>
#include <vector>

#include "graphics/objects/graphics_object.h"
#include "platform/bytes.h"
#include "platform/gdiplus_flat.h"

namespace varnel::test {

// A graphics surface on a 64 x 64 bitmap.
class TestGraphics : public GraphicsObject {
public:
    TestGraphics() {
        Gdiplus::DllExports::GdipCreateBitmapFromScan0(64, 64, 0, PixelFormat32bppARGB, nullptr, &bitmap_);
        Gdiplus::GpGraphics* graphics = nullptr;
        Gdiplus::DllExports::GdipGetImageGraphicsContext(bitmap_, &graphics);
        SetNativeHandle(graphics);
    }
    ~TestGraphics() override {
        if (graphics_) Gdiplus::DllExports::GdipDeleteGraphics(graphics_);
        if (bitmap_) Gdiplus::DllExports::GdipDisposeImage(bitmap_);
    }

protected:
    void OnSetNativeHandle(void* handle) override { graphics_ = static_cast<Gdiplus::GpGraphics*>(handle); }

private:
    Gdiplus::GpBitmap* bitmap_ = nullptr;
    Gdiplus::GpGraphics* graphics_ = nullptr;
};

// An identity matrix, or a pure translation.
class TestMatrix : public GraphicsObject {
public:
    explicit TestMatrix(float dx = 0, float dy = 0) {
        Gdiplus::GpMatrix* matrix = nullptr;
        Gdiplus::DllExports::GdipCreateMatrix2(1, 0, 0, 1, dx, dy, &matrix);
        SetNativeHandle(matrix);
    }
    ~TestMatrix() override {
        if (matrix_) Gdiplus::DllExports::GdipDeleteMatrix(matrix_);
    }

protected:
    void OnSetNativeHandle(void* handle) override { matrix_ = static_cast<Gdiplus::GpMatrix*>(handle); }

private:
    Gdiplus::GpMatrix* matrix_ = nullptr;
};

// A path of one rectangle.
class TestPath : public GraphicsObject {
public:
    TestPath(float x, float y, float width, float height) {
        Gdiplus::GpPath* path = nullptr;
        Gdiplus::DllExports::GdipCreatePath(Gdiplus::FillModeAlternate, &path);
        Gdiplus::DllExports::GdipAddPathRectangle(path, x, y, width, height);
        SetNativeHandle(path);
    }
    ~TestPath() override {
        if (path_) Gdiplus::DllExports::GdipDeletePath(path_);
    }

protected:
    void OnSetNativeHandle(void* handle) override { path_ = static_cast<Gdiplus::GpPath*>(handle); }

private:
    Gdiplus::GpPath* path_ = nullptr;
};

// A visible top-level window of its own class that counts its messages.
class TestWindow {
public:
    TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    ~TestWindow();
    HWND Handle() const { return window_; }
    static int messagesSeen;
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    HWND window_ = nullptr;
};

// An animated GIF of 1 x 1 frames, one per colour, with the given delays in
// hundredths of a second.
Bytes MakeAnimatedGif(const std::vector<unsigned>& rgb, const std::vector<int>& delays);

Bytes ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const Bytes& bytes);

// Decodes bytes with the imaging service; its width and height, or 0 x 0.
struct Decoded {
    unsigned width = 0;
    unsigned height = 0;
    GUID format{};
    unsigned pixel = 0;  // ARGB at (0, 0)
};
Decoded Decode(const Bytes& bytes);

}  // namespace varnel::test

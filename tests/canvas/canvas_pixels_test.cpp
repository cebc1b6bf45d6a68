#include <doctest.h>

#include <cstring>

#include "graphics/canvas/canvas.h"
#include "tests/support/canvas_fixtures.h"

using namespace varnel;
using varnel::test::CanvasWindow;

namespace {
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kBlue = RGB(0, 0, 255);

void Paint(const Canvas& canvas, COLORREF color, int x, int y, int width, int height) {
    GdiBrush brush;
    REQUIRE(brush.CreateSolid(color));
    RECT rect{x, y, x + width, y + height};
    FillRect(canvas.GetMemoryDc(), &rect, brush.GetBrushHandle());
}

uint32_t Little(const Bytes& data, size_t offset, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | data[offset + static_cast<size_t>(i)];
    return value;
}

struct PixelFixture {
    PixelFixture() : window(20, 400, 160, 120) {
        REQUIRE(canvas.CreateForWindow(window.get()));
        Paint(canvas, kWhite, 0, 0, 160, 120);
    }
    CanvasWindow window;
    Canvas canvas;
};
}  // namespace

TEST_CASE_FIXTURE(PixelFixture, "blending a pixel mixes by opacity within 0-255") {
    Paint(canvas, RGB(100, 200, 0), 0, 0, 10, 10);
    const std::string before = errorText();
    CHECK_FALSE(canvas.BlendPixel(1, 1, kBlue, 256));
    CHECK_FALSE(canvas.BlendPixel(1, 1, kBlue, -1));
    CHECK(errorText() == before + "透明度超出0-255的取值范围，请检查" + "透明度超出0-255的取值范围，请检查");
    CHECK(canvas.GetPixel(1, 1) == RGB(100, 200, 0));

    REQUIRE(canvas.BlendPixel(1, 1, kBlue, 0));
    CHECK(canvas.GetPixel(1, 1) == RGB(100, 200, 0));
    REQUIRE(canvas.BlendPixel(2, 2, kBlue, 255));
    CHECK(canvas.GetPixel(2, 2) == kBlue);
    REQUIRE(canvas.BlendPixel(3, 3, RGB(0, 0, 255), 128));
    // 100*127/255 = 49.8, 200*127/255 = 99.6, 255*128/255 = 128
    CHECK(canvas.GetPixel(3, 3) == RGB(49, 99, 128));
}

TEST_CASE_FIXTURE(PixelFixture, "bitmaps are copied whole by default, or with a transparent colour") {
    std::vector<uint32_t> pixels(20 * 10, 0x00FF0000);  // red
    for (int x = 0; x < 10; ++x) pixels[static_cast<size_t>(x)] = 0x0000FF00;  // green first row
    GdiBitmap bitmap;
    REQUIRE(bitmap.Create(20, 10, pixels));

    REQUIRE(canvas.DrawBitmap(bitmap, 30, 40, 0, 0));
    CHECK(canvas.GetPixel(30, 40) == kGreen);
    CHECK(canvas.GetPixel(49, 49) == kRed);
    CHECK(canvas.GetPixel(50, 50) == kWhite);

    REQUIRE(canvas.DrawBitmap(bitmap, 100, 0, 0, 1, 5, 5));
    CHECK(canvas.GetPixel(100, 0) == kRed);
    CHECK(canvas.GetPixel(105, 0) == kWhite);

    // Red is left out; the green row is stretched to twice the size.
    REQUIRE(canvas.DrawBitmapTransparent(bitmap, 0, 80, 40, 20, 0, 0, std::nullopt, std::nullopt, kRed));
    CHECK(canvas.GetPixel(2, 80) == kGreen);
    CHECK(canvas.GetPixel(30, 95) == kWhite);

    GdiBitmap none;
    const std::string before = errorText();
    CHECK_FALSE(canvas.DrawBitmap(none, 0, 0, 0, 0));
    CHECK(errorText() ==
          before + "将位图选入用来存放的内存设备场景失败(SelectObject()返回值为0)请检查图片是否创建成功");
}

TEST_CASE_FIXTURE(PixelFixture, "flipping mirrors a rectangle onto itself") {
    Paint(canvas, kRed, 100, 60, 25, 25);   // upper-left quarter of the 50 x 50 area
    Paint(canvas, kBlue, 125, 85, 25, 25);  // lower-right quarter
    REQUIRE(canvas.FlipRect(Gdiplus::Rect(100, 60, 50, 50), 2));
    // Turned by 180 degrees into the area above and to the left of (100, 60).
    CHECK(canvas.GetPixel(60, 20) == kBlue);
    CHECK(canvas.GetPixel(90, 50) == kRed);
    CHECK(canvas.GetPixel(60, 50) == kWhite);
    CHECK(canvas.GetPixel(99, 110) == kWhite);  // nothing outside the result changed
    CHECK(canvas.GetPixel(110, 70) == kRed);

    Paint(canvas, kWhite, 0, 0, 160, 120);
    Paint(canvas, kRed, 10, 10, 10, 5);  // top half of a 10 x 10 area
    REQUIRE(canvas.FlipRect(Gdiplus::Rect(10, 10, 10, 10), 0));
    CHECK(canvas.GetPixel(15, 1) == kWhite);  // mirrored top to bottom, upward from y
    CHECK(canvas.GetPixel(15, 7) == kRed);
}

TEST_CASE_FIXTURE(PixelFixture, "canvases draw onto each other") {
    Canvas other;
    REQUIRE(other.CreateForWindowSized(window.get(), 40, 40));
    Paint(other, kRed, 0, 0, 40, 40);
    Paint(other, kGreen, 0, 0, 10, 10);

    REQUIRE(canvas.DrawCanvas(other, 50, 50, 20, 20));
    CHECK(canvas.GetPixel(50, 50) == kGreen);
    CHECK(canvas.GetPixel(65, 65) == kRed);
    CHECK(canvas.GetPixel(75, 75) == kWhite);

    REQUIRE(canvas.DrawCanvasTransparent(other, 100, 0, 40, 40, 0, 0, 40, 40, kRed));
    CHECK(canvas.GetPixel(105, 5) == kGreen);
    CHECK(canvas.GetPixel(130, 30) == kWhite);
    REQUIRE(canvas.DrawCanvasBlended(other, 0, 80, 30, 30, 128));
    const COLORREF half = canvas.GetPixel(20, 100);  // red over white at one half
    CHECK(test::RedOf(half) == 255);
    CHECK(test::GreenOf(half) > 100);
    CHECK(test::GreenOf(half) < 150);
    REQUIRE(canvas.CopyCanvas(other));
    CHECK(canvas.GetPixel(5, 5) == kGreen);
}

TEST_CASE_FIXTURE(PixelFixture, "presenting blended mixes the canvas into the window") {
    Paint(canvas, kRed, 0, 0, 160, 120);
    REQUIRE(canvas.Present());
    Paint(canvas, kBlue, 0, 0, 160, 120);
    REQUIRE(canvas.PresentBlended(0, 0, 50, 50, 255));
    CHECK(canvas.GetWindowPixel(10, 10) == kBlue);
    CHECK(canvas.GetWindowPixel(60, 60) == kRed);
}

TEST_CASE_FIXTURE(PixelFixture, "grey conversion makes the three channels equal") {
    Paint(canvas, kRed, 0, 0, 10, 10);
    Paint(canvas, RGB(10, 200, 90), 10, 0, 10, 10);
    REQUIRE(canvas.Grayscale());
    CHECK(canvas.GetPixel(5, 5) == RGB(85, 85, 85));
    CHECK(canvas.GetPixel(15, 5) == RGB(100, 100, 100));
    CHECK(canvas.GetPixel(50, 50) == kWhite);
}

TEST_CASE_FIXTURE(PixelFixture, "hue, saturation and lightness shifts") {
    Paint(canvas, kRed, 0, 0, 10, 10);
    Paint(canvas, RGB(128, 128, 128), 10, 0, 10, 10);
    SUBCASE("a hue shift turns red the way hue runs: +120 is green") {
        REQUIRE(canvas.AdjustHsl(120, 0, 0));
        CHECK(canvas.GetPixel(5, 5) == kGreen);
        CHECK(canvas.GetPixel(15, 5) == RGB(127, 127, 127));  // grey has no hue; 50% lightness
    }
    SUBCASE("shifts past the ends stop there instead of wrapping") {
        REQUIRE(canvas.AdjustHsl(0, 0, 80));
        CHECK(canvas.GetPixel(5, 5) == kWhite);
        CHECK(canvas.GetPixel(15, 5) == kWhite);
    }
    SUBCASE("losing all saturation leaves the lightness") {
        REQUIRE(canvas.AdjustHsl(0, -100, 0));
        CHECK(canvas.GetPixel(5, 5) == RGB(127, 127, 127));
    }
}

TEST_CASE_FIXTURE(PixelFixture, "the canvas as a bitmap file image and a pixel buffer") {
    Paint(canvas, kBlue, 0, 0, 1, 1);
    const Bytes data = canvas.GetImageData();
    REQUIRE(data.size() > 58);
    CHECK(Little(data, 0, 2) == 19778);
    CHECK(Little(data, 10, 4) == 58);
    CHECK(Little(data, 14, 4) == 40);
    CHECK(Little(data, 18, 4) == 160);
    CHECK(Little(data, 22, 4) == 120);
    CHECK(Little(data, 28, 2) == 32);
    const uint32_t imageSize = Little(data, 34, 4);
    CHECK(imageSize == 160 * 120 * 4);
    CHECK(Little(data, 2, 4) == 58 + imageSize);
    CHECK(data.size() == 58 + imageSize);
    // Bottom-up rows: the top-left pixel is the first of the last row.
    const size_t topLeft = 58 + 119 * 160 * 4;
    CHECK(data[topLeft] == 255);
    CHECK(data[topLeft + 2] == 0);

    Bytes pixels = canvas.GetPixelBuffer();
    REQUIRE(pixels.size() == imageSize);
    CHECK(std::memcmp(pixels.data(), data.data() + 58, imageSize) == 0);
    CHECK(canvas.BuildImageData(pixels) == data);

    SUBCASE("a buffer goes back into the bitmap") {
        for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
            pixels[i] = 0;
            pixels[i + 1] = 255;
            pixels[i + 2] = 0;
        }
        REQUIRE(canvas.SetPixelBuffer(pixels));
        CHECK(canvas.GetPixel(80, 60) == kGreen);
        pixels.resize(pixels.size() - 1);
        CHECK_FALSE(canvas.SetPixelBuffer(pixels));  // too short to fill the rows
    }
    SUBCASE("saved files open as pictures, and an empty name writes nothing") {
        test::TempFolder folder("varnel-canvas");
        const std::string path = folder.File("canvas.bmp");
        REQUIRE(canvas.SaveBitmapFile(path));
        const Bytes wide = ToWideText(path);
        Gdiplus::GpImage* image = nullptr;
        REQUIRE(Gdiplus::DllExports::GdipLoadImageFromFile(reinterpret_cast<const WCHAR*>(wide.data()), &image) ==
                Gdiplus::Ok);
        UINT width = 0;
        Gdiplus::DllExports::GdipGetImageWidth(image, &width);
        Gdiplus::ARGB corner = 0;
        Gdiplus::DllExports::GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(static_cast<void*>(image)), 0, 0,
                                                &corner);
        Gdiplus::DllExports::GdipDisposeImage(image);
        CHECK(width == 160);
        CHECK((corner & 0xFFFFFF) == 0x0000FF);
        CHECK_FALSE(canvas.SaveBitmapFile(""));
    }
}

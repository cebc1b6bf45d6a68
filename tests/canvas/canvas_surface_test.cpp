#include <doctest.h>

#include "graphics/canvas/canvas.h"
#include "tests/support/canvas_fixtures.h"

using namespace varnel;
using varnel::test::CanvasWindow;

namespace {
const char* const kZeroDc =
    "您提供的设备句柄为0(图形.创建_自设备句柄(此处您提供的是一个值为0的整数))请检查您获得设备句柄的方法";
const char* const kPresentFailed =
    "将内存设备场景内容复制到窗口设备场景失败(BitBlt()返回值为0)请检查图形是否创建成功";

// Fills the canvas with one colour through GDI so presents have something to show.
void Paint(Canvas& canvas, COLORREF color, int x, int y, int width, int height) {
    GdiBrush brush;
    REQUIRE(brush.CreateSolid(color));
    RECT rect{x, y, x + width, y + height};
    FillRect(canvas.GetMemoryDc(), &rect, brush.GetBrushHandle());
}
}  // namespace

TEST_CASE("a canvas made for a window has the given bitmap size and the window's own size") {
    CanvasWindow window(20, 30, 200, 120);
    Canvas canvas;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    REQUIRE(canvas.CreateForWindowSized(window.get(), screenWidth, screenHeight));
    CHECK(canvas.GetWidth() == screenWidth);
    CHECK(canvas.GetHeight() == screenHeight);
    CHECK(canvas.GetWindowWidth() == 200);
    CHECK(canvas.GetWindowHeight() == 120);
    CHECK(canvas.GetWindow() == window.get());
    CHECK(canvas.GetWindowOfDc() == window.get());
    CHECK(canvas.GetWindowDc() != nullptr);
    CHECK(canvas.GetMemoryDc() != nullptr);
    CHECK(canvas.GetGraphics() != nullptr);
    CHECK(canvas.GetNativeHandle() == canvas.GetGraphics());

    SUBCASE("release gives everything back once, and a second release is harmless") {
        CHECK(canvas.Release());
        CHECK(lastStatus == 0);
        CHECK(canvas.GetGraphics() == nullptr);
        CHECK(canvas.GetNativeHandle() == nullptr);
        CHECK(canvas.GetMemoryDc() == nullptr);
        CHECK_FALSE(canvas.Release());
    }
    SUBCASE("a view works on the same surface and gives none of it back") {
        Paint(canvas, RGB(255, 255, 255), 0, 0, 10, 10);
        {
            auto view = canvas.View();
            CHECK(view->IsView());
            CHECK(view->GetMemoryDc() == canvas.GetMemoryDc());
            CHECK(view->GetGraphics() == canvas.GetGraphics());
            CHECK(view->GetWindowWidth() == 200);
            REQUIRE(view->Clear());
            CHECK(view->Release());  // lets go only
        }
        CHECK(GetObjectType(canvas.GetMemoryDc()) == OBJ_MEMDC);
        CHECK(canvas.GetPixel(5, 5) == RGB(0, 0, 0));
        CHECK(canvas.Release());
        CHECK(lastStatus == 0);
    }
    SUBCASE("creating again replaces the surface") {
        REQUIRE(canvas.CreateForWindow(window.get()));
        CHECK(canvas.GetWidth() == 200);
        CHECK(canvas.GetHeight() == 120);
    }
}

TEST_CASE("without a window the canvas binds to the screen with a screen-sized bitmap") {
    Canvas canvas;
    REQUIRE(canvas.CreateForWindow(nullptr));
    CHECK(canvas.GetWidth() == GetSystemMetrics(SM_CXSCREEN));
    CHECK(canvas.GetHeight() == GetSystemMetrics(SM_CYSCREEN));
    CHECK(canvas.GetWindowWidth() == GetSystemMetrics(SM_CXSCREEN));
    CHECK(canvas.GetWindowHeight() == GetSystemMetrics(SM_CYSCREEN));
}

TEST_CASE("a canvas on a device context borrows it and leaves it to its owner") {
    CanvasWindow window(10, 10, 80, 60);
    HDC dc = GetDC(window.get());
    {
        Canvas canvas;
        REQUIRE(canvas.CreateForDeviceContext(dc));
        CHECK(canvas.GetWindow() == window.get());
        CHECK(canvas.GetWidth() == 80);
        CHECK(canvas.GetHeight() == 60);
        REQUIRE(canvas.CreateForDeviceContextSized(dc, 30, 20));
        CHECK(canvas.GetWidth() == 30);
        CHECK(canvas.GetWindowWidth() == 80);
    }
    // Still the caller's: it can be drawn on and given back.
    CHECK(SetPixelV(dc, 1, 1, RGB(1, 2, 3)));
    CHECK(ReleaseDC(window.get(), dc) == 1);
}

TEST_CASE("a zero device context fails with its text, creates nothing, and failures accumulate") {
    const std::string before = errorText();
    Canvas canvas;
    CHECK_FALSE(canvas.CreateForDeviceContext(nullptr));
    CHECK(errorText() == before + kZeroDc);
    CHECK(canvas.GetMemoryDc() == nullptr);
    CHECK(canvas.GetGraphics() == nullptr);
    CHECK(canvas.GetWindowDc() == nullptr);

    CHECK_FALSE(canvas.CreateForDeviceContextSized(nullptr, 10, 10));
    CHECK_FALSE(canvas.Present());
    CHECK(errorText() == before + kZeroDc + kZeroDc + kPresentFailed);
    CHECK_FALSE(canvas.Release());
}

TEST_CASE("clearing paints the whole canvas, or the rectangle, black") {
    CanvasWindow window(0, 0, 64, 48);
    Canvas canvas;
    REQUIRE(canvas.CreateForWindow(window.get()));
    Paint(canvas, RGB(255, 255, 255), 0, 0, 64, 48);
    REQUIRE(canvas.ClearRect(10, 10, 20, 20));
    CHECK(canvas.GetPixel(10, 10) == RGB(0, 0, 0));
    CHECK(canvas.GetPixel(19, 19) == RGB(0, 0, 0));
    CHECK(canvas.GetPixel(20, 20) == RGB(255, 255, 255));
    CHECK(canvas.GetPixel(9, 9) == RGB(255, 255, 255));

    REQUIRE(canvas.Clear());
    CHECK(canvas.GetPixel(0, 0) == RGB(0, 0, 0));
    CHECK(canvas.GetPixel(32, 24) == RGB(0, 0, 0));
    CHECK(canvas.GetPixel(63, 47) == RGB(0, 0, 0));
}

TEST_CASE("presenting copies the buffer to the window from the view offset") {
    CanvasWindow window(100, 100, 120, 80);
    Canvas canvas;
    REQUIRE(canvas.CreateForWindowSized(window.get(), 300, 200));
    Paint(canvas, RGB(255, 0, 0), 0, 0, 300, 200);
    Paint(canvas, RGB(0, 0, 255), 0, 0, 10, 5);  // a blue corner to follow

    SUBCASE("PresentRect copies with SRCCOPY unless told otherwise") {
        REQUIRE(canvas.PresentRect(0, 0, 120, 80));
        CHECK(canvas.GetWindowPixel(0, 0) == RGB(0, 0, 255));
        CHECK(canvas.GetWindowPixel(50, 40) == RGB(255, 0, 0));
        // NOTSRCCOPY writes the inverted source.
        REQUIRE(canvas.PresentRect(0, 0, 120, 80, NOTSRCCOPY));
        CHECK(canvas.GetWindowPixel(50, 40) == RGB(0, 255, 255));
        CHECK(canvas.GetWindowPixel(0, 0) == RGB(255, 255, 0));
    }
    SUBCASE("Present covers the window") {
        canvas.ClearWindow();
        REQUIRE(canvas.Present());
        CHECK(canvas.GetWindowPixel(119, 79) == RGB(255, 0, 0));
        CHECK(canvas.GetWindowPixel(9, 4) == RGB(0, 0, 255));
    }
    SUBCASE("MoveView moves the source the other way") {
        canvas.MoveView(-10, -5);  // the source now starts at (10, 5)
        REQUIRE(canvas.Present());
        CHECK(canvas.GetWindowPixel(0, 0) == RGB(255, 0, 0));
        canvas.MoveView(10, 5);
        canvas.MoveView(10, 5);  // back, then to (-10, -5): the corner lands at (10, 5)
        Paint(canvas, RGB(0, 255, 0), 0, 0, 1, 1);
        canvas.ClearWindow();
        REQUIRE(canvas.Present());
        CHECK(canvas.GetWindowPixel(10, 5) == RGB(0, 255, 0));
        CHECK(canvas.GetWindowPixel(11, 6) == RGB(0, 0, 255));
    }
    SUBCASE("clearing the window paints it black") {
        REQUIRE(canvas.Present());
        REQUIRE(canvas.ClearWindowRect(0, 0, 10, 10));
        CHECK(canvas.GetWindowPixel(5, 5) == RGB(0, 0, 0));
        CHECK(canvas.GetWindowPixel(15, 15) != RGB(0, 0, 0));
    }
    SUBCASE("the window's content comes back into the canvas") {
        REQUIRE(canvas.Present());
        Paint(canvas, RGB(0, 0, 0), 0, 0, 300, 200);
        REQUIRE(canvas.CopyWindowContent());
        CHECK(canvas.GetPixel(50, 40) == RGB(255, 0, 0));
        CHECK(canvas.GetPixel(200, 150) == RGB(0, 0, 0));  // outside the window's size
        Paint(canvas, RGB(0, 0, 0), 0, 0, 300, 200);
        REQUIRE(canvas.CopyWindowContent(window.get()));
        CHECK(canvas.GetPixel(5, 2) == RGB(0, 0, 255));
    }
}

TEST_CASE("a canvas can bind to a child window") {
    CanvasWindow parent(300, 300, 200, 200);
    CanvasWindow child(20, 20, 50, 40, parent.get());
    Canvas canvas;
    REQUIRE(canvas.CreateForWindow(child.get()));
    CHECK(canvas.GetWindowWidth() == 50);
    Paint(canvas, RGB(10, 200, 30), 0, 0, 50, 40);
    REQUIRE(canvas.Present());
    CHECK(canvas.GetWindowPixel(25, 20) == RGB(10, 200, 30));
}

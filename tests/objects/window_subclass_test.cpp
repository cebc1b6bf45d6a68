#include <doctest.h>

#include "graphics/objects/region.h"
#include "graphics/objects/window_subclass.h"
#include "tests/objects/objects_helpers.h"
#include "tests/support/win_test.h"

using namespace varnel;

namespace {
const char kSetProcedureFailed[] = "设置窗口信息失败(SetWindowLongA()返回值为0)";
const char kNoCallback[] = "您未提供 窗口消息回调 子程序指针！";
const char kSetRegionFailed[] = "设置窗口区域失败(SetWindowRgn()返回值为0)";

WindowSubclass* current = nullptr;
int callbackSeen = 0;
int paintsSeen = 0;

LRESULT CALLBACK Callback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++callbackSeen;
    if (message == WM_PAINT) {
        ++paintsSeen;
        HDC dc = current->BeginPaint();
        CHECK(dc != nullptr);
        CHECK(current->EndPaint());
        return 0;
    }
    return current->CallPrevious(window, message, wParam, lParam);
}

const HWND kNoWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFF1234));
}  // namespace

TEST_CASE("a subclassed window's messages pass the callback, then the procedure before it") {
    test::TestWindow window;
    WindowSubclass subclass;
    current = &subclass;
    REQUIRE(subclass.Subclass(window.Handle(), &Callback));
    CHECK(subclass.Window() == window.Handle());
    callbackSeen = 0;
    test::TestWindow::messagesSeen = 0;
    CHECK(SendMessageA(window.Handle(), WM_APP, 0, 0) == 4321);
    CHECK(callbackSeen == 1);
    CHECK(test::TestWindow::messagesSeen == 1);

    paintsSeen = 0;
    InvalidateRect(window.Handle(), nullptr, TRUE);
    UpdateWindow(window.Handle());
    CHECK(paintsSeen >= 1);

    // Installing the same callback again keeps the first procedure to forward to.
    REQUIRE(subclass.Subclass(window.Handle(), &Callback));
    CHECK(SendMessageA(window.Handle(), WM_APP, 0, 0) == 4321);

    auto copy = subclass.Copy();
    CHECK(copy->Window() == window.Handle());
    CHECK(copy->CallPrevious(window.Handle(), WM_APP, 0, 0) == 4321);

    LONG_PTR replaced = subclass.Unsubclass();
    CHECK(replaced == reinterpret_cast<LONG_PTR>(&Callback));
    CHECK(GetWindowLongPtrA(window.Handle(), GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&test::TestWindow::Procedure));
    CHECK(subclass.Window() == nullptr);
    callbackSeen = 0;
    CHECK(SendMessageA(window.Handle(), WM_APP, 0, 0) == 4321);
    CHECK(callbackSeen == 0);
    current = nullptr;
}

TEST_CASE("subclass failures replace the failure text") {
    ReleaseErrorText();
    test::TestWindow window;
    WindowSubclass subclass;
    // Without a callback only the window is recorded.
    REQUIRE(subclass.Subclass(window.Handle()));
    CHECK(GetWindowLongPtrA(window.Handle(), GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&test::TestWindow::Procedure));
    CHECK(subclass.CallPrevious(window.Handle(), WM_APP, 0, 0) == 0);
    CHECK(errorText() == kNoCallback);
    // Unsubclassing what was never subclassed leaves the procedure alone.
    CHECK(subclass.Unsubclass() == 0);
    CHECK(GetWindowLongPtrA(window.Handle(), GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&test::TestWindow::Procedure));

    AppendErrorText("earlier");
    CHECK_FALSE(subclass.Subclass(kNoWindow, &Callback));
    CHECK(errorText() == kSetProcedureFailed);
    CHECK(subclass.CallPrevious(window.Handle(), WM_APP, 0, 0) == 0);
    CHECK(errorText() == kNoCallback);
    ReleaseErrorText();
}

TEST_CASE("window shapes, and their failures appended") {
    ReleaseErrorText();
    test::TestWindow window;
    WindowSubclass subclass;
    REQUIRE(subclass.Subclass(window.Handle()));
    REQUIRE(subclass.SetEllipseShape(0, 0, 200, 100));
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    CHECK(GetWindowRgn(window.Handle(), shape) != ERROR);
    CHECK(PtInRegion(shape, 100, 50));
    CHECK_FALSE(PtInRegion(shape, 1, 1));
    REQUIRE(subclass.SetRoundRectShape(0, 0, 200, 100, 30, 30));
    CHECK(GetWindowRgn(window.Handle(), shape) != ERROR);
    CHECK(PtInRegion(shape, 100, 1));
    CHECK_FALSE(PtInRegion(shape, 0, 0));
    Region region;
    REQUIRE(region.CreateFromRectI(Gdiplus::Rect(10, 10, 50, 50)));
    REQUIRE(subclass.SetRegion(region, false));
    CHECK(GetWindowRgn(window.Handle(), shape) != ERROR);
    CHECK(PtInRegion(shape, 20, 20));
    CHECK_FALSE(PtInRegion(shape, 70, 70));
    DeleteObject(shape);
    CHECK(errorText().empty());

    WindowSubclass nowhere;
    REQUIRE(nowhere.Subclass(kNoWindow));
    CHECK_FALSE(nowhere.SetEllipseShape(0, 0, 10, 10));
    CHECK_FALSE(nowhere.SetEllipseShape(0, 0, 10, 10));
    CHECK(errorText() == std::string(kSetRegionFailed) + kSetRegionFailed);
    CHECK_FALSE(nowhere.SetRoundRectShape(0, 0, 10, 10, 2, 2));
    CHECK_FALSE(nowhere.SetRegion(region));
    CHECK(errorText() == std::string(kSetRegionFailed) + kSetRegionFailed + kSetRegionFailed + kSetRegionFailed);
    ReleaseErrorText();
}

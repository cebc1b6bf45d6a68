#include "graphics/objects/window_subclass.h"

#include "graphics/objects/graphics_object.h"
#include "graphics/objects/region.h"

namespace varnel {

namespace {
const char kSetProcedureFailed[] = "设置窗口信息失败(SetWindowLongA()返回值为0)";
const char kNoCallback[] = "您未提供 窗口消息回调 子程序指针！";
const char kSetRegionFailed[] = "设置窗口区域失败(SetWindowRgn()返回值为0)";
const char kEllipseFailed[] = "创建椭圆区域失败(CreateEllipticRgn()返回值为0)";
const char kRoundRectFailed[] = "创建圆角矩形区域失败(CreateRoundRectRgn()返回值为0)";
}  // namespace

std::unique_ptr<WindowSubclass> WindowSubclass::Copy() const {
    auto copy = std::make_unique<WindowSubclass>();
    copy->previousProcedure_ = previousProcedure_;
    copy->window_ = window_;
    copy->subclassed_ = subclassed_;
    copy->paint_ = paint_;
    return copy;
}

LONG_PTR WindowSubclass::Unsubclass() {
    LONG_PTR result = 0;
    // Without a recorded procedure there is nothing to put back, and a null
    // procedure would leave the window unable to handle any message.
    if (previousProcedure_)
        result = SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure_));
    window_ = nullptr;
    return result;
}

bool WindowSubclass::Subclass(HWND window, WNDPROC callback) {
    bool sameWindow = window == window_;
    window_ = window;
    if (!callback) {
        subclassed_ = false;
        return true;
    }
    auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(callback)));
    if (!previous) {
        subclassed_ = false;
        SetErrorText(kSetProcedureFailed);
        return false;
    }
    // Installing the same callback again must keep the procedure it replaced
    // the first time; forwarding to itself would never end.
    if (previous == callback && sameWindow && subclassed_) return true;
    previousProcedure_ = previous;
    subclassed_ = true;
    return true;
}

HDC WindowSubclass::BeginPaint() { return ::BeginPaint(window_, &paint_); }

bool WindowSubclass::EndPaint() { return ::EndPaint(window_, &paint_) != FALSE; }

LRESULT WindowSubclass::CallPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!subclassed_) {
        SetErrorText(kNoCallback);
        return 0;
    }
    return CallWindowProcA(previousProcedure_, window, message, wParam, lParam);
}

bool WindowSubclass::GiveRegion(HRGN region, bool redraw) {
    if (SetWindowRgn(window_, region, redraw ? TRUE : FALSE) == 0) {
        AppendErrorText(kSetRegionFailed);
        return false;
    }
    return true;
}

bool WindowSubclass::SetRegion(HRGN region, bool redraw) { return GiveRegion(region, redraw); }

bool WindowSubclass::SetRegion(Region& source, bool redraw) {
    HRGN region = source.GetHrgn(nullptr);
    if (GiveRegion(region, redraw)) return true;
    if (region) DeleteObject(region);
    return false;
}

bool WindowSubclass::SetEllipseShape(int x, int y, int width, int height, bool redraw) {
    HRGN region = CreateEllipticRgn(x, y, x + width, y + height);
    if (!region) {
        AppendErrorText(kEllipseFailed);
        return false;
    }
    if (GiveRegion(region, redraw)) return true;
    DeleteObject(region);
    return false;
}

bool WindowSubclass::SetRoundRectShape(int x, int y, int width, int height, int cornerWidth, int cornerHeight,
                                       bool redraw) {
    HRGN region = CreateRoundRectRgn(x, y, x + width, y + height, cornerWidth, cornerHeight);
    if (!region) {
        AppendErrorText(kRoundRectFailed);
        return false;
    }
    if (GiveRegion(region, redraw)) return true;
    DeleteObject(region);
    return false;
}

}  // namespace varnel

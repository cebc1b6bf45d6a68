#include "graphics/canvas/canvas.h"

#include "graphics/canvas/canvas_internal.h"
#include "platform/component.h"

namespace varnel {

using namespace canvas_detail;

namespace {
const char* const kGetDcFailed = "获取设备句柄失败（GetDC()结果为0）请检查提供的窗口句柄是否有误。";
const char* const kMemoryDcFailed = "创建内存设备句柄失败（CreateCompatibleDC()结果为0）";
const char* const kBitmapFailed = "创建设备位图失败（CreateCompatibleBitmap()结果为0）";
const char* const kSelectBitmapFailed = "选入位图到内存设备失败（SelectObject()结果为0）";
const char* const kGraphicsFailed = "创建GDI+图形失败(GdipCreateFromHDC()返回值不为0)请检查内存设备是否创建成功";
const char* const kZeroDc =
    "您提供的设备句柄为0(图形.创建_自设备句柄(此处您提供的是一个值为0的整数))请检查您获得设备句柄的方法";
const char* const kPresentFailed =
    "将内存设备场景内容复制到窗口设备场景失败(BitBlt()返回值为0)请检查图形是否创建成功";
const char* const kClearSelectFailed = "选入刷子失败(SelectObject()返回0)";
const char* const kClearFailed = "清除失败(Rectangle()返回0)请检查GDI_图形是否已创建";

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }
}  // namespace

Canvas::~Canvas() { Release(); }

int Canvas::GetWindowWidth() const {
    return Truncate(static_cast<double>(windowRect_.right) - static_cast<double>(windowRect_.left));
}

int Canvas::GetWindowHeight() const {
    return Truncate(static_cast<double>(windowRect_.bottom) - static_cast<double>(windowRect_.top));
}

// A second creation gives the first surface back before binding anew, so
// nothing of it is left without an owner.
bool Canvas::BindWindow(HWND window) {
    Release();
    window_ = window;
    ownedWindowDc_ = std::make_unique<WindowDc>(window);
    windowDc_ = ownedWindowDc_->get();
    if (!windowDc_) {
        ownedWindowDc_.reset();
        AppendErrorText(kGetDcFailed);
        return false;
    }
    ownedMemoryDc_.reset(CreateCompatibleDC(windowDc_));
    memoryDc_ = ownedMemoryDc_.get();
    if (!memoryDc_) {
        AppendErrorText(kMemoryDcFailed);
        return false;
    }
    windowRect_ = RECT{};
    ::GetWindowRect(window, &windowRect_);
    // The screen's own DC stands for a missing window, so the rectangle is
    // the screen's.
    if (!window) {
        windowRect_.right = ScreenWidth();
        windowRect_.bottom = ScreenHeight();
    }
    return true;
}

// The caller's device context is only borrowed: it stays the caller's to give
// back, whatever kind of DC it is.
bool Canvas::BindDeviceContext(HDC dc) {
    Release();
    if (!dc) {
        AppendErrorText(kZeroDc);
        return false;
    }
    windowDc_ = dc;
    window_ = WindowFromDC(dc);
    ownedMemoryDc_.reset(CreateCompatibleDC(windowDc_));
    memoryDc_ = ownedMemoryDc_.get();
    if (!memoryDc_) {
        AppendErrorText(kMemoryDcFailed);
        return false;
    }
    windowRect_ = RECT{};
    ::GetWindowRect(window_, &windowRect_);
    return true;
}

bool Canvas::MakeSurface() {
    ownedBitmap_.reset(CreateCompatibleBitmap(windowDc_, width_, height_));
    bitmap_ = ownedBitmap_.handle();
    if (!bitmap_) {
        AppendErrorText(kBitmapFailed);
        return false;
    }
    bitmapSelection_ = std::make_unique<SelectScope>(memoryDc_, bitmap_);
    if (!bitmapSelection_->ok()) {
        bitmapSelection_.reset();
        AppendErrorText(kSelectBitmapFailed);
        return false;
    }
    SetBkMode(memoryDc_, TRANSPARENT);
    // Without its graphics the canvas cannot do half of its work, so a failed
    // GdipCreateFromHDC fails the creation instead of passing unnoticed.
    Gdiplus::GpGraphics* graphics = nullptr;
    const Gdiplus::Status status = Gdiplus::DllExports::GdipCreateFromHDC(memoryDc_, &graphics);
    SetNativeHandle(graphics);
    if (!Record(status)) {
        AppendErrorText(kGraphicsFailed);
        return false;
    }
    return true;
}

bool Canvas::CreateForWindow(HWND window) {
    if (!BindWindow(window)) return false;
    width_ = GetWindowWidth();
    height_ = GetWindowHeight();
    return MakeSurface();
}

bool Canvas::CreateForWindowSized(HWND window, int width, int height) {
    if (!BindWindow(window)) return false;
    width_ = width;
    height_ = height;
    return MakeSurface();
}

bool Canvas::CreateForControl(const Component& control) { return CreateForWindow(control.Handle()); }

bool Canvas::CreateForControlSized(const Component& control, int width, int height) {
    return CreateForWindowSized(control.Handle(), width, height);
}

bool Canvas::CreateForDeviceContextSized(HDC dc, int width, int height) {
    if (!BindDeviceContext(dc)) return false;
    width_ = width;
    height_ = height;
    return MakeSurface();
}

bool Canvas::CreateForDeviceContext(HDC dc) {
    if (!BindDeviceContext(dc)) return false;
    width_ = GetWindowWidth();
    height_ = GetWindowHeight();
    return MakeSurface();
}

// The invisible pen leaves the last row and column of a rectangle unpainted,
// so the rectangle grows by one to clear exactly the area asked for.
bool Canvas::ClearTarget(HDC target, int left, int top, int right, int bottom) {
    return DrawFramed(
        target, Tools::BrushOnly, GetStockObject(BLACK_BRUSH),
        [&]() { return Check(::Rectangle(target, left, top, Sum(right, 1), Sum(bottom, 1)), kClearFailed); },
        kClearSelectFailed);
}

bool Canvas::Clear() { return ClearTarget(memoryDc_, 0, 0, width_, height_); }

bool Canvas::ClearRect(int left, int top, int right, int bottom) {
    return ClearTarget(memoryDc_, left, top, right, bottom);
}

bool Canvas::ClearWindow() { return ClearTarget(windowDc_, 0, 0, width_, height_); }

bool Canvas::ClearWindowRect(int left, int top, int right, int bottom) {
    return ClearTarget(windowDc_, left, top, right, bottom);
}

void Canvas::FlushImaging() const {
    if (graphics_) Gdiplus::DllExports::GdipFlush(graphics_, Gdiplus::FlushIntentionSync);
}

bool Canvas::Present(DWORD rop) { return PresentRect(0, 0, GetWindowWidth(), GetWindowHeight(), rop); }

bool Canvas::PresentRect(int x, int y, int width, int height, DWORD rop) {
    FlushImaging();
    if (!BitBlt(windowDc_, x, y, width, height, memoryDc_, viewX_, viewY_, rop)) {
        AppendErrorText(kPresentFailed);
        return false;
    }
    return true;
}

void Canvas::MoveView(int dx, int dy) {
    viewX_ -= dx;
    viewY_ -= dy;
}

bool Canvas::CopyWindowContent(HWND window, DWORD rop) {
    std::unique_ptr<WindowDc> other;
    HDC source = windowDc_;
    if (window) {
        other = std::make_unique<WindowDc>(window);
        source = other->get();
    }
    if (!BitBlt(memoryDc_, 0, 0, GetWindowWidth(), GetWindowHeight(), source, 0, 0, rop)) {
        AppendErrorText(kPresentFailed);
        return false;
    }
    return true;
}

std::unique_ptr<Canvas> Canvas::View() const {
    auto view = ViewOf(*this);
    view->window_ = window_;
    view->windowDc_ = windowDc_;
    view->memoryDc_ = memoryDc_;
    view->bitmap_ = bitmap_;
    view->windowRect_ = windowRect_;
    view->width_ = width_;
    view->height_ = height_;
    view->viewX_ = viewX_;
    view->viewY_ = viewY_;
    return view;
}

// Every handle is zeroed as it is given back, so a second release, the
// destructor after an explicit release, or a new creation is harmless. The
// graphics goes first: it was made on the memory DC. A view holds no owners,
// so it only forgets its source's handles.
bool Canvas::Release() {
    const bool deleted = DeleteShape(
        graphics_, [](Gdiplus::GpGraphics* graphics) { return Gdiplus::DllExports::GdipDeleteGraphics(graphics); });
    bitmapSelection_.reset();
    ownedBitmap_.reset();
    bitmap_ = nullptr;
    ownedWindowDc_.reset();
    windowDc_ = nullptr;
    ownedMemoryDc_.reset();
    memoryDc_ = nullptr;
    window_ = nullptr;
    return deleted;
}

}  // namespace varnel

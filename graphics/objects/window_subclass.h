#pragma once
#include <windows.h>

namespace varnel {
// Placeholder until the window subclass lands.
class WindowSubclass {
public:
    WindowSubclass() = default;
    WindowSubclass(const WindowSubclass&) = delete;
    WindowSubclass& operator=(const WindowSubclass&) = delete;

    bool Subclass(HWND window, WNDPROC callback = nullptr) {
        window_ = window;
        if (!callback) return true;
        subclassed_ = true;
        previous_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(callback)));
        return previous_ != nullptr;
    }
    HDC BeginPaint() { return ::BeginPaint(window_, &paint_); }
    bool EndPaint() { return ::EndPaint(window_, &paint_) != FALSE; }
    LRESULT CallPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return subclassed_ ? CallWindowProcA(previous_, window, message, wParam, lParam) : 0;
    }

private:
    WNDPROC previous_ = nullptr;
    HWND window_ = nullptr;
    bool subclassed_ = false;
    PAINTSTRUCT paint_{};
};
}  // namespace varnel

#include "platform/window_base.h"

namespace varnel {

WindowBase::~WindowBase() {
    // A window outliving its object must not reach it any more.
    if (hwnd_ && GetWindowLongPtrA(hwnd_, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this)) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    }
}

HWND WindowBase::CreateBound(DWORD exStyle, const char* className, const char* text, DWORD style, int left,
                             int top, int width, int height, HWND parent, HMENU menuOrId) {
    // Procedure sets hwnd_ on the first message; a window that failed to be
    // made leaves none.
    hwnd_ = CreateWindowExA(exStyle, className, text, style, left, top, width, height, parent, menuOrId,
                            GetModuleHandleA(nullptr), this);
    return hwnd_;
}

LRESULT CALLBACK WindowBase::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (created) {
            created->hwnd_ = window;
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        }
    }
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    // An object that let go of its window (a form after WM_DESTROY) leaves
    // the rest of its messages to the default procedure.
    LRESULT result = self && self->hwnd_ == window ? self->HandleMessage(message, wParam, lParam)
                                                   : DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    return result;
}

LRESULT WindowBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

}  // namespace varnel

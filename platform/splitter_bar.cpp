#include "platform/components.h"

#include <windowsx.h>

#include "platform/window_class.h"

namespace varnel {

namespace {
const char kSplitterClass[] = "VarnelSplitterBar";
}

bool SplitterBar::Create(HWND parent) {
    RegisterWindowClass(kSplitterClass, &WindowBase::Procedure, CS_DBLCLKS, COLOR_HIGHLIGHT + 1, nullptr);
    if (!CreateBoundChild(parent, 0, kSplitterClass, WS_CLIPSIBLINGS)) return false;
    // Guide lines lie over the preview, not under it.
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

LRESULT SplitterBar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(LoadCursor(nullptr, IsVertical() ? IDC_SIZEWE : IDC_SIZENS));
        return TRUE;
    case WM_LBUTTONDOWN:
        dragging_ = true;
        startPosition_ = IsVertical() ? Left() : Top();
        grabOffset_ = IsVertical() ? GET_X_LPARAM(lParam) : GET_Y_LPARAM(lParam);
        SetCapture(hwnd_);
        return 0;
    case WM_MOUSEMOVE:
        if (dragging_) {
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            MapWindowPoints(hwnd_, GetParent(hwnd_), &p, 1);
            if (IsVertical()) {
                SetWindowPos(hwnd_, nullptr, p.x - grabOffset_, Top(), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            } else {
                SetWindowPos(hwnd_, nullptr, Left(), p.y - grabOffset_, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            }
        }
        return 0;
    case WM_LBUTTONUP:
        if (dragging_) {
            dragging_ = false;
            ReleaseCapture();
            EventArgs args;
            args.oldPosition = startPosition_;
            args.newPosition = IsVertical() ? Left() : Top();
            Raise(EventKind::Dragged, args);
        }
        return 0;
    case WM_CAPTURECHANGED:
        dragging_ = false;
        return 0;
    case WM_LBUTTONDBLCLK:
        Raise(EventKind::DoubleClicked);
        return 0;
    default: return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}

}  // namespace varnel

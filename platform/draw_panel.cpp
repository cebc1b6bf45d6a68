#include "platform/components.h"

#include <windowsx.h>

#include "platform/smooth_scale.h"

namespace varnel {

namespace {
int KeyState() {
    int keys = 0;
    if (GetKeyState(VK_CONTROL) < 0) keys += 1;
    if (GetKeyState(VK_SHIFT) < 0) keys += 2;
    if (GetKeyState(VK_MENU) < 0) keys += 4;
    return keys;
}
}  // namespace

bool DrawPanel::Create(HWND parent) { return CreateSurface(parent, 0); }

void DrawPanel::LayPicture(HDC dc, int width, int height) const {
    DrawBmpSmooth(dc, Picture(), width, height, width, height);
}

LRESULT DrawPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN: {
        EventArgs args;
        args.x = GET_X_LPARAM(lParam);
        args.y = GET_Y_LPARAM(lParam);
        args.keys = KeyState();
        Raise(EventKind::LeftButtonDown, args);
        return 0;
    }
    case WM_LBUTTONDBLCLK: Raise(EventKind::DoubleClicked); return 0;
    case WM_SIZE: {
        const LRESULT result = PictureSurface::HandleMessage(message, wParam, lParam);
        Raise(EventKind::SizeChanged);
        return result;
    }
    default: break;
    }
    return PictureSurface::HandleMessage(message, wParam, lParam);
}

}  // namespace varnel

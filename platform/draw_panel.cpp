#include "platform/components.h"

#include <windowsx.h>

#include <map>

#include "platform/bmp_image.h"
#include "platform/handles.h"

namespace varnel {

namespace {
std::map<HWND, DrawPanel*>& Panels() {
    static std::map<HWND, DrawPanel*> panels;
    return panels;
}

int KeyState() {
    int keys = 0;
    if (GetKeyState(VK_CONTROL) < 0) keys += 1;
    if (GetKeyState(VK_SHIFT) < 0) keys += 2;
    if (GetKeyState(VK_MENU) < 0) keys += 4;
    return keys;
}
}  // namespace

DrawPanel::~DrawPanel() {
    for (auto it = Panels().begin(); it != Panels().end();) {
        it = it->second == this ? Panels().erase(it) : std::next(it);
    }
}

bool DrawPanel::Create(HWND parent) {
    if (!CreateSurface(parent, 0)) return false;
    Panels()[hwnd_] = this;
    return true;
}

DrawPanel* DrawPanel::FromWindow(HWND window) {
    auto it = Panels().find(window);
    return it == Panels().end() ? nullptr : it->second;
}

void DrawPanel::LayPicture(HDC dc, int width, int height) const {
    DrawBmpStretched(dc, Picture(), 0, 0, width, height);
}

// The backing's steps on a bitmap of the same kind: filled, then the picture
// laid as LayPicture lays it, then scaled as Snapshot scales it.
Bytes DrawPanel::SnapshotOfPicture(const Bytes& picture, int backingWidth, int backingHeight, COLORREF fill,
                                   int width, int height) {
    WindowDc screen(nullptr);
    Bitmap backing(CreateCompatibleBitmap(screen.get(), backingWidth, backingHeight));
    MemoryDc dc(CreateCompatibleDC(screen.get()));
    if (!backing || !dc) return {};
    SelectScope select(dc.get(), backing.get());
    RECT all{0, 0, backingWidth, backingHeight};
    Brush brush(CreateSolidBrush(fill));
    FillRect(dc.get(), &all, brush.handle());
    if (!DrawBmpStretched(dc.get(), picture, 0, 0, backingWidth, backingHeight)) return {};
    return SnapshotToBmp24(dc.get(), 0, 0, backingWidth, backingHeight, width, height);
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
    case WM_DESTROY: Panels().erase(hwnd_); break;
    default: break;
    }
    return PictureSurface::HandleMessage(message, wParam, lParam);
}

void MirrorPresentedPixels(HWND window, HDC source, int x, int y, int width, int height, int sourceX, int sourceY,
                           DWORD rop) {
    if (DrawPanel* panel = DrawPanel::FromWindow(window)) panel->Mirror(source, x, y, width, height, sourceX, sourceY, rop);
}

}  // namespace varnel

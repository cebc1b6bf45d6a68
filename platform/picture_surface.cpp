#include "platform/components.h"

#include <algorithm>

#include "platform/bmp_image.h"
#include "platform/window_class.h"

namespace varnel {

namespace {
const char kSurfaceClass[] = "VarnelPictureSurface";
}  // namespace

bool PictureSurface::CreateSurface(HWND parent, DWORD exStyle) {
    RegisterWindowClass(kSurfaceClass, &WindowBase::Procedure, CS_DBLCLKS, 0);
    if (!CreateBoundChild(parent, exStyle, kSurfaceClass, WS_CLIPSIBLINGS)) return false;
    RebuildBacking();
    return true;
}

LRESULT PictureSurface::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(); return 0;
    case WM_SIZE: RebuildBacking(); return 0;
    case WM_DESTROY:
        if (backingDc_ && previousBitmap_) SelectObject(backingDc_.get(), previousBitmap_);
        previousBitmap_ = nullptr;
        break;
    default: break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

void PictureSurface::Paint() {
    LayIfPending();
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    if (dc && backingDc_) {
        BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
               ps.rcPaint.bottom - ps.rcPaint.top, backingDc_.get(), ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
    }
    EndPaint(hwnd_, &ps);
}

void PictureSurface::RebuildBacking() {
    backingFresh_ = false;
    RECT client{};
    GetClientRect(hwnd_, &client);
    int width = std::max<int>(client.right, 1);
    int height = std::max<int>(client.bottom, 1);
    if (!backingDc_) {
        WindowDc screen(nullptr);
        backingDc_.reset(CreateCompatibleDC(screen.get()));
    }
    if (width != backingWidth_ || height != backingHeight_ || !backingBitmap_) {
        WindowDc screen(nullptr);
        Bitmap fresh(CreateCompatibleBitmap(screen.get(), width, height));
        if (!fresh) return;
        HGDIOBJ old = SelectObject(backingDc_.get(), fresh.get());
        if (!previousBitmap_) previousBitmap_ = old;
        backingBitmap_ = std::move(fresh);
        backingWidth_ = width;
        backingHeight_ = height;
    }
    layPending_ = true;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void PictureSurface::LayIfPending() {
    if (!layPending_ || !backingDc_) return;
    layPending_ = false;
    RECT all{0, 0, backingWidth_, backingHeight_};
    FillRect(backingDc_.get(), &all, GetSysColorBrush(COLOR_BTNFACE));
    LayPicture(backingDc_.get(), backingWidth_, backingHeight_);
    backingFresh_ = true;
    backingFill_ = GetSysColor(COLOR_BTNFACE);
}

void PictureSurface::SetPicture(const Bytes& fileBytes) {
    BmpHeader header;
    if (!IsWholeBmp24(fileBytes, &header) || header.offBits != 54) {
        SetPicture(DecodePictureToBmp24(fileBytes));
        return;
    }
    if (LaysAsBefore(fileBytes)) return;
    // Copied into the room of the picture before, which a copy keeps when it
    // fits: memory fresh from the system costs more to touch than the copy.
    // Room far too large for the new picture is given back first.
    if (picture_.capacity() / 2 > fileBytes.size()) Bytes().swap(picture_);
    picture_ = fileBytes;
    RebuildBacking();
}

void PictureSurface::SetPicture(Bytes&& fileBytes) {
    BmpHeader header;
    Bytes next = IsWholeBmp24(fileBytes, &header) && header.offBits == 54 ? std::move(fileBytes)
                                                                           : DecodePictureToBmp24(fileBytes);
    if (LaysAsBefore(next)) return;
    picture_ = std::move(next);
    RebuildBacking();
}

bool PictureSurface::LaysAsBefore(const Bytes& next) {
    // Laying the same picture again on an untouched backing of the same size
    // and fill would draw the very same pixels.
    RECT client{};
    GetClientRect(hwnd_, &client);
    const bool unchanged = (backingFresh_ || layPending_) && backingBitmap_ && next == picture_ &&
                           std::max<int>(client.right, 1) == backingWidth_ &&
                           std::max<int>(client.bottom, 1) == backingHeight_ &&
                           GetSysColor(COLOR_BTNFACE) == backingFill_;
    if (unchanged) InvalidateRect(hwnd_, nullptr, FALSE);
    return unchanged;
}

Bytes PictureSurface::Snapshot(int width, int height) {
    if (!backingDc_) return {};
    LayIfPending();
    return SnapshotToBmp24(backingDc_.get(), 0, 0, backingWidth_, backingHeight_, width, height);
}

PictureSurface::Backing PictureSurface::FreshBacking() const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    return Backing{std::max<int>(client.right, 1), std::max<int>(client.bottom, 1), GetSysColor(COLOR_BTNFACE)};
}

void PictureSurface::ShowFrame(HDC source, int x, int y, int width, int height, int sourceX, int sourceY) {
    if (!backingDc_) return;
    // A frame over the whole backing leaves nothing of the picture to see,
    // as long as the source has pixels for all of it.
    BITMAP sourceBitmap{};
    const bool coversAll = x <= 0 && y <= 0 && x + width >= backingWidth_ && y + height >= backingHeight_ &&
                           GetObjectA(GetCurrentObject(source, OBJ_BITMAP), sizeof(sourceBitmap), &sourceBitmap) &&
                           sourceX - x >= 0 && sourceY - y >= 0 &&
                           sourceX - x + backingWidth_ <= sourceBitmap.bmWidth &&
                           sourceY - y + backingHeight_ <= sourceBitmap.bmHeight;
    if (coversAll) {
        layPending_ = false;
    } else {
        LayIfPending();
    }
    backingFresh_ = false;
    BitBlt(backingDc_.get(), x, y, width, height, source, sourceX, sourceY, SRCCOPY);
}

}  // namespace varnel

#include "graphics/canvas/canvas.h"
#include "graphics/canvas/canvas_internal.h"

namespace varnel {

using namespace canvas_detail;

namespace {
const char* const kOpacityRange = "透明度超出0-255的取值范围，请检查";
const char* const kSetPixelFailed = "画点失败(SetPixelV()返回值为0)请检查提供的参数是否正常。请检查是否创建图形";
const char* const kHolderDcFailed =
    "创建用来存放的内存设备场景失败(CreateCompatibleDC()返回值为0)请检查图形是否创建成功";
const char* const kHolderSelectFailed =
    "将位图选入用来存放的内存设备场景失败(SelectObject()返回值为0)请检查图片是否创建成功";
const char* const kBitmapBltFailed =
    "将存放图片的内存设备场景内容复制到窗口设备场景失败(BitBlt()返回值为0)请检查图形是否创建成功";
const char* const kBitmapTransparentFailed =
    "将存放图片的内存设备场景内容复制到窗口设备场景失败(TransparentBlt()返回值为0)请检查图形是否创建成功";
const char* const kFlipFailed = "变换设备场景失败(StretchBlt()返回值为0)";
const char* const kAlphaBlendFailed =
    "将内存设备场景内容复制到窗口设备场景失败(AlphaBlend()返回值为0)请检查图形是否创建成功";
const char* const kCanvasBltFailed =
    "将内存设备场景内容复制到窗口设备场景失败(BitBlt()返回值为0)请检查图形是否创建成功";
const char* const kCanvasTransparentFailed =
    "将内存设备场景内容复制到窗口设备场景失败(TransparentBlt()返回值为0)请检查图形是否创建成功";

int Red(COLORREF c) { return static_cast<int>(c & 0xFF); }
int Green(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
int Blue(COLORREF c) { return static_cast<int>(c >> 16); }

BLENDFUNCTION ConstantAlpha(BYTE alpha) { return BLENDFUNCTION{AC_SRC_OVER, 0, alpha, 0}; }

bool Report(BOOL result, const char* failure) {
    if (result) return true;
    AppendErrorText(failure);
    return false;
}
}  // namespace

bool Canvas::BlendPixel(int x, int y, COLORREF color, int opacity) {
    if (opacity < 0 || opacity > 255) {
        AppendErrorText(kOpacityRange);
        return false;
    }
    const COLORREF old = GetPixel(x, y);
    const auto mix = [opacity](int before, int after) {
        return Truncate(before * (255.0 - opacity) / 255.0 + after * static_cast<double>(opacity) / 255.0);
    };
    const int red = mix(Red(old), Red(color));
    const int green = mix(Green(old), Green(color));
    const int blue = mix(Blue(old), Blue(color));
    const COLORREF mixed = (static_cast<COLORREF>(blue) << 16) | ((static_cast<COLORREF>(green) & 0xFF) << 8) |
                           static_cast<COLORREF>(red);
    return Report(SetPixelV(memoryDc_, x, y, mixed), kSetPixelFailed);
}

COLORREF Canvas::GetPixel(int x, int y) const {
    FlushImaging();
    return ::GetPixel(memoryDc_, x, y);
}

COLORREF Canvas::GetWindowPixel(int x, int y) const { return ::GetPixel(windowDc_, x, y); }

bool Canvas::TransferBitmap(const GdiBitmap& bitmap, bool transparent, int x, int y, std::optional<int> width,
                            std::optional<int> height, int srcX, int srcY, std::optional<int> srcWidth,
                            std::optional<int> srcHeight, DWORD ropOrColor) {
    MemoryDc holder(CreateCompatibleDC(windowDc_));
    BITMAP info{};
    GetObjectA(bitmap.GetBitmapHandle(), sizeof(info), &info);
    if (!holder) {
        AppendErrorText(kHolderDcFailed);
        return false;
    }
    // Without its bitmap the holder would only give its own blank pixel.
    SelectScope selected(holder.get(), bitmap.GetBitmapHandle());
    if (!selected.ok()) {
        AppendErrorText(kHolderSelectFailed);
        return false;
    }
    const int w = width.value_or(info.bmWidth);
    const int h = height.value_or(info.bmHeight);
    FlushImaging();
    if (!transparent) {
        return Report(BitBlt(memoryDc_, x, y, w, h, holder.get(), srcX, srcY, ropOrColor), kBitmapBltFailed);
    }
    return Report(TransparentBlt(memoryDc_, x, y, w, h, holder.get(), srcX, srcY,
                                 srcWidth.value_or(info.bmWidth), srcHeight.value_or(info.bmHeight), ropOrColor),
                  kBitmapTransparentFailed);
}

bool Canvas::DrawBitmap(const GdiBitmap& bitmap, int x, int y, int srcX, int srcY, std::optional<int> width,
                        std::optional<int> height, DWORD rop) {
    return TransferBitmap(bitmap, false, x, y, width, height, srcX, srcY, {}, {}, rop);
}

bool Canvas::DrawBitmapTransparent(const GdiBitmap& bitmap, int x, int y, std::optional<int> width,
                                   std::optional<int> height, int srcX, int srcY, std::optional<int> srcWidth,
                                   std::optional<int> srcHeight, COLORREF transparent) {
    return TransferBitmap(bitmap, true, x, y, width, height, srcX, srcY, srcWidth, srcHeight, transparent);
}

bool Canvas::FlipRect(const Gdiplus::Rect& rect, int mode) {
    const HDC dc = memoryDc_;
    FlushImaging();
    if (mode == 0 || mode == 1 || rect.Width <= 0 || rect.Height <= 0) {
        const int w = mode == 0 ? rect.Width : -rect.Width;
        const int h = mode == 1 ? rect.Height : -rect.Height;
        return Report(StretchBlt(dc, rect.X, rect.Y, w, h, dc, rect.X, rect.Y, rect.Width, rect.Height, SRCCOPY),
                      kFlipFailed);
    }
    // Both ways at once is two single mirrors through a scratch bitmap: some
    // StretchBlt implementations (Wine's) drop the vertical mirror when both
    // extents are negative, and the area outside the result must stay as it is.
    MemoryDc scratchDc(CreateCompatibleDC(dc));
    Bitmap scratch(CreateCompatibleBitmap(dc, rect.Width, rect.Height));
    SelectScope selected(scratchDc.get(), scratch.get());
    return Report(selected.ok() &&
                      StretchBlt(scratchDc.get(), rect.Width, 0, -rect.Width, rect.Height, dc, rect.X, rect.Y,
                                 rect.Width, rect.Height, SRCCOPY) &&
                      StretchBlt(dc, Sum(rect.X, -rect.Width), rect.Y, rect.Width, -rect.Height, scratchDc.get(), 0,
                                 0, rect.Width, rect.Height, SRCCOPY),
                  kFlipFailed);
}

bool Canvas::PresentBlended(int x, int y, int width, int height, BYTE alpha) {
    FlushImaging();
    return Report(AlphaBlend(windowDc_, x, y, width, height, memoryDc_, viewX_, viewY_, width, height,
                             ConstantAlpha(alpha)),
                  kAlphaBlendFailed);
}

bool Canvas::CopyCanvas(const Canvas& source, DWORD rop) {
    source.FlushImaging();
    FlushImaging();
    return Report(
        BitBlt(memoryDc_, 0, 0, GetWindowWidth(), GetWindowHeight(), source.GetMemoryDc(), 0, 0, rop),
        kCanvasBltFailed);
}

bool Canvas::DrawCanvasTransparent(const Canvas& source, int x, int y, int width, int height, int srcX, int srcY,
                                   int srcWidth, int srcHeight, COLORREF transparent) {
    source.FlushImaging();
    FlushImaging();
    return Report(TransparentBlt(memoryDc_, x, y, width, height, source.GetMemoryDc(), srcX, srcY, srcWidth,
                                 srcHeight, transparent),
                  kCanvasTransparentFailed);
}

bool Canvas::DrawCanvas(const Canvas& source, int x, int y, int width, int height, DWORD rop) {
    source.FlushImaging();
    FlushImaging();
    return Report(BitBlt(memoryDc_, x, y, width, height, source.GetMemoryDc(), 0, 0, rop), kCanvasBltFailed);
}

bool Canvas::DrawCanvasBlended(const Canvas& source, int x, int y, int width, int height, BYTE alpha) {
    source.FlushImaging();
    FlushImaging();
    return Report(AlphaBlend(memoryDc_, x, y, width, height, source.GetMemoryDc(), 0, 0, width, height,
                             ConstantAlpha(alpha)),
                  kAlphaBlendFailed);
}

}  // namespace varnel

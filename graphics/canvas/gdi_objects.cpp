#include "graphics/canvas/gdi_objects.h"

#include <algorithm>
#include <cstring>

#include "graphics/objects/graphics_object.h"

namespace varnel {

namespace {
// Replaces the owned object with the new one, or records what failed.
template <typename Owner, typename Handle>
bool Adopt(Owner& owner, Handle handle, const char* failure) {
    owner.reset(handle);
    if (!handle) AppendErrorText(failure);
    return handle != nullptr;
}
}  // namespace

bool GdiPen::Create(int style, int width, COLORREF color) {
    return Adopt(pen_, CreatePen(style, width, color), "创建画笔失败(CreatePen()返回0)请检查提供的参数");
}

bool GdiBrush::CreateSolid(COLORREF color) {
    return Adopt(brush_, CreateSolidBrush(color), "创建刷子失败(CreateSolidBrush()返回0)请检查提供的参数");
}

bool GdiBrush::CreateHatch(int style, COLORREF color) {
    return Adopt(brush_, CreateHatchBrush(style, color), "创建刷子失败(CreateHatchBrush()返回0)请检查提供的参数");
}

bool GdiRegion::CreateRect(int left, int top, int right, int bottom) {
    return Adopt(region_, CreateRectRgn(left, top, right, bottom),
                 "创建区域失败(CreateRectRgn()返回0)请检查提供的参数");
}

bool GdiRegion::CreateEllipse(int left, int top, int right, int bottom) {
    return Adopt(region_, CreateEllipticRgn(left, top, right, bottom),
                 "创建区域失败(CreateEllipticRgn()返回0)请检查提供的参数");
}

bool GdiBitmap::Create(int width, int height, const std::vector<uint32_t>& pixels) {
    bitmap_.reset();
    if (width <= 0 || height <= 0) {
        AppendErrorText("创建位图失败(宽度和高度必须大于0)请检查提供的参数");
        return false;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, like the pixels given
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!Adopt(bitmap_, bitmap, "创建位图失败(CreateDIBSection()返回0)请检查提供的参数")) return false;
    // 0x00RRGGBB in memory is blue, green, red, zero: the DIB's own order.
    const size_t total = static_cast<size_t>(width) * static_cast<size_t>(height);
    const size_t given = std::min(total, pixels.size());
    if (given) std::memcpy(bits, pixels.data(), given * sizeof(uint32_t));
    GdiFlush();
    return true;
}

}  // namespace varnel

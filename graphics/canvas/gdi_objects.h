#pragma once
// The classic pen, brush, region and bitmap the canvas's GDI operations take.
// Each owns its one GDI object, deletes it when created again or destroyed,
// and cannot be copied.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "platform/handles.h"

namespace varnel {

class GdiPen {
public:
    GdiPen() = default;
    GdiPen(const GdiPen&) = delete;
    GdiPen& operator=(const GdiPen&) = delete;

    bool Create(int style, int width, COLORREF color);
    HPEN GetPenHandle() const { return pen_.handle(); }

private:
    Pen pen_;
};

class GdiBrush {
public:
    GdiBrush() = default;
    GdiBrush(const GdiBrush&) = delete;
    GdiBrush& operator=(const GdiBrush&) = delete;

    bool CreateSolid(COLORREF color);
    bool CreateHatch(int style, COLORREF color);
    HBRUSH GetBrushHandle() const { return brush_.handle(); }

private:
    Brush brush_;
};

class GdiRegion {
public:
    GdiRegion() = default;
    GdiRegion(const GdiRegion&) = delete;
    GdiRegion& operator=(const GdiRegion&) = delete;

    bool CreateRect(int left, int top, int right, int bottom);
    bool CreateEllipse(int left, int top, int right, int bottom);
    HRGN GetRegionHandle() const { return region_.handle(); }

private:
    RegionHandle region_;
};

class GdiBitmap {
public:
    GdiBitmap() = default;
    GdiBitmap(const GdiBitmap&) = delete;
    GdiBitmap& operator=(const GdiBitmap&) = delete;

    // A 32-bit bitmap; `pixels` are 0x00RRGGBB values, rows top-down, and
    // whatever they do not cover stays black.
    bool Create(int width, int height, const std::vector<uint32_t>& pixels = {});
    HBITMAP GetBitmapHandle() const { return bitmap_.handle(); }

private:
    Bitmap bitmap_;
};

}  // namespace varnel

#pragma once
// The off-screen drawing surface: a memory device context with a bitmap of
// its own, compatible with a window (or a device context), drawn on with
// classic primitives, pixel transfers and a GDI+ graphics on the same DC, and
// copied to the window in one transfer.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "graphics/canvas/gdi_objects.h"
#include "graphics/objects/graphics_object.h"
#include "platform/bytes.h"
#include "platform/gdiplus_flat.h"
#include "platform/handles.h"

namespace varnel {

class Component;

using PointFArray = std::vector<Gdiplus::PointF>;
using PointArray = std::vector<Gdiplus::Point>;
using RectFArray = std::vector<Gdiplus::RectF>;
using RectArray = std::vector<Gdiplus::Rect>;
using GdiPointArray = std::vector<POINT>;

// One corner of a classic gradient fill; the channels are 0-255.
struct GdiVertex {
    int32_t x = 0;
    int32_t y = 0;
    int16_t red = 0;
    int16_t green = 0;
    int16_t blue = 0;
    uint8_t alpha = 0;
};

// A classic font for the canvas's GDI text; `angle` is in tenths of a degree
// and turns both the line and the letters.
struct GdiFontSpec {
    int width = 0;
    int height = 0;
    int angle = 0;
    int weight = 0;
    COLORREF color = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::string faceName;
};

class Canvas : public GraphicsObject {
public:
    Canvas() = default;
    ~Canvas() override;

    // A view of this canvas: the same surface, window, sizes and view offset,
    // drawn on and presented like the canvas itself, but owning none of it;
    // its release only lets go. It must not outlive the canvas.
    std::unique_ptr<Canvas> View() const;

    // ---- Creation, presenting, clearing, accessors, release -------------------
    Gdiplus::GpGraphics* GetGraphics() const { return graphics_; }
    // Takes over a graphics handle (the canvas deletes it on release).
    void SetGraphics(Gdiplus::GpGraphics* graphics) { SetNativeHandle(graphics); }
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    int GetWindowWidth() const;
    int GetWindowHeight() const;

    bool CreateForWindow(HWND window);
    bool CreateForControl(const Component& control);
    bool CreateForControlSized(const Component& control, int width, int height);
    bool CreateForWindowSized(HWND window, int width, int height);
    bool CreateForDeviceContextSized(HDC dc, int width, int height);
    bool CreateForDeviceContext(HDC dc);

    bool BlendPixel(int x, int y, COLORREF color, int opacity);
    bool Clear();
    bool ClearRect(int left, int top, int right, int bottom);
    // Copies what the window shows (the given one, or the bound one) into the
    // canvas at its origin.
    bool CopyWindowContent(HWND window = nullptr, DWORD rop = SRCCOPY);
    bool ClearWindow();
    bool ClearWindowRect(int left, int top, int right, int bottom);

    bool Present(DWORD rop = SRCCOPY);
    void MoveView(int dx, int dy);
    bool PresentRect(int x, int y, int width, int height, DWORD rop = SRCCOPY);

    HWND GetWindow() const { return window_; }
    HDC GetWindowDc() const { return windowDc_; }
    HDC GetMemoryDc() const { return memoryDc_; }
    HWND GetWindowOfDc() const { return WindowFromDC(windowDc_); }
    // Gives everything back; true when the graphics was deleted with status Ok.
    bool Release();

    // ---- Classic primitives on the memory DC ----------------------------------
#define CANVAS_OPTIONAL(value) = value
#define CANVAS_CLASSIC_SHAPE(Name, Params, Tools, Tool, Body) bool Name Params;
#define CANVAS_CLASSIC_POINTS(Name, Params, Tools, Tool, BezierRule, Body) bool Name Params;
#include "graphics/canvas/canvas_ops.def"
    bool GdiGradientFill(const std::vector<GdiVertex>& vertices, ULONG mode);
    bool GdiDrawText(const GdiFontSpec& font, std::optional<COLORREF> background, const std::string& text,
                     RECT& rect, UINT format);
    bool GdiDrawShadowText(const GdiFontSpec& font, std::optional<COLORREF> background, const std::string& text,
                           RECT& rect, COLORREF shadowColor, int shadowX, int shadowY, DWORD flags);

    // ---- Pixels and transfers --------------------------------------------------
    COLORREF GetPixel(int x, int y) const;
    COLORREF GetWindowPixel(int x, int y) const;
    bool DrawBitmap(const GdiBitmap& bitmap, int x, int y, int srcX, int srcY, std::optional<int> width = {},
                    std::optional<int> height = {}, DWORD rop = SRCCOPY);
    bool DrawBitmapTransparent(const GdiBitmap& bitmap, int x, int y, std::optional<int> width,
                               std::optional<int> height, int srcX, int srcY, std::optional<int> srcWidth,
                               std::optional<int> srcHeight, COLORREF transparent);
    // Mirrors the area onto itself: mode 0 top to bottom, 1 left to right,
    // anything else both ways.
    bool FlipRect(const Gdiplus::Rect& rect, int mode);
    bool PresentBlended(int x, int y, int width, int height, BYTE alpha);
    bool CopyCanvas(const Canvas& source, DWORD rop = SRCCOPY);
    bool DrawCanvasTransparent(const Canvas& source, int x, int y, int width, int height, int srcX, int srcY,
                               int srcWidth, int srcHeight, COLORREF transparent);
    bool DrawCanvas(const Canvas& source, int x, int y, int width, int height, DWORD rop = SRCCOPY);
    bool DrawCanvasBlended(const Canvas& source, int x, int y, int width, int height, BYTE alpha);

    bool Grayscale();
    bool AdjustHsl(float hueShift, float saturationShift, float lightnessShift);
    bool SetPixelBuffer(const Bytes& pixels);
    Bytes GetPixelBuffer() const;
    bool SaveBitmapFile(const std::string& path) const;
    // The canvas bitmap as a BMP file image.
    Bytes GetImageData() const;
    // The canvas bitmap's file and info headers around a copy of `pixels`.
    Bytes BuildImageData(const Bytes& pixels) const;

    // ---- Rendering state, shapes, text, images and clipping (GDI+) ------------
#define CANVAS_STATE_SET(Name, Function, Params, Args) bool Name Params;
#define CANVAS_STATE_GET(Type, Name, Function, Params, Args, Init) Type Name Params;
#define CANVAS_IMAGING_SET(Name, Function, Params, Args) bool Name Params;
#define CANVAS_IMAGING_GET(Type, Name, Function, Params, Args, Init) Type Name Params;
#define CANVAS_IMAGING_TEST(Name, Function, Params, Args) bool Name Params;
#include "graphics/canvas/canvas_ops.def"
#undef CANVAS_OPTIONAL

    bool DrawString(const std::string& text, const GraphicsObject& font, const GraphicsObject& brush,
                    const Gdiplus::RectF& layout, const GraphicsObject& format);
    // A zero-sized layout measures on one line without limit.
    bool MeasureString(const std::string& text, const GraphicsObject& font, const Gdiplus::RectF& layout,
                       const GraphicsObject& format, Gdiplus::RectF& box);
    // Replaces `regions` by `count` new region objects holding the areas of
    // the format's character ranges.
    template <typename RegionObject>
    bool MeasureCharacterRanges(const std::string& text, const GraphicsObject& font, const Gdiplus::RectF& layout,
                                const GraphicsObject& format, int count,
                                std::vector<std::unique_ptr<RegionObject>>& regions);
    // `positions` holds one origin per character, or only the first one when
    // the flags ask for realized advances.
    bool DrawDriverString(const std::string& text, const GraphicsObject& font, const GraphicsObject& brush,
                          const PointFArray& positions, int flags = Gdiplus::DriverStringOptionsCmapLookup,
                          const GraphicsObject* matrix = nullptr);

protected:
    void OnSetNativeHandle(void* handle) override { graphics_ = static_cast<Gdiplus::GpGraphics*>(handle); }

private:
    bool BindWindow(HWND window);
    bool BindDeviceContext(HDC dc);
    bool MakeSurface();
    bool ClearTarget(HDC target, int left, int top, int right, int bottom);
    // Completes what GDI+ may still hold back before GDI reads or copies the DC.
    void FlushImaging() const;
    bool TransferBitmap(const GdiBitmap& bitmap, bool transparent, int x, int y, std::optional<int> width,
                        std::optional<int> height, int srcX, int srcY, std::optional<int> srcWidth,
                        std::optional<int> srcHeight, DWORD ropOrColor);
    bool MeasureRanges(const std::string& text, const GraphicsObject& font, const Gdiplus::RectF& layout,
                       const GraphicsObject& format, const std::vector<GraphicsObject*>& regions);

    // What the canvas made itself; a view has none of these and works on
    // the plain handles below, which are its source's.
    std::unique_ptr<WindowDc> ownedWindowDc_;  // from GetDC, given back on release
    MemoryDc ownedMemoryDc_;
    Bitmap ownedBitmap_;
    std::unique_ptr<SelectScope> bitmapSelection_;  // puts the DC's first bitmap back

    HWND window_ = nullptr;
    HDC windowDc_ = nullptr;  // ownedWindowDc_'s, or the caller's own
    HDC memoryDc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    RECT windowRect_{};
    int width_ = 0;
    int height_ = 0;
    int viewX_ = 0;
    int viewY_ = 0;
    Gdiplus::GpGraphics* graphics_ = nullptr;
};

template <typename RegionObject>
bool Canvas::MeasureCharacterRanges(const std::string& text, const GraphicsObject& font,
                                    const Gdiplus::RectF& layout, const GraphicsObject& format, int count,
                                    std::vector<std::unique_ptr<RegionObject>>& regions) {
    regions.clear();
    std::vector<GraphicsObject*> targets;
    for (int i = 0; i < count; ++i) {
        regions.push_back(std::make_unique<RegionObject>());
        targets.push_back(regions.back().get());
    }
    return MeasureRanges(text, font, layout, format, targets);
}

}  // namespace varnel

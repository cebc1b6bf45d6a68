#pragma once
// Drawing the parts of a preview on a canvas: the picture scaled into a
// rectangle, and the watermark text.
#include <windows.h>

#include <cstdint>
#include <string>

#include "app/operations/watermark_settings.h"
#include "graphics/canvas/canvas.h"
#include "graphics/canvas/imaging_objects.h"
#include "graphics/objects/fonts.h"
#include "graphics/objects/image.h"
#include "graphics/objects/solid_brush.h"
#include "platform/gdiplus_flat.h"

namespace varnel {

// Sampling past the picture's edges mirrors the picture instead of blending
// in transparent black, which would darken the last column and row of an
// enlarged picture in the preview and in every snapshot written back from it.
constexpr Gdiplus::WrapMode kPictureEdges = Gdiplus::WrapModeTileFlipXY;

// A picture given by file is drawn 14 pixels taller than asked.
constexpr int kFileOverhang = 14;

// Draws the whole picture scaled into the rectangle with `edges` (attributes
// that mirror the edges); false when there was no picture or it could not
// be drawn.
bool DrawWholePicture(Canvas& canvas, Image& picture, const ImageAttributes& edges, float x, float y, float width,
                      float height);

// What the text of a watermark is drawn with.
struct TextTools {
    FontFamily family;
    Font font;
    SolidBrush brush;
};

// Makes the font and brush of the settings in `style`; false when the font
// cannot be made (no such face, no size chosen).
bool MakeTextTools(const WatermarkSettings& settings, TextStyle style, TextTools& tools);

// Draws the settings' text at their position in `style` on the canvas; the
// box it measured, empty when nothing could be drawn.
Gdiplus::RectF DrawTextWatermark(Canvas& canvas, const WatermarkSettings& settings, TextStyle style);

// A 0x00BBGGRR colour as the imaging service's 0xAARRGGBB.
int32_t MakeArgb(COLORREF color, int alpha, bool useAlpha);

}  // namespace varnel

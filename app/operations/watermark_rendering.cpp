#include "app/operations/watermark_rendering.h"

#include "app/operations/text_faces.h"

#include "graphics/objects/string_format.h"

namespace varnel {

bool DrawWholePicture(Canvas& canvas, Image& picture, const ImageAttributes& edges, float x, float y, float width,
                      float height) {
    const bool drawn = canvas.DrawImageRectRect(picture, x, y, width, height, 0, 0,
                                                static_cast<float>(picture.GetWidth()),
                                                static_cast<float>(picture.GetHeight()), Gdiplus::UnitPixel, &edges);
    return drawn && picture.GetNativeHandle() != nullptr;
}

int32_t MakeArgb(COLORREF color, int alpha, bool useAlpha) {
    uint32_t red = color & 0xFF, green = (color >> 8) & 0xFF, blue = (color >> 16) & 0xFF;
    uint32_t a = useAlpha ? static_cast<uint32_t>(alpha) & 0xFF : 0xFF;
    return static_cast<int32_t>((a << 24) | (red << 16) | (green << 8) | blue);
}

bool MakeTextTools(const WatermarkSettings& settings, TextStyle style, TextTools& tools) {
    {
        FontCollection installed;
        tools.family.CreateFromName(settings.fontName, installed);
    }
    const int emSize = settings.size == 0 ? 16 : settings.size;
    const bool font = tools.font.Create(tools.family, static_cast<float>(emSize), static_cast<int32_t>(style),
                                        Gdiplus::UnitPixel);
    const int alpha = (settings.opacity == 0 || settings.opacity > 255) ? 150 : settings.opacity;
    tools.brush.Create(static_cast<uint32_t>(MakeArgb(settings.color, alpha, true)));
    return font && tools.font.GetNativeHandle() != nullptr;
}

Gdiplus::RectF DrawTextWatermark(Canvas& canvas, const WatermarkSettings& settings, TextStyle style) {
    if (auto box = DrawTextWithFallback(canvas.GetGraphics(), settings, style,
                                        static_cast<float>(settings.position.x),
                                        static_cast<float>(settings.position.y))) {
        return *box;
    }
    TextTools tools;
    MakeTextTools(settings, style, tools);
    Gdiplus::RectF box(0, 0, 0, 0);
    {
        StringFormat measuring;
        canvas.MeasureString(settings.text, tools.font, Gdiplus::RectF(0, 0, 0, 0), measuring, box);
    }
    box.X = static_cast<float>(settings.position.x);
    box.Y = static_cast<float>(settings.position.y);
    {
        StringFormat drawing;
        canvas.DrawString(settings.text, tools.font, tools.brush, box, drawing);
    }
    return box;
}

}  // namespace varnel

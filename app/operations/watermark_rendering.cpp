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
    // A face without the asked style (many have no italic or no bold) is
    // drawn in its nearest style rather than not at all.
    const int32_t asked = static_cast<int32_t>(style);
    const int32_t bold = static_cast<int32_t>(TextStyle::Bold), italic = static_cast<int32_t>(TextStyle::Italic);
    auto createNearest = [&] {
        for (int32_t tried : {asked, asked & ~italic, asked & ~bold, asked & ~(bold | italic)}) {
            if (tools.font.Create(tools.family, static_cast<float>(emSize), tried, Gdiplus::UnitPixel)) return true;
        }
        return false;
    };
    // A face the font box lists but the imaging service cannot use (some
    // symbol and math faces) still gives the user a visible mark.
    auto createFrom = [&](const std::string& face) {
        FontCollection installed;
        return !face.empty() && tools.family.CreateFromName(face, installed) && createNearest();
    };
    const Bytes wide = ToWideText(settings.text);
    // A name that is no installed face still draws nothing: the user sees
    // the face they asked for is not there.
    const bool font = createNearest() ||
                      (IsFaceInstalled(settings.fontName) &&
                       (createFrom(FaceWithGlyphs(std::wstring(reinterpret_cast<const wchar_t*>(wide.data())))) ||
                        (tools.family.CreateGenericSansSerif() && createNearest())));
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

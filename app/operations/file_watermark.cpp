#include "app/operations/file_watermark.h"

#include "app/operations/watermark_blend.h"
#include "app/operations/text_faces.h"
#include "app/operations/watermark_rendering.h"
#include "graphics/objects/fonts.h"
#include "graphics/objects/graphics_object.h"
#include "graphics/objects/solid_brush.h"
#include "graphics/objects/string_format.h"
#include "platform/bmp_image.h"
#include "platform/exif.h"
#include "platform/gdiplus_handles.h"
#include "platform/picture_codec.h"

namespace varnel {

namespace {

using namespace Gdiplus::DllExports;

Gdiplus::GpFont* FontOf(const Font& font) { return static_cast<Gdiplus::GpFont*>(font.GetNativeHandle()); }

// The text as the preview draws it at (x, y) on a panel the picture is
// stretched over, drawn on the picture itself at the same place.
bool DrawText(Gdiplus::GpBitmap* picture, const FileMarking& marking) {
    UINT width = 0, height = 0;
    GdipGetImageWidth(picture, &width);
    GdipGetImageHeight(picture, &height);
    if (marking.previewWidth <= 0 || marking.previewHeight <= 0) return false;
    TextTools tools;
    if (!MakeTextTools(marking.text, marking.style, tools)) return false;
    GraphicsOwner graphics = GraphicsOnImage(picture);
    if (!graphics) return false;
    // Smooth edges without colour fringes: the file may be looked at anywhere.
    GdipSetTextRenderingHint(graphics.get(), Gdiplus::TextRenderingHintAntiAlias);
    GdipScaleWorldTransform(graphics.get(), static_cast<float>(width) / marking.previewWidth,
                            static_cast<float>(height) / marking.previewHeight, Gdiplus::MatrixOrderPrepend);
    if (DrawTextWithFallback(graphics.get(), marking.text, marking.style,
                             static_cast<float>(marking.text.position.x),
                             static_cast<float>(marking.text.position.y))) {
        return true;
    }
    const Bytes wide = ToWideText(marking.text.text);
    const auto* text = reinterpret_cast<const WCHAR*>(wide.data());
    Gdiplus::RectF box(0, 0, 0, 0);
    const Gdiplus::RectF unbounded(0, 0, 0, 0);
    StringFormat format;
    if (GdipMeasureString(graphics.get(), text, -1, FontOf(tools.font), &unbounded,
                          static_cast<Gdiplus::GpStringFormat*>(format.GetNativeHandle()), &box, nullptr,
                          nullptr) != Gdiplus::Ok ||
        box.Width <= 0 || box.Height <= 0) {
        return false;
    }
    box.X = static_cast<float>(marking.text.position.x);
    box.Y = static_cast<float>(marking.text.position.y);
    return GdipDrawString(graphics.get(), text, -1, FontOf(tools.font), &box,
                          static_cast<Gdiplus::GpStringFormat*>(format.GetNativeHandle()),
                          static_cast<Gdiplus::GpBrush*>(tools.brush.GetNativeHandle())) == Gdiplus::Ok;
}

bool MultiplyMark(Gdiplus::GpBitmap* picture, bool alpha, const FileMarking& marking) {
    UINT width = 0, height = 0;
    GdipGetImageWidth(picture, &width);
    GdipGetImageHeight(picture, &height);
    const Gdiplus::PixelFormat format = alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data{};
    if (GdipBitmapLockBits(picture, &all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite, format, &data) !=
        Gdiplus::Ok) {
        return false;
    }
    const bool multiplied = MultiplyMarkInto(static_cast<unsigned char*>(data.Scan0), all.Width, all.Height,
                                             data.Stride, alpha ? 4 : 3, marking.mark, marking.markAt.x,
                                             marking.markAt.y);
    GdipBitmapUnlockBits(picture, &data);
    return multiplied;
}

}  // namespace

MarkedFile MarkFile(const Bytes& fileBytes, const std::string& name, const FileMarking& marking,
                    Gdiplus::GpBitmap* decoded, bool drawOnDecoded) {
    MarkedFile result;
    BitmapOwner own;
    if (!decoded) {
        own.reset(DecodeBitmap(fileBytes));
        decoded = own.bitmap;
        drawOnDecoded = true;
    }
    if (!decoded) {
        result.failure = FileFailure::NotPicture;
        return result;
    }
    const bool alpha = HasAlpha(decoded);
    // A decode in 24-bit RGB (every JPEG) is drawn on as it is: a copy of
    // it would be the same pixels, once more in memory.
    Gdiplus::PixelFormat decodedFormat = 0;
    const bool drawable = drawOnDecoded && !alpha && GdipGetImagePixelFormat(decoded, &decodedFormat) == Gdiplus::Ok &&
                          decodedFormat == PixelFormat24bppRGB;
    BitmapOwner work;
    if (!drawable) {
        work.reset(WorkingCopy(decoded, alpha));
        // One full picture at a time: the decode goes once it is copied.
        own.reset();
    }
    Gdiplus::GpBitmap* picture = drawable ? decoded : work.bitmap;
    if (!picture) {
        result.failure = FileFailure::NotPicture;
        return result;
    }
    const bool drawn = marking.mode == WatermarkMode::Text      ? DrawText(picture, marking)
                       : marking.mode == WatermarkMode::Picture ? MultiplyMark(picture, alpha, marking)
                                                                : true;
    if (!drawn) {
        result.failure = FileFailure::NotDrawn;
        return result;
    }
    PictureFormat format = FormatOfName(name);
    if (format == PictureFormat::Unknown) format = FormatOfBytes(fileBytes);
    result.bytes = EncodePicture(picture, format);
    if (result.bytes.empty()) {
        result.failure = FileFailure::NotEncoded;
        return result;
    }
    if (format == PictureFormat::Jpeg) result.bytes = WithMetadataOf(result.bytes, fileBytes);
    return result;
}

}  // namespace varnel

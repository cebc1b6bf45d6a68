#pragma once
// Picture files in and out at their own size: decoding upright, working
// copies that can be drawn on, and encoding in the format a file's name says.
#include <string>

#include "platform/bmp_image.h"
#include "platform/bytes.h"
#include "platform/gdiplus_flat.h"

namespace varnel {

enum class PictureFormat { Unknown, Jpeg, Png, Bmp, Gif, Tiff };

// The format a file of this name is written in: .jpg and .jpeg JPEG, .png
// PNG, .bmp BMP, .gif GIF, .tif and .tiff TIFF; Unknown for any other name.
PictureFormat FormatOfName(const std::string& path);

// The format of a picture file's bytes by their first bytes; Unknown when
// they are none of the five.
PictureFormat FormatOfBytes(const Bytes& bytes);

// JPEGs are written at this quality, with every colour sample kept: far
// above what the eye tells from the original (about 45 dB on a detailed
// photo), at a tenth of the size of the uncompressed picture.
constexpr unsigned long kJpegQuality = 92;

// The turn and flip that make a picture stored with this EXIF orientation
// upright.
Gdiplus::RotateFlipType UprightTurn(int orientation);

// A copy of the picture in 24-bit RGB, or in 32-bit ARGB when `keepAlpha`,
// that the imaging service can draw on; null when it could not be made.
Gdiplus::GpBitmap* WorkingCopy(Gdiplus::GpBitmap* picture, bool keepAlpha);

// Whether the decoded picture has an alpha channel.
bool HasAlpha(Gdiplus::GpBitmap* picture);

// The picture encoded as `format`. Formats without transparency (JPEG, BMP,
// GIF) get it laid over white, BMP as 24 bits; JPEG at kJpegQuality. Empty
// when the encoder failed.
[[nodiscard]] Bytes EncodePicture(Gdiplus::GpBitmap* picture, PictureFormat format);

// A decoded picture's pixels held still as 24-bit rows, so that rectangles
// of it are encoded without copying the picture.
class LockedPicture {
public:
    // Decodes the bytes (upright); Valid() is false when they are no picture.
    explicit LockedPicture(const Bytes& fileBytes);
    LockedPicture(const LockedPicture&) = delete;
    LockedPicture& operator=(const LockedPicture&) = delete;
    ~LockedPicture();

    bool Valid() const { return locked_; }
    int Width() const { return static_cast<int>(rows_.Width); }
    int Height() const { return static_cast<int>(rows_.Height); }
    // The rectangle encoded as `format`; empty when it does not lie inside.
    [[nodiscard]] Bytes Encode(int x, int y, int width, int height, PictureFormat format) const;

private:
    BitmapOwner picture_;
    Gdiplus::BitmapData rows_{};
    bool locked_ = false;
};

}  // namespace varnel

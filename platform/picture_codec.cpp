#include "platform/picture_codec.h"

#include <cstring>
#include <vector>

#include "platform/gdiplus_handles.h"
#include "platform/growing_stream.h"
#include "platform/jpeg_encoder.h"
#include "platform/handles.h"

namespace varnel {

namespace {

using namespace Gdiplus::DllExports;

std::string LowerExtension(const std::string& path) {
    const size_t dot = path.find_last_of(".\\");
    if (dot == std::string::npos || path[dot] != '.') return std::string();
    std::string extension = path.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension;
}

const GUID* FormatGuid(PictureFormat format) {
    switch (format) {
    case PictureFormat::Jpeg: return &Gdiplus::ImageFormatJPEG;
    case PictureFormat::Png: return &Gdiplus::ImageFormatPNG;
    case PictureFormat::Bmp: return &Gdiplus::ImageFormatBMP;
    case PictureFormat::Gif: return &Gdiplus::ImageFormatGIF;
    case PictureFormat::Tiff: return &Gdiplus::ImageFormatTIFF;
    case PictureFormat::Unknown: break;
    }
    return nullptr;
}

bool EncoderFor(PictureFormat format, CLSID& clsid) {
    const GUID* wanted = FormatGuid(format);
    UINT count = 0, size = 0;
    if (!wanted || GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || !count || !size) return false;
    std::vector<unsigned char> storage(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(storage.data());
    if (GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (IsEqualGUID(codecs[i].FormatID, *wanted)) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

// Copies the picture's pixels into a fresh bitmap of `format` row by row,
// converted as the imaging service reads them out.
Gdiplus::GpBitmap* CopyConverted(Gdiplus::GpBitmap* picture, Gdiplus::PixelFormat format, UINT width,
                                 UINT height) {
    Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData from{};
    if (GdipBitmapLockBits(picture, &all, Gdiplus::ImageLockModeRead, format, &from) != Gdiplus::Ok) return nullptr;
    BitmapOwner copy;
    Gdiplus::BitmapData to{};
    const bool made = GdipCreateBitmapFromScan0(all.Width, all.Height, 0, format, nullptr, &copy.bitmap) ==
                          Gdiplus::Ok &&
                      copy.bitmap &&
                      GdipBitmapLockBits(copy.bitmap, &all, Gdiplus::ImageLockModeWrite, format, &to) == Gdiplus::Ok;
    if (made) {
        const size_t row = static_cast<size_t>(width) * (format == PixelFormat32bppARGB ? 4 : 3);
        for (UINT y = 0; y < height; ++y) {
            std::memcpy(static_cast<unsigned char*>(to.Scan0) + static_cast<ptrdiff_t>(to.Stride) * y,
                        static_cast<const unsigned char*>(from.Scan0) + static_cast<ptrdiff_t>(from.Stride) * y, row);
        }
        GdipBitmapUnlockBits(copy.bitmap, &to);
    }
    GdipBitmapUnlockBits(picture, &from);
    if (!made) return nullptr;
    Gdiplus::GpBitmap* result = copy.bitmap;
    copy.bitmap = nullptr;
    return result;
}

// Not every decoded format converts while locking (indexed GIF frames do
// not here): drawn onto a fresh bitmap instead, over white or clear.
Gdiplus::GpBitmap* CopyDrawn(Gdiplus::GpBitmap* picture, Gdiplus::PixelFormat format, UINT width, UINT height) {
    BitmapOwner copy;
    if (GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height), 0, format, nullptr,
                                  &copy.bitmap) != Gdiplus::Ok ||
        !copy.bitmap) {
        return nullptr;
    }
    GraphicsOwner graphics = GraphicsOnImage(copy.bitmap);
    if (!graphics) return nullptr;
    GdipGraphicsClear(graphics.get(), format == PixelFormat32bppARGB ? 0x00FFFFFF : 0xFFFFFFFF);
    if (GdipDrawImageRectI(graphics.get(), picture, 0, 0, static_cast<INT>(width), static_cast<INT>(height)) !=
        Gdiplus::Ok) {
        return nullptr;
    }
    graphics.reset();
    Gdiplus::GpBitmap* result = copy.bitmap;
    copy.bitmap = nullptr;
    return result;
}

// The picture laid over white, as 24-bit RGB.
Gdiplus::GpBitmap* Flattened(Gdiplus::GpBitmap* picture) {
    BitmapOwner argb(WorkingCopy(picture, true));
    if (!argb.bitmap) return nullptr;
    UINT width = 0, height = 0;
    GdipGetImageWidth(argb.bitmap, &width);
    GdipGetImageHeight(argb.bitmap, &height);
    BitmapOwner flat;
    Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData from{}, to{};
    if (GdipCreateBitmapFromScan0(all.Width, all.Height, 0, PixelFormat24bppRGB, nullptr, &flat.bitmap) !=
            Gdiplus::Ok ||
        !flat.bitmap ||
        GdipBitmapLockBits(argb.bitmap, &all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &from) !=
            Gdiplus::Ok) {
        return nullptr;
    }
    if (GdipBitmapLockBits(flat.bitmap, &all, Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB, &to) != Gdiplus::Ok) {
        GdipBitmapUnlockBits(argb.bitmap, &from);
        return nullptr;
    }
    for (UINT y = 0; y < height; ++y) {
        const unsigned char* s = static_cast<const unsigned char*>(from.Scan0) + static_cast<ptrdiff_t>(from.Stride) * y;
        unsigned char* d = static_cast<unsigned char*>(to.Scan0) + static_cast<ptrdiff_t>(to.Stride) * y;
        for (UINT x = 0; x < width; ++x, s += 4, d += 3) {
            const unsigned a = s[3];
            for (int k = 0; k < 3; ++k) d[k] = static_cast<unsigned char>((s[k] * a + 255 * (255 - a) + 127) / 255);
        }
    }
    GdipBitmapUnlockBits(flat.bitmap, &to);
    GdipBitmapUnlockBits(argb.bitmap, &from);
    Gdiplus::GpBitmap* result = flat.bitmap;
    flat.bitmap = nullptr;
    return result;
}

// GIF holds 256 colours: the picture (24-bit RGB) mapped onto a fixed palette
// of 6 red, 7 green and 6 blue levels, which every encoder takes as it is.
Gdiplus::GpBitmap* Indexed(Gdiplus::GpBitmap* rgb) {
    UINT width = 0, height = 0;
    GdipGetImageWidth(rgb, &width);
    GdipGetImageHeight(rgb, &height);
    constexpr int kRed = 6, kGreen = 7, kBlue = 6;
    std::vector<unsigned char> storage(sizeof(Gdiplus::ColorPalette) + 256 * sizeof(Gdiplus::ARGB));
    auto* palette = reinterpret_cast<Gdiplus::ColorPalette*>(storage.data());
    palette->Flags = 0;
    palette->Count = kRed * kGreen * kBlue;
    for (int r = 0; r < kRed; ++r) {
        for (int g = 0; g < kGreen; ++g) {
            for (int b = 0; b < kBlue; ++b) {
                palette->Entries[(r * kGreen + g) * kBlue + b] =
                    0xFF000000u | ((r * 255 / (kRed - 1)) << 16) | ((g * 255 / (kGreen - 1)) << 8) | (b * 255 / (kBlue - 1));
            }
        }
    }
    BitmapOwner indexed;
    Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData from{}, to{};
    if (GdipCreateBitmapFromScan0(all.Width, all.Height, 0, PixelFormat8bppIndexed, nullptr, &indexed.bitmap) !=
            Gdiplus::Ok ||
        !indexed.bitmap || GdipSetImagePalette(indexed.bitmap, palette) != Gdiplus::Ok ||
        GdipBitmapLockBits(rgb, &all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &from) != Gdiplus::Ok) {
        return nullptr;
    }
    if (GdipBitmapLockBits(indexed.bitmap, &all, Gdiplus::ImageLockModeWrite, PixelFormat8bppIndexed, &to) !=
        Gdiplus::Ok) {
        GdipBitmapUnlockBits(rgb, &from);
        return nullptr;
    }
    auto level = [](unsigned value, int levels) { return (value * (levels - 1) + 127) / 255; };
    for (UINT y = 0; y < height; ++y) {
        const unsigned char* s = static_cast<const unsigned char*>(from.Scan0) + static_cast<ptrdiff_t>(from.Stride) * y;
        unsigned char* d = static_cast<unsigned char*>(to.Scan0) + static_cast<ptrdiff_t>(to.Stride) * y;
        for (UINT x = 0; x < width; ++x, s += 3) {
            d[x] = static_cast<unsigned char>((level(s[2], kRed) * kGreen + level(s[1], kGreen)) * kBlue +
                                              level(s[0], kBlue));
        }
    }
    GdipBitmapUnlockBits(indexed.bitmap, &to);
    GdipBitmapUnlockBits(rgb, &from);
    Gdiplus::GpBitmap* result = indexed.bitmap;
    indexed.bitmap = nullptr;
    return result;
}

Bytes SaveToBytes(Gdiplus::GpBitmap* picture, const CLSID& encoder, const Gdiplus::EncoderParameters* parameters) {
    // A stream that grows by doubling and knows how much was written, even
    // by an encoder that seeks back to fill in a header.
    ComPtr<GrowingStream> stream;
    if (!GrowingStream::Create(stream)) return {};
    if (GdipSaveImageToStream(picture, stream.get(), &encoder, parameters) != Gdiplus::Ok) return {};
    return stream->Take();
}

}  // namespace

PictureFormat FormatOfName(const std::string& path) {
    const std::string extension = LowerExtension(path);
    if (extension == "jpg" || extension == "jpeg") return PictureFormat::Jpeg;
    if (extension == "png") return PictureFormat::Png;
    if (extension == "bmp") return PictureFormat::Bmp;
    if (extension == "gif") return PictureFormat::Gif;
    if (extension == "tif" || extension == "tiff") return PictureFormat::Tiff;
    return PictureFormat::Unknown;
}

PictureFormat FormatOfBytes(const Bytes& b) {
    auto starts = [&](const char* magic, size_t n) { return b.size() >= n && std::memcmp(b.data(), magic, n) == 0; };
    if (starts("\xFF\xD8\xFF", 3)) return PictureFormat::Jpeg;
    if (starts("\x89PNG\r\n\x1A\n", 8)) return PictureFormat::Png;
    if (starts("BM", 2)) return PictureFormat::Bmp;
    if (starts("GIF87a", 6) || starts("GIF89a", 6)) return PictureFormat::Gif;
    if (starts("II*\0", 4) || starts("MM\0*", 4)) return PictureFormat::Tiff;
    return PictureFormat::Unknown;
}

Gdiplus::RotateFlipType UprightTurn(int orientation) {
    switch (orientation) {
    case 2: return Gdiplus::RotateNoneFlipX;
    case 3: return Gdiplus::Rotate180FlipNone;
    case 4: return Gdiplus::RotateNoneFlipY;
    case 5: return Gdiplus::Rotate90FlipX;
    case 6: return Gdiplus::Rotate90FlipNone;
    case 7: return Gdiplus::Rotate270FlipX;
    case 8: return Gdiplus::Rotate270FlipNone;
    default: return Gdiplus::RotateNoneFlipNone;
    }
}

bool HasAlpha(Gdiplus::GpBitmap* picture) {
    Gdiplus::PixelFormat format = 0;
    if (GdipGetImagePixelFormat(picture, &format) != Gdiplus::Ok) return false;
    if (format & PixelFormatAlpha) return true;
    // A palette with a transparent entry (GIF, 8-bit PNG) carries alpha too.
    UINT flags = 0;
    return GdipGetImageFlags(picture, &flags) == Gdiplus::Ok && (flags & Gdiplus::ImageFlagsHasAlpha);
}

Gdiplus::GpBitmap* WorkingCopy(Gdiplus::GpBitmap* picture, bool keepAlpha) {
    UINT width = 0, height = 0;
    if (!picture || GdipGetImageWidth(picture, &width) != Gdiplus::Ok ||
        GdipGetImageHeight(picture, &height) != Gdiplus::Ok || !width || !height) {
        return nullptr;
    }
    const Gdiplus::PixelFormat format = keepAlpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    if (Gdiplus::GpBitmap* copy = CopyConverted(picture, format, width, height)) return copy;
    return CopyDrawn(picture, format, width, height);
}

Bytes EncodePicture(Gdiplus::GpBitmap* picture, PictureFormat format) {
    CLSID encoder{};
    if (!picture || (format != PictureFormat::Jpeg && !EncoderFor(format, encoder))) return {};
    // Only PNG and TIFF hold what is transparent; the rest get white behind it.
    BitmapOwner flat;
    Gdiplus::GpBitmap* source = picture;
    const bool keepsAlpha = format == PictureFormat::Png || format == PictureFormat::Tiff;
    if (!keepsAlpha && (HasAlpha(picture) || format == PictureFormat::Bmp || format == PictureFormat::Gif)) {
        flat.reset(HasAlpha(picture) ? Flattened(picture) : WorkingCopy(picture, false));
        if (!flat.bitmap) return {};
        source = flat.bitmap;
    }
    BitmapOwner indexed;
    if (format == PictureFormat::Gif) {
        indexed.reset(Indexed(source));
        if (!indexed.bitmap) return {};
        source = indexed.bitmap;
    }
    if (format != PictureFormat::Jpeg) return SaveToBytes(source, encoder, nullptr);
    // The program's own encoder: the imaging service's ignores the quality
    // on some systems.
    UINT width = 0, height = 0;
    GdipGetImageWidth(source, &width);
    GdipGetImageHeight(source, &height);
    Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData rows{};
    if (GdipBitmapLockBits(source, &all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &rows) != Gdiplus::Ok) {
        return {};
    }
    Bytes jpeg = EncodeJpeg(static_cast<const unsigned char*>(rows.Scan0), all.Width, all.Height, rows.Stride,
                            static_cast<int>(kJpegQuality));
    GdipBitmapUnlockBits(source, &rows);
    return jpeg;
}

LockedPicture::LockedPicture(const Bytes& fileBytes) : picture_(DecodeBitmap(fileBytes)) {
    UINT width = 0, height = 0;
    if (!picture_.bitmap || GdipGetImageWidth(picture_.bitmap, &width) != Gdiplus::Ok ||
        GdipGetImageHeight(picture_.bitmap, &height) != Gdiplus::Ok) {
        return;
    }
    Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    if (GdipBitmapLockBits(picture_.bitmap, &all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &rows_) !=
        Gdiplus::Ok) {
        // Not every decoded format converts while locking: a 24-bit copy does.
        picture_.reset(WorkingCopy(picture_.bitmap, false));
        if (!picture_.bitmap || GdipBitmapLockBits(picture_.bitmap, &all, Gdiplus::ImageLockModeRead,
                                                   PixelFormat24bppRGB, &rows_) != Gdiplus::Ok) {
            return;
        }
    }
    locked_ = true;
}

LockedPicture::~LockedPicture() {
    if (locked_) GdipBitmapUnlockBits(picture_.bitmap, &rows_);
}

Bytes LockedPicture::Encode(int x, int y, int width, int height, PictureFormat format) const {
    if (!locked_ || x < 0 || y < 0 || width <= 0 || height <= 0 || x > Width() - width || y > Height() - height) {
        return {};
    }
    const unsigned char* first =
        static_cast<const unsigned char*>(rows_.Scan0) + static_cast<ptrdiff_t>(rows_.Stride) * y + 3 * x;
    if (format == PictureFormat::Jpeg) {
        return EncodeJpeg(first, width, height, rows_.Stride, static_cast<int>(kJpegQuality));
    }
    // Other encoders read the rectangle where it lies, through a bitmap over it.
    BitmapOwner region;
    if (GdipCreateBitmapFromScan0(width, height, rows_.Stride, PixelFormat24bppRGB,
                                  const_cast<unsigned char*>(first), &region.bitmap) != Gdiplus::Ok) {
        return {};
    }
    return EncodePicture(region.bitmap, format);
}

}  // namespace varnel

#include "platform/bmp_image.h"

#include <shlwapi.h>

#include <cstring>

#include "platform/gdiplus_flat.h"
#include "platform/exif.h"
#include "platform/gdiplus_handles.h"
#include "platform/handles.h"
#include "platform/jpeg_decoder.h"
#include "platform/picture_codec.h"
#include "platform/picture_header.h"
#include "platform/smooth_scale.h"

namespace varnel {

namespace {
constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;

// The resolution the file states, which the imaging service would report.
void SetJpegResolution(Gdiplus::GpBitmap* picture, const Bytes& fileBytes) {
    double dpiX = 0, dpiY = 0;
    ReadJpegResolution(fileBytes, dpiX, dpiY);
    if (dpiX > 0 && dpiY > 0) {
        Gdiplus::DllExports::GdipBitmapSetResolution(picture, static_cast<float>(dpiX), static_cast<float>(dpiY));
    }
}

// The JPEGs the program's own decoder reads, decoded by it straight into a
// 24-bit picture of the imaging service; null when it declines them.
Gdiplus::GpBitmap* DecodeOwnJpeg(const Bytes& fileBytes) {
    using namespace Gdiplus::DllExports;
    int width = 0, height = 0;
    if (!ReadDecodableJpeg(fileBytes, width, height)) return nullptr;
    BitmapOwner picture;
    if (GdipCreateBitmapFromScan0(width, height, 0, PixelFormat24bppRGB, nullptr, &picture.bitmap) != Gdiplus::Ok ||
        !picture.bitmap) {
        return nullptr;
    }
    Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData rows{};
    if (GdipBitmapLockBits(picture.bitmap, &all, Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB, &rows) !=
        Gdiplus::Ok) {
        return nullptr;
    }
    const bool decoded = DecodeJpeg(fileBytes, static_cast<unsigned char*>(rows.Scan0), rows.Stride);
    GdipBitmapUnlockBits(picture.bitmap, &rows);
    if (!decoded) return nullptr;
    SetJpegResolution(picture.bitmap, fileBytes);
    Gdiplus::GpBitmap* result = picture.bitmap;
    picture.bitmap = nullptr;
    return result;
}

// The same JPEGs decoded once into a 24-bit BMP file image, with a picture
// of the imaging service made over its very pixels; false when the own
// decoder declines them or the picture must be turned upright.
bool DecodeOwnJpegToBmp24(const Bytes& fileBytes, Bytes& bmp, BitmapOwner& picture, Cores cores) {
    int width = 0, height = 0;
    if (!ClaimFitsLimit(fileBytes) || !ReadDecodableJpeg(fileBytes, width, height) ||
        UprightTurn(ReadJpegOrientation(fileBytes)) != Gdiplus::RotateNoneFlipNone) {
        return false;
    }
    Bytes made = MakeBmp24(width, height, nullptr, 0);
    BmpHeader header;
    if (!IsWholeBmp24(made, &header)) return false;
    unsigned char* top = BmpTopRow(made, header);
    const int stride = -static_cast<int>(header.stride);
    if (!DecodeJpeg(fileBytes, top, stride, cores)) return false;
    Gdiplus::GpBitmap* over = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(width, height, stride, PixelFormat24bppRGB, top, &over) !=
            Gdiplus::Ok ||
        !over) {
        return false;
    }
    picture.reset(over);
    SetJpegResolution(over, fileBytes);
    // Swapping hands the buffer over whole: the picture's pixels stay where they are.
    bmp.swap(made);
    return true;
}

}  // namespace

Gdiplus::GpBitmap* DecodeBitmap(const Bytes& fileBytes) {
    using namespace Gdiplus::DllExports;
    if (fileBytes.empty() || fileBytes.size() > 0x7FFFFFFF) return nullptr;
    // The decoder allocates for the size the header claims, however few
    // pixels follow it: a claim too large is refused before it decodes.
    if (!ClaimFitsLimit(fileBytes)) return nullptr;
    Gdiplus::GpBitmap* bitmap = DecodeOwnJpeg(fileBytes);
    if (!bitmap) {
        ComPtr<IStream> stream;
        *stream.put() = SHCreateMemStream(fileBytes.data(), static_cast<UINT>(fileBytes.size()));
        if (!stream) return nullptr;
        if (GdipCreateBitmapFromStream(stream.get(), &bitmap) != Gdiplus::Ok || !bitmap) return nullptr;
    }
    BitmapOwner owner(bitmap);
    UINT width = 0, height = 0;
    GdipGetImageWidth(bitmap, &width);
    GdipGetImageHeight(bitmap, &height);
    if (width == 0 || height == 0 || static_cast<long long>(width) * height > kMaxPicturePixels) return nullptr;
    // A photo stored sideways says so in its metadata; everything the
    // program does with it works on it upright.
    const Gdiplus::RotateFlipType turn = UprightTurn(ReadJpegOrientation(fileBytes));
    if (turn != Gdiplus::RotateNoneFlipNone && GdipImageRotateFlip(bitmap, turn) != Gdiplus::Ok) return nullptr;
    owner.bitmap = nullptr;
    return bitmap;
}

Bytes BitmapToBmp24(Gdiplus::GpBitmap* bitmap) {
    using namespace Gdiplus::DllExports;
    UINT width = 0, height = 0;
    GdipGetImageWidth(bitmap, &width);
    GdipGetImageHeight(bitmap, &height);
    Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data{};
    Gdiplus::GpBitmap* locked = bitmap;
    BitmapOwner redrawn;
    if (GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &data) != Gdiplus::Ok) {
        // Not every decoded format converts while locking (indexed GIF
        // frames do not here): draw it onto a 24-bit bitmap instead.
        if (GdipCreateBitmapFromScan0(all.Width, all.Height, 0, PixelFormat24bppRGB, nullptr, &redrawn.bitmap) !=
                Gdiplus::Ok ||
            !redrawn.bitmap) {
            return {};
        }
        {
            GraphicsOwner graphics = GraphicsOnImage(redrawn.bitmap);
            if (!graphics) return {};
            GdipGraphicsClear(graphics.get(), 0xFFFFFFFF);
            GdipDrawImageRectI(graphics.get(), bitmap, 0, 0, all.Width, all.Height);
        }  // the drawing is complete once its graphics is gone
        locked = redrawn.bitmap;
        if (GdipBitmapLockBits(locked, &all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &data) != Gdiplus::Ok) {
            return {};
        }
    }
    // The locked rows run top-down; a BMP file stores them bottom-up.
    size_t stride = BmpStride24(static_cast<int>(width));
    Bytes bmp = MakeBmp24(static_cast<int>(width), static_cast<int>(height), nullptr, 0);
    unsigned char* pixels = bmp.data() + kFileHeaderSize + kInfoHeaderSize;
    const unsigned char* source = static_cast<const unsigned char*>(data.Scan0);
    for (UINT y = 0; y < height; ++y) {
        std::memcpy(pixels + stride * (height - 1 - y), source + static_cast<ptrdiff_t>(data.Stride) * y,
                    static_cast<size_t>(width) * 3);
    }
    GdipBitmapUnlockBits(locked, &data);
    return bmp;
}

Bytes DecodePictureToBmp24(const Bytes& fileBytes) {
    BitmapOwner picture(DecodeBitmap(fileBytes));
    return picture.bitmap ? BitmapToBmp24(picture.bitmap) : Bytes();
}

bool DecodeBmp24AndBitmap(const Bytes& fileBytes, Bytes& bmp, BitmapOwner& picture, Cores cores) {
    picture.reset();
    bmp.clear();
    if (DecodeOwnJpegToBmp24(fileBytes, bmp, picture, cores)) return true;
    picture.reset(DecodeBitmap(fileBytes));
    if (picture.bitmap) bmp = BitmapToBmp24(picture.bitmap);
    if (bmp.empty()) picture.reset();
    return !bmp.empty();
}

Bytes SnapshotToBmp24(HDC source, int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                      int width, int height) {
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMaxPicturePixels) return {};
    if (width != sourceWidth || height != sourceHeight) {
        // Taken at the source's own size, then scaled as the panel is drawn.
        return ScaleBmp24(SnapshotToBmp24(source, sourceX, sourceY, sourceWidth, sourceHeight, sourceWidth,
                                          sourceHeight),
                          width, height);
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom-up, as the file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Bitmap section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || !bits) return {};
    MemoryDc dc(CreateCompatibleDC(source));
    if (!dc) return {};
    {
        SelectScope select(dc.get(), section.get());
        BitBlt(dc.get(), 0, 0, width, height, source, sourceX, sourceY, SRCCOPY);
    }
    GdiFlush();
    return MakeBmp24(width, height, static_cast<const unsigned char*>(bits), BmpStride24(width));
}

// The panel's steps: the picture stretched over all of its backing is the
// picture scaled to the backing's size, which no fill shows through; taking
// the backing back scales that. Done without a bitmap of the display's kind,
// whose drawing and reading back cost as much again on some systems.
void SnapshotOfStretchedPicture(const Bytes& picture, int backingWidth, int backingHeight, int width, int height,
                                Bytes& into, CoreShare cores) {
    if (width == backingWidth && height == backingHeight) {
        ScaleBmp24Into(picture, width, height, into, cores);
        return;
    }
    const Bytes laid = ScaleBmp24(picture, backingWidth, backingHeight, cores);
    if (laid.empty()) {
        into.clear();
        return;
    }
    ScaleBmp24Into(laid, width, height, into, cores);
}

}  // namespace varnel

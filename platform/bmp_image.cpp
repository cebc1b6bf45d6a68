#include "platform/bmp_image.h"

#include <shlwapi.h>

#include <cstring>

#include "platform/gdiplus_flat.h"
#include "platform/handles.h"

namespace varnel {

namespace {

uint32_t Read32(const Bytes& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t Read16(const Bytes& b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}
void Write32(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;

}  // namespace

size_t BmpStride24(int width) { return static_cast<size_t>(width) * 3 + (static_cast<size_t>(width) & 3); }

bool ReadBmpHeader(const Bytes& bmp, BmpHeader& header) {
    if (bmp.size() < kFileHeaderSize + kInfoHeaderSize) return false;
    header.offBits = Read16(bmp, 10);
    header.width = static_cast<int32_t>(Read32(bmp, 18));
    header.height = static_cast<int32_t>(Read32(bmp, 22));
    header.bitCount = Read16(bmp, 28);
    header.stride = header.width > 0 ? BmpStride24(header.width) : 0;
    return true;
}

bool IsWholeBmp24(const Bytes& bmp, BmpHeader* out) {
    BmpHeader header;
    if (!ReadBmpHeader(bmp, header)) return false;
    if (header.bitCount != 24 || header.width <= 0 || header.height <= 0) return false;
    if (static_cast<long long>(header.width) * header.height > kMaxPicturePixels) return false;
    unsigned long long end = static_cast<unsigned long long>(header.offBits) +
                             static_cast<unsigned long long>(header.stride) * static_cast<unsigned>(header.height);
    if (header.offBits < static_cast<int>(kFileHeaderSize + kInfoHeaderSize) || end > bmp.size()) return false;
    if (out) *out = header;
    return true;
}

Bytes MakeBmp24(int width, int height, const unsigned char* rows, size_t rowStride) {
    size_t stride = BmpStride24(width);
    size_t pixelBytes = stride * static_cast<size_t>(height);
    Bytes bmp(kFileHeaderSize + kInfoHeaderSize + pixelBytes, 0);
    unsigned char* p = bmp.data();
    p[0] = 'B';
    p[1] = 'M';
    Write32(p + 2, static_cast<uint32_t>(bmp.size()));
    Write32(p + 10, kFileHeaderSize + kInfoHeaderSize);
    Write32(p + 14, kInfoHeaderSize);
    Write32(p + 18, static_cast<uint32_t>(width));
    Write32(p + 22, static_cast<uint32_t>(height));
    p[26] = 1;
    p[28] = 24;
    Write32(p + 34, static_cast<uint32_t>(pixelBytes));
    Write32(p + 38, 2835);  // 72 dpi
    Write32(p + 42, 2835);
    if (rows) {
        for (int y = 0; y < height; ++y) {
            std::memcpy(p + kFileHeaderSize + kInfoHeaderSize + stride * y, rows + rowStride * y,
                        static_cast<size_t>(width) * 3);
        }
    }
    return bmp;
}

Bytes DecodePictureToBmp24(const Bytes& fileBytes) {
    using namespace Gdiplus::DllExports;
    if (fileBytes.empty() || fileBytes.size() > 0x7FFFFFFF) return {};
    ComPtr<IStream> stream;
    *stream.put() = SHCreateMemStream(fileBytes.data(), static_cast<UINT>(fileBytes.size()));
    if (!stream) return {};
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromStream(stream.get(), &bitmap) != Gdiplus::Ok || !bitmap) return {};
    struct BitmapOwner {
        Gdiplus::GpBitmap* b;
        ~BitmapOwner() {
            if (b) GdipDisposeImage(b);
        }
    } owner{bitmap};

    UINT width = 0, height = 0;
    GdipGetImageWidth(bitmap, &width);
    GdipGetImageHeight(bitmap, &height);
    if (width == 0 || height == 0 || static_cast<long long>(width) * height > kMaxPicturePixels) return {};

    Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data{};
    Gdiplus::GpBitmap* locked = bitmap;
    BitmapOwner redrawn{nullptr};
    if (GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &data) != Gdiplus::Ok) {
        // Not every decoded format converts while locking (indexed GIF
        // frames do not here): draw it onto a 24-bit bitmap instead.
        if (GdipCreateBitmapFromScan0(all.Width, all.Height, 0, PixelFormat24bppRGB, nullptr, &redrawn.b) !=
                Gdiplus::Ok ||
            !redrawn.b) {
            return {};
        }
        Gdiplus::GpGraphics* graphics = nullptr;
        if (GdipGetImageGraphicsContext(redrawn.b, &graphics) != Gdiplus::Ok) return {};
        GdipGraphicsClear(graphics, 0xFFFFFFFF);
        GdipDrawImageRectI(graphics, bitmap, 0, 0, all.Width, all.Height);
        GdipDeleteGraphics(graphics);
        locked = redrawn.b;
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

bool DrawBmpStretched(HDC dc, const Bytes& bmp, int x, int y, int width, int height) {
    BmpHeader header;
    if (!IsWholeBmp24(bmp, &header)) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = header.width;
    info.bmiHeader.biHeight = header.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    int previousMode = SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    int lines = StretchDIBits(dc, x, y, width, height, 0, 0, header.width, header.height,
                              bmp.data() + header.offBits, &info, DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(dc, previousMode);
    return lines != 0;
}

Bytes SnapshotToBmp24(HDC source, int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                      int width, int height) {
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMaxPicturePixels) return {};
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
        int previousMode = SetStretchBltMode(dc.get(), HALFTONE);
        SetBrushOrgEx(dc.get(), 0, 0, nullptr);
        StretchBlt(dc.get(), 0, 0, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, SRCCOPY);
        SetStretchBltMode(dc.get(), previousMode);
    }
    GdiFlush();
    return MakeBmp24(width, height, static_cast<const unsigned char*>(bits), BmpStride24(width));
}

}  // namespace varnel

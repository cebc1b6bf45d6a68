#pragma once
// BMP file images: the interchange format of the draw panel and picture boxes.
// 24 bits per pixel, bottom-up rows padded to four bytes.
#include <windows.h>

#include "platform/bytes.h"

namespace varnel {

// Pictures above this many pixels are refused as if they were no picture:
// decoding them would not fit the 32-bit program's memory.
constexpr long long kMaxPicturePixels = 40LL * 1000 * 1000;

struct BmpHeader {
    int offBits = 0;
    int width = 0;
    int height = 0;
    int bitCount = 0;
    size_t stride = 0;  // bytes per row, for 24-bit images
};

// Reads the file header fields; false when the bytes are too short to hold them.
bool ReadBmpHeader(const Bytes& bmp, BmpHeader& header);

// True when the header is a 24-bit bottom-up image whose pixel rows all lie
// inside the buffer.
bool IsWholeBmp24(const Bytes& bmp, BmpHeader* header = nullptr);

size_t BmpStride24(int width);

// A BMP file image around bottom-up rows of the given stride.
Bytes MakeBmp24(int width, int height, const unsigned char* rows, size_t rowStride);

// Any picture file (JPEG, PNG, BMP, GIF, TIFF) as a 24-bit BMP file image;
// empty when the bytes are no picture or too large a one.
Bytes DecodePictureToBmp24(const Bytes& fileBytes);

// Draws a 24-bit BMP file image scaled into the rectangle; false when the
// image is not whole.
bool DrawBmpStretched(HDC dc, const Bytes& bmp, int x, int y, int width, int height);

// The source rectangle of a device context scaled to width x height.
Bytes SnapshotToBmp24(HDC source, int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                      int width, int height);

}  // namespace varnel

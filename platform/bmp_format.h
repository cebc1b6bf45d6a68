#pragma once
// The BMP file image layout, read and written without any platform service,
// so the parsing of untrusted bytes can be checked on its own.
#include <cstddef>
#include <cstdint>

#include "platform/bytes.h"

namespace varnel {

// Pictures above this many pixels are refused as if they were no picture:
// decoding them would not fit the 32-bit program's memory (it may use 4 GB
// on a 64-bit system). A 61-megapixel camera's photo still fits.
constexpr long long kMaxPicturePixels = 64LL * 1000 * 1000;

// Pictures above this many pixels are shown and worked on, but no copy of
// them is kept for reuse: a few such copies would crowd the 32-bit
// program's memory.
constexpr long long kMaxKeptPicturePixels = 16LL * 1000 * 1000;

// True when a picture of this size may be kept for reuse.
inline bool MayKeepPicture(long long width, long long height) {
    return width > 0 && height > 0 && width * height <= kMaxKeptPicturePixels;
}

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

// The top row of a whole 24-bit BMP file image (`header` read from it),
// which stores its rows bottom-up: the last in the buffer, the next one
// `header.stride` bytes before it.
inline const unsigned char* BmpTopRow(const Bytes& bmp, const BmpHeader& header) {
    return bmp.data() + header.offBits + header.stride * static_cast<size_t>(header.height - 1);
}
inline unsigned char* BmpTopRow(Bytes& bmp, const BmpHeader& header) {
    return const_cast<unsigned char*>(BmpTopRow(static_cast<const Bytes&>(bmp), header));
}

// Rows of a 24-bit image are padded to four bytes.
size_t BmpStride24(int width);

// A BMP file image around bottom-up rows of the given stride; rows may be
// null for a zero-filled image.
Bytes MakeBmp24(int width, int height, const unsigned char* rows, size_t rowStride);

// Makes `bmp` a width x height 24-bit BMP file image in its own room, for
// its pixels to be written: fresh memory costs more to touch than rows
// written over. Its pixels stay as they were when it held an image of that
// size (the rows' padding cleared), and are cleared otherwise. False, and
// `bmp` empty, for a size MakeBmp24 refuses.
bool ReshapeBmp24(Bytes& bmp, int width, int height);

}  // namespace varnel

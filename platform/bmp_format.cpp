#include "platform/bmp_format.h"

#include <cstring>

namespace varnel {

namespace {

uint32_t Read32(const Bytes& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t Read16(const Bytes& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }
void Write32(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;

void WriteBmp24Headers(Bytes& bmp, int width, int height, size_t pixelBytes) {
    unsigned char* p = bmp.data();
    std::memset(p, 0, kFileHeaderSize + kInfoHeaderSize);
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
    Write32(p + 38, 2835);  // 72 dots per inch
    Write32(p + 42, 2835);
}

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
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMaxPicturePixels) return {};
    size_t stride = BmpStride24(width);
    size_t pixelBytes = stride * static_cast<size_t>(height);
    Bytes bmp(kFileHeaderSize + kInfoHeaderSize + pixelBytes, 0);
    WriteBmp24Headers(bmp, width, height, pixelBytes);
    unsigned char* p = bmp.data();
    if (rows) {
        for (int y = 0; y < height; ++y) {
            std::memcpy(p + kFileHeaderSize + kInfoHeaderSize + stride * static_cast<size_t>(y),
                        rows + rowStride * static_cast<size_t>(y), static_cast<size_t>(width) * 3);
        }
    }
    return bmp;
}

bool ReshapeBmp24(Bytes& bmp, int width, int height) {
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMaxPicturePixels) {
        bmp.clear();
        return false;
    }
    const size_t stride = BmpStride24(width), pixelBytes = stride * static_cast<size_t>(height);
    BmpHeader held;
    if (!IsWholeBmp24(bmp, &held) || held.width != width || held.height != height ||
        held.offBits != kFileHeaderSize + kInfoHeaderSize || bmp.size() != held.offBits + pixelBytes) {
        bmp.assign(kFileHeaderSize + kInfoHeaderSize + pixelBytes, 0);
    } else {
        // Only the pixels are written over.
        const size_t used = static_cast<size_t>(width) * 3;
        for (int y = 0; y < height; ++y) {
            std::memset(bmp.data() + held.offBits + stride * static_cast<size_t>(y) + used, 0, stride - used);
        }
    }
    WriteBmp24Headers(bmp, width, height, pixelBytes);
    return true;
}

}  // namespace varnel

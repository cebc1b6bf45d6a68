#include "platform/picture_header.h"

#include <cstdint>
#include <cstring>

#include "platform/bmp_format.h"

namespace varnel {

namespace {

// Bounds-checked reads: a field past the end reads as absent.
struct Reader {
    const unsigned char* data;
    size_t size;

    bool Has(size_t at, size_t count) const { return at <= size && count <= size - at; }
    bool U8(size_t at, uint32_t& v) const {
        if (!Has(at, 1)) return false;
        v = data[at];
        return true;
    }
    bool U16(size_t at, bool little, uint32_t& v) const {
        if (!Has(at, 2)) return false;
        v = little ? data[at] | (data[at + 1] << 8) : (data[at] << 8) | data[at + 1];
        return true;
    }
    bool U32(size_t at, bool little, uint32_t& v) const {
        if (!Has(at, 4)) return false;
        uint32_t a = data[at], b = data[at + 1], c = data[at + 2], d = data[at + 3];
        v = little ? a | b << 8 | c << 16 | d << 24 : a << 24 | b << 16 | c << 8 | d;
        return true;
    }
    bool Starts(size_t at, const char* text, size_t count) const {
        return Has(at, count) && std::memcmp(data + at, text, count) == 0;
    }
};

// Dimensions past 2^31 are refused anyway; capping them keeps the product
// inside 64 bits.
constexpr long long kCap = 1LL << 31;

void Claim(ClaimedSize& claim, long long width, long long height) {
    if (width < 0) width = -width;
    if (height < 0) height = -height;
    if (width > kCap) width = kCap;
    if (height > kCap) height = kCap;
    claim.known = true;
    if (width * height >= claim.width * claim.height) {
        claim.width = width;
        claim.height = height;
    }
}

bool IsJpegFrameMarker(uint32_t m) { return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC; }

// Every frame header up to the first scan or the end: markers and their
// lengths, the lengths checked against the bytes left.
void ReadJpeg(const Reader& r, ClaimedSize& claim) {
    claim.known = true;
    size_t at = 2;
    for (;;) {
        uint32_t byte = 0;
        if (!r.U8(at, byte) || byte != 0xFF) return;
        while (r.U8(at, byte) && byte == 0xFF) ++at;  // fill bytes before a marker
        if (!r.U8(at, byte)) return;
        const uint32_t marker = byte;
        ++at;
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
        uint32_t length = 0;
        if (marker == 0xD9 || marker == 0xDA || !r.U16(at, false, length) || length < 2) return;
        uint32_t height = 0, width = 0;
        if (IsJpegFrameMarker(marker) && r.U16(at + 3, false, height) && r.U16(at + 5, false, width)) {
            Claim(claim, width, height);
        }
        if (!r.Has(at, length)) return;
        at += length;
    }
}

void ReadPng(const Reader& r, ClaimedSize& claim) {
    claim.known = true;
    uint32_t width = 0, height = 0;
    if (r.Starts(12, "IHDR", 4) && r.U32(16, false, width) && r.U32(20, false, height)) Claim(claim, width, height);
}

// A colour table's length from a GIF's packed flags.
size_t GifTable(uint32_t flags) { return (flags & 0x80) ? 3u << ((flags & 7) + 1) : 0; }

// Sub-blocks up to their terminator; npos when the bytes end first.
size_t SkipGifBlocks(const Reader& r, size_t at) {
    uint32_t count = 0;
    while (r.U8(at, count)) {
        if (count == 0) return at + 1;
        at += 1 + count;
    }
    return static_cast<size_t>(-1);
}

void ReadGif(const Reader& r, ClaimedSize& claim) {
    claim.known = true;
    uint32_t width = 0, height = 0, flags = 0;
    if (!r.U16(6, true, width) || !r.U16(8, true, height) || !r.U8(10, flags)) return;
    Claim(claim, width, height);
    size_t at = 13 + GifTable(flags);
    uint32_t kind = 0;
    while (r.U8(at, kind)) {
        if (kind == 0x21) {  // extension: label, then sub-blocks
            at = SkipGifBlocks(r, at + 2);
        } else if (kind == 0x2C) {  // a frame, placed on the screen
            uint32_t left = 0, top = 0, frameFlags = 0;
            if (!r.U16(at + 1, true, left) || !r.U16(at + 3, true, top) || !r.U16(at + 5, true, width) ||
                !r.U16(at + 7, true, height) || !r.U8(at + 9, frameFlags)) {
                return;
            }
            Claim(claim, static_cast<long long>(left) + width, static_cast<long long>(top) + height);
            at = SkipGifBlocks(r, at + 10 + GifTable(frameFlags) + 1);  // past the code size
        } else {
            return;  // the trailer, or bytes no decoder reads further
        }
        if (at == static_cast<size_t>(-1)) return;
    }
}

// An info header without the file header, as a BMP file and an icon hold it.
void ReadBmpInfo(const Reader& r, size_t at, ClaimedSize& claim) {
    uint32_t headerSize = 0, width = 0, height = 0;
    if (!r.U32(at, true, headerSize)) return;
    if (headerSize == 12) {
        if (r.U16(at + 4, true, width) && r.U16(at + 6, true, height)) Claim(claim, width, height);
    } else if (r.U32(at + 4, true, width) && r.U32(at + 8, true, height)) {
        Claim(claim, static_cast<int32_t>(width), static_cast<int32_t>(height));
    }
}

// Where each strip starts, as the strip offsets entry gives them: one in the
// entry itself, more in a list it points to.
bool TiffStripsInside(const Reader& r, bool little, size_t entry, uint32_t type, uint32_t count) {
    const size_t size = type == 3 ? 2 : 4;
    if ((type != 3 && type != 4) || count == 0) return true;
    size_t at = entry + 8;
    if (static_cast<size_t>(count) * size > 4) {
        uint32_t list = 0;
        if (!r.U32(at, little, list) || !r.Has(list, static_cast<size_t>(count) * size)) return false;
        at = list;
    }
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t offset = 0;
        const bool read = size == 2 ? r.U16(at + i * size, little, offset) : r.U32(at + i * size, little, offset);
        if (!read || offset >= r.size) return false;
    }
    return true;
}

void ReadTiff(const Reader& r, bool little, ClaimedSize& claim) {
    claim.known = true;
    uint32_t directory = 0, count = 0;
    if (!r.U32(4, little, directory)) return;
    if (!r.U16(directory, little, count) || !r.Has(directory + 2, static_cast<size_t>(count) * 12)) {
        claim.readsPastEnd = true;
        return;
    }
    long long width = 0, height = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t entry = directory + 2 + static_cast<size_t>(i) * 12;
        uint32_t tag = 0, type = 0, value = 0, values = 0;
        if (!r.U16(entry, little, tag) || !r.U16(entry + 2, little, type) || !r.U32(entry + 4, little, values)) break;
        if (tag == 273 && !TiffStripsInside(r, little, entry, type, values)) claim.readsPastEnd = true;
        if (tag != 256 && tag != 257) continue;
        const bool ok = type == 3 ? r.U16(entry + 8, little, value) : type == 4 && r.U32(entry + 8, little, value);
        if (!ok) continue;
        (tag == 256 ? width : height) = value;
    }
    Claim(claim, width, height);
}

void ReadIcon(const Reader& r, ClaimedSize& claim) {
    uint32_t count = 0;
    if (!r.U16(4, true, count) || count == 0 || !r.Has(6, static_cast<size_t>(count) * 16)) return;
    claim.known = true;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t entry = 6 + static_cast<size_t>(i) * 16;
        uint32_t width = 0, height = 0, offset = 0;
        r.U8(entry, width);
        r.U8(entry + 1, height);
        Claim(claim, width ? width : 256, height ? height : 256);  // 0 stands for 256
        // The picture inside claims a size of its own, which is what is decoded.
        if (!r.U32(entry + 12, true, offset)) continue;
        if (r.Starts(offset, "\x89PNG\r\n\x1A\n", 8)) {
            ReadPng(Reader{r.data + offset, r.size - offset}, claim);
        } else {
            ReadBmpInfo(r, offset, claim);
        }
    }
}

}  // namespace

ClaimedSize ReadClaimedSize(const unsigned char* data, size_t size) {
    const Reader r{data, size};
    ClaimedSize claim;
    if (r.Starts(0, "\xFF\xD8", 2)) {
        ReadJpeg(r, claim);
    } else if (r.Starts(0, "\x89PNG\r\n\x1A\n", 8)) {
        ReadPng(r, claim);
    } else if (r.Starts(0, "GIF87a", 6) || r.Starts(0, "GIF89a", 6)) {
        ReadGif(r, claim);
    } else if (r.Starts(0, "BM", 2)) {
        claim.known = true;
        uint32_t pixels = 0;
        claim.readsPastEnd = r.U32(10, true, pixels) && pixels >= size;
        ReadBmpInfo(r, 14, claim);
    } else if (r.Starts(0, "II*\0", 4) || r.Starts(0, "MM\0*", 4)) {
        ReadTiff(r, r.data[0] == 'I', claim);
    } else if (r.Starts(0, "\0\0\1\0", 4) || r.Starts(0, "\0\0\2\0", 4)) {
        ReadIcon(r, claim);
    }
    return claim;
}

bool ClaimFitsLimit(const unsigned char* data, size_t size) {
    const ClaimedSize claim = ReadClaimedSize(data, size);
    return !claim.readsPastEnd && claim.width * claim.height <= kMaxPicturePixels;
}

}  // namespace varnel

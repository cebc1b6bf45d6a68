#include "platform/exif.h"

#include <cstring>
#include <vector>

namespace varnel {

namespace {

constexpr unsigned char kMarker = 0xFF;
constexpr unsigned char kStartOfImage = 0xD8;
constexpr unsigned char kStartOfScan = 0xDA;
constexpr unsigned char kApp0 = 0xE0;
constexpr unsigned char kApp1 = 0xE1;
constexpr unsigned char kApp15 = 0xEF;
constexpr unsigned kOrientationTag = 0x0112;

// One marker segment: where it starts (its 0xFF) and its whole length.
struct Segment {
    unsigned char marker = 0;
    size_t at = 0;
    size_t size = 0;
};

bool IsJpeg(const Bytes& b) { return b.size() >= 4 && b[0] == kMarker && b[1] == kStartOfImage; }

// The segments before the image data; stops at the first that does not fit.
std::vector<Segment> HeaderSegments(const Bytes& b) {
    std::vector<Segment> segments;
    size_t at = 2;
    while (at + 4 <= b.size() && b[at] == kMarker) {
        const unsigned char marker = b[at + 1];
        if (marker == kStartOfScan || marker == 0xD9) break;
        const size_t length = (static_cast<size_t>(b[at + 2]) << 8) | b[at + 3];
        if (length < 2 || at + 2 + length > b.size()) break;
        segments.push_back(Segment{marker, at, 2 + length});
        at += 2 + length;
    }
    return segments;
}

// An EXIF block (from its "Exif\0\0") inside an APP1 segment.
struct ExifBlock {
    size_t tiff = 0;  // where the TIFF header starts
    size_t end = 0;   // one past the segment
    bool bigEndian = false;
};

bool FindExif(const Bytes& b, const Segment& s, ExifBlock& exif) {
    const size_t data = s.at + 4;
    if (s.marker != kApp1 || s.size < 4 + 6 + 8 || std::memcmp(&b[data], "Exif\0\0", 6) != 0) return false;
    exif.tiff = data + 6;
    exif.end = s.at + s.size;
    if (b[exif.tiff] == 'M' && b[exif.tiff + 1] == 'M') {
        exif.bigEndian = true;
    } else if (!(b[exif.tiff] == 'I' && b[exif.tiff + 1] == 'I')) {
        return false;
    }
    return true;
}

unsigned Read16(const Bytes& b, size_t at, bool bigEndian) {
    return bigEndian ? (b[at] << 8) | b[at + 1] : b[at] | (b[at + 1] << 8);
}

unsigned long Read32(const Bytes& b, size_t at, bool bigEndian) {
    return bigEndian ? (static_cast<unsigned long>(Read16(b, at, true)) << 16) | Read16(b, at + 2, true)
                     : Read16(b, at, false) | (static_cast<unsigned long>(Read16(b, at + 2, false)) << 16);
}

// Where the orientation's value lies in the first directory; 0 when none.
size_t OrientationAt(const Bytes& b, const ExifBlock& exif) {
    const unsigned long directory = Read32(b, exif.tiff + 4, exif.bigEndian);
    if (directory > exif.end - exif.tiff || exif.end - exif.tiff - directory < 2) return 0;
    const size_t first = exif.tiff + directory;
    const unsigned count = Read16(b, first, exif.bigEndian);
    for (unsigned i = 0; i < count; ++i) {
        const size_t entry = first + 2 + static_cast<size_t>(i) * 12;
        if (entry + 12 > exif.end) return 0;
        // A SHORT (type 3), one of it: the value sits in the entry itself.
        if (Read16(b, entry, exif.bigEndian) == kOrientationTag && Read16(b, entry + 2, exif.bigEndian) == 3) {
            return entry + 8;
        }
    }
    return 0;
}

}  // namespace

int ReadJpegOrientation(const Bytes& jpeg) {
    if (!IsJpeg(jpeg)) return 1;
    for (const Segment& s : HeaderSegments(jpeg)) {
        ExifBlock exif;
        if (!FindExif(jpeg, s, exif)) continue;
        const size_t at = OrientationAt(jpeg, exif);
        if (!at) return 1;
        const unsigned value = Read16(jpeg, at, exif.bigEndian);
        return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
    }
    return 1;
}

Bytes WithMetadataOf(const Bytes& encoded, const Bytes& source) {
    if (!IsJpeg(encoded) || !IsJpeg(source)) return encoded;
    Bytes kept;
    for (const Segment& s : HeaderSegments(source)) {
        // APP0 is the encoder's own header, written anew.
        if (s.marker <= kApp0 || s.marker > kApp15) continue;
        const size_t start = kept.size();
        kept.insert(kept.end(), source.begin() + static_cast<std::ptrdiff_t>(s.at),
                    source.begin() + static_cast<std::ptrdiff_t>(s.at + s.size));
        ExifBlock exif;
        if (!FindExif(source, s, exif)) continue;
        if (const size_t at = OrientationAt(source, exif)) {
            const size_t value = start + (at - s.at);
            kept[value] = exif.bigEndian ? 0 : 1;
            kept[value + 1] = exif.bigEndian ? 1 : 0;
        }
    }
    if (kept.empty()) return encoded;
    // After the encoder's SOI and, when it wrote one, its APP0.
    size_t insertAt = 2;
    std::vector<Segment> own = HeaderSegments(encoded);
    if (!own.empty() && own.front().marker == kApp0) insertAt = own.front().at + own.front().size;
    Bytes result;
    result.reserve(encoded.size() + kept.size());
    result.insert(result.end(), encoded.begin(), encoded.begin() + static_cast<std::ptrdiff_t>(insertAt));
    result.insert(result.end(), kept.begin(), kept.end());
    result.insert(result.end(), encoded.begin() + static_cast<std::ptrdiff_t>(insertAt), encoded.end());
    return result;
}

}  // namespace varnel

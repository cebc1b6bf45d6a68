#include "platform/jpeg_encoder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/jpeg_block_quantiser.h"
#include "platform/jpeg_zigzag.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#ifdef _WIN32
#include <windows.h>
#endif

namespace varnel {

namespace {

// The example tables of the JPEG standard, in natural (row by row) order.
constexpr uint8_t kLuminance[64] = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,  14, 13, 16, 24, 40,  57,
    69, 56, 14, 17, 22, 29,  51,  87,  80, 62, 18, 22, 37, 56,  68,  109, 103, 77, 24, 35, 55, 64,
    81, 104, 113, 92, 49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr uint8_t kChrominance[64] = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

// The standard's Huffman tables: code counts per length 1..16, then values.
struct HuffmanTable {
    uint8_t counts[16];
    std::vector<uint8_t> values;
};

const HuffmanTable kDcLuminance{{0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0},
                               {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}};
const HuffmanTable kDcChrominance{{0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0},
                                 {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}};
const HuffmanTable kAcLuminance{
    {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d},
    {0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61, 0x07, 0x22, 0x71,
     0x14, 0x32, 0x81, 0x91, 0xa1, 0x08, 0x23, 0x42, 0xb1, 0xc1, 0x15, 0x52, 0xd1, 0xf0, 0x24, 0x33, 0x62, 0x72,
     0x82, 0x09, 0x0a, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x34, 0x35, 0x36, 0x37,
     0x38, 0x39, 0x3a, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59,
     0x5a, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a, 0x83,
     0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9a, 0xa2, 0xa3,
     0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3,
     0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe1, 0xe2,
     0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8, 0xe9, 0xea, 0xf1, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa}};
const HuffmanTable kAcChrominance{
    {0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77},
    {0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61, 0x71, 0x13, 0x22,
     0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xa1, 0xb1, 0xc1, 0x09, 0x23, 0x33, 0x52, 0xf0, 0x15, 0x62, 0x72, 0xd1,
     0x0a, 0x16, 0x24, 0x34, 0xe1, 0x25, 0xf1, 0x17, 0x18, 0x19, 0x1a, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x35, 0x36,
     0x37, 0x38, 0x39, 0x3a, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58,
     0x59, 0x5a, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a,
     0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9a,
     0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba,
     0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda,
     0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8, 0xe9, 0xea, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa}};

// Code and length of every symbol of a table.
struct HuffmanCodes {
    uint16_t code[256] = {};
    uint8_t length[256] = {};
    explicit HuffmanCodes(const HuffmanTable& table) {
        unsigned next = 0;
        size_t k = 0;
        for (int bits = 1; bits <= 16; ++bits) {
            for (int i = 0; i < table.counts[bits - 1]; ++i, ++k) {
                code[table.values[k]] = static_cast<uint16_t>(next++);
                length[table.values[k]] = static_cast<uint8_t>(bits);
            }
            next <<= 1;
        }
    }
};

// The bits not yet written and where their bytes go; the caller keeps room
// for them. Passed by value, so that its state stays in registers while the
// bytes are stored.
struct BitWriter {
    unsigned char* next = nullptr;
    uint64_t buffer = 0;
    int filled = 0;

    // `count` is at most 27: a code and the amplitude after it go in at once.
    // `value` has no bits above them.
    void Put(unsigned value, int count) {
        buffer = (buffer << count) | value;
        filled += count;
        if (filled >= 32) Drain32();
    }
    // The last byte is filled up with one bits.
    void Flush() {
        if (filled % 8) {
            const int ones = 8 - filled % 8;
            Put((1u << ones) - 1, ones);
        }
        while (filled >= 8) {
            filled -= 8;
            PutByte(static_cast<unsigned char>(buffer >> filled));
        }
    }
    void PutMarker(unsigned char code) {
        *next++ = 0xFF;
        *next++ = code;
    }

private:
    void PutByte(unsigned char byte) {
        *next++ = byte;
        // A 0xFF in the data is followed by a zero, or it would read as a marker.
        if (byte == 0xFF) *next++ = 0;
    }
    void Drain32() {
        filled -= 32;
        const auto word = static_cast<uint32_t>(buffer >> filled);
        // Most words hold no 0xFF byte and go out as they are.
        if (((word & 0x7F7F7F7Fu) + 0x01010101u) & word & 0x80808080u) {
            for (int shift = 24; shift >= 0; shift -= 8) PutByte(static_cast<unsigned char>(word >> shift));
            return;
        }
        next[0] = static_cast<unsigned char>(word >> 24);
        next[1] = static_cast<unsigned char>(word >> 16);
        next[2] = static_cast<unsigned char>(word >> 8);
        next[3] = static_cast<unsigned char>(word);
        next += 4;
    }
};

void Put16(Bytes& out, unsigned value) {
    out.push_back(static_cast<unsigned char>(value >> 8));
    out.push_back(static_cast<unsigned char>(value));
}

void PutHuffmanTable(Bytes& out, int classAndId, const HuffmanTable& table) {
    out.push_back(static_cast<unsigned char>(classAndId));
    out.insert(out.end(), table.counts, table.counts + 16);
    out.insert(out.end(), table.values.begin(), table.values.end());
}

struct Component {
    float divisors[64];  // per natural index, with the transform's scales
    const HuffmanCodes* dc;
    const HuffmanCodes* ac;
    int previousDc = 0;
};

void ScaledTable(const uint8_t* base, int quality, uint8_t* table) {
    const int scale = quality < 50 ? 5000 / quality : 200 - quality * 2;
    for (int i = 0; i < 64; ++i) table[i] = static_cast<uint8_t>(std::clamp((base[i] * scale + 50) / 100, 1, 255));
}

// The bits of the magnitude; the one bit below it makes zero's category 0
// without a branch.
int Category(int value) {
    const auto magnitude = static_cast<uint64_t>(value < 0 ? -value : value);
    return 63 - __builtin_clzll(magnitude << 1 | 1);
}

// The value's own bits after its category: negative values as one less,
// in the category's width. Without a branch: the signs come at random.
unsigned Amplitude(int value, int category) {
    return static_cast<unsigned>(value + (value >> 31)) & ((1u << category) - 1);
}

// Where a block's not-zero bits in natural order go in file order, a byte of
// them at a time: bits[k][byte] has bit i set when `byte` has bit j set and
// natural coefficient 8 * k + j is the i-th in file order. The block is then
// never copied into file order.
struct ZigzagBits {
    uint64_t bits[8][256] = {};
    constexpr ZigzagBits() {
        for (int i = 0; i < 64; ++i) {
            const int natural = kJpegZigzag[i];
            for (int byte = 0; byte < 256; ++byte) {
                if (byte >> natural % 8 & 1) bits[natural / 8][byte] |= uint64_t{1} << i;
            }
        }
    }
};
constexpr ZigzagBits kZigzagBits;

// The block's coefficients, quantised in natural order, go out in file order.
BitWriter EncodeBlock(const int16_t* quantised, Component& c, BitWriter bits) {
    // Bit i set when coefficient i (in natural order) is not zero.
    uint64_t natural = 0;
#ifdef __SSE2__
    for (int i = 0; i < 64; i += 16) {
        const auto* from = reinterpret_cast<const __m128i*>(quantised + i);
        const __m128i zero = _mm_setzero_si128();
        const __m128i zeros = _mm_packs_epi16(_mm_cmpeq_epi16(_mm_loadu_si128(from), zero),
                                              _mm_cmpeq_epi16(_mm_loadu_si128(from + 1), zero));
        natural |= static_cast<uint64_t>(~_mm_movemask_epi8(zeros) & 0xFFFF) << i;
    }
#else
    for (int i = 0; i < 64; ++i) natural |= static_cast<uint64_t>(quantised[i] != 0) << i;
#endif
    // The same in file order.
    uint64_t present = 0;
    for (int k = 0; k < 8; ++k) present |= kZigzagBits.bits[k][natural >> 8 * k & 0xFF];
    const int difference = quantised[0] - c.previousDc;
    c.previousDc = quantised[0];
    int category = Category(difference);
    bits.Put((static_cast<unsigned>(c.dc->code[category]) << category) | Amplitude(difference, category),
             c.dc->length[category] + category);
    int last = 0;
    for (uint64_t rest = present >> 1 << 1; rest; rest &= rest - 1) {
        const int i = __builtin_ctzll(rest);
        int run = i - last - 1;
        for (; run > 15; run -= 16) bits.Put(c.ac->code[0xF0], c.ac->length[0xF0]);
        const int value = quantised[kJpegZigzag[i]];  // not zero, so its category has no test
        category = 32 - __builtin_clz(static_cast<unsigned>(value < 0 ? -value : value));
        const int symbol = (run << 4) | category;
        bits.Put((static_cast<unsigned>(c.ac->code[symbol]) << category) | Amplitude(value, category),
                 c.ac->length[symbol] + category);
        last = i;
    }
    if (last < 63) bits.Put(c.ac->code[0x00], c.ac->length[0x00]);
    return bits;
}

struct Source {
    const unsigned char* rows = nullptr;
    int width = 0, height = 0;
    std::ptrdiff_t stride = 0;
};

// Blocks past the edges repeat the last row and column.
JpegBlockPixels BlockPixels(const Source& s, int top, int left) {
    JpegBlockPixels pixels;
    for (int y = 0; y < 8; ++y) pixels.rows[y] = s.rows + s.stride * std::min(top + y, s.height - 1);
    for (int x = 0; x < 8; ++x) pixels.columns[x] = 3 * std::min(left + x, s.width - 1);
    pixels.inside = left + 8 < s.width;
    return pixels;
}

// Rows of blocks [begin, end) and the entropy-coded bytes they give.
struct Strip {
    int begin = 0, end = 0;
    Source source;
    Component components[3];
    JpegQuantiser quantise = nullptr;
    Bytes bytes;
};

void EncodeStrip(Strip& strip) {
    const Source& s = strip.source;
    Bytes& out = strip.bytes;
    out.resize(static_cast<size_t>(s.width) * 8 * static_cast<size_t>(strip.end - strip.begin) / 2 + 64);
    const float* const divisors[3] = {strip.components[0].divisors, strip.components[1].divisors,
                                      strip.components[2].divisors};
    BitWriter bits;
    bits.next = out.data();
    for (int blockRow = strip.begin; blockRow < strip.end; ++blockRow) {
        for (Component& c : strip.components) c.previousDc = 0;
        const int top = blockRow * 8;
        for (int left = 0; left < s.width; left += 8) {
            alignas(16) int16_t quantised[3][64];
            strip.quantise(BlockPixels(s, top, left), divisors, quantised);
            // Three blocks of 64 codes of at most 32 bits each, every byte
            // perhaps stuffed, then the flush and a marker.
            constexpr size_t kRoom = 3 * 64 * 4 * 2 + 32;
            const auto used = static_cast<size_t>(bits.next - out.data());
            if (out.size() - used < kRoom) {
                out.resize(std::max(out.size() * 2, used + kRoom));
                bits.next = out.data() + used;
            }
            for (int k = 0; k < 3; ++k) bits = EncodeBlock(quantised[k], strip.components[k], bits);
        }
        bits.Flush();
        if (blockRow + 1 < strip.end) bits.PutMarker(static_cast<unsigned char>(0xD0 + blockRow % 8));
    }
    out.resize(static_cast<size_t>(bits.next - out.data()));
}

#ifdef _WIN32
DWORD WINAPI EncodeStripOnWorker(void* strip) {
    EncodeStrip(*static_cast<Strip*>(strip));
    return 0;
}
#endif

// Encodes `strip` on a second thread while `here` runs on this one; both
// alone when no thread can be had.
template <typename Work>
void RunBesides(Strip& strip, Work here) {
#ifdef _WIN32
    if (HANDLE worker = CreateThread(nullptr, 0, &EncodeStripOnWorker, &strip, 0, nullptr)) {
        here();
        WaitForSingleObject(worker, INFINITE);
        CloseHandle(worker);
        return;
    }
#endif
    here();
    EncodeStrip(strip);
}

}  // namespace

Bytes EncodeJpeg(const unsigned char* rows, int width, int height, std::ptrdiff_t stride, int quality) {
    if (!rows || width <= 0 || height <= 0 || width > 65535 || height > 65535 ||
        (stride < 0 ? -stride : stride) < width * 3LL) {
        return {};
    }
    quality = std::clamp(quality, 1, 100);
    uint8_t luminance[64], chrominance[64];
    ScaledTable(kLuminance, quality, luminance);
    ScaledTable(kChrominance, quality, chrominance);
    static const HuffmanCodes dcLuminance(kDcLuminance), acLuminance(kAcLuminance);
    static const HuffmanCodes dcChrominance(kDcChrominance), acChrominance(kAcChrominance);
    Component components[3];
    MakeJpegDivisors(luminance, components[0].divisors);
    MakeJpegDivisors(chrominance, components[1].divisors);
    MakeJpegDivisors(chrominance, components[2].divisors);
    components[0].dc = &dcLuminance;
    components[0].ac = &acLuminance;
    for (int k = 1; k < 3; ++k) {
        components[k].dc = &dcChrominance;
        components[k].ac = &acChrominance;
    }

    Bytes out;
    out.reserve(static_cast<size_t>(width) * height / 2 + 1024);
    const unsigned char header[] = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
    out.insert(out.end(), header, header + sizeof(header));
    out.push_back(0xFF);
    out.push_back(0xDB);
    Put16(out, 2 + 2 * 65);
    for (int id = 0; id < 2; ++id) {
        out.push_back(static_cast<unsigned char>(id));
        const uint8_t* table = id ? chrominance : luminance;
        for (int i = 0; i < 64; ++i) out.push_back(table[kJpegZigzag[i]]);
    }
    const unsigned char frame[] = {0xFF, 0xC0, 0, 17, 8};
    out.insert(out.end(), frame, frame + sizeof(frame));
    Put16(out, static_cast<unsigned>(height));
    Put16(out, static_cast<unsigned>(width));
    const unsigned char frameComponents[] = {3, 1, 0x11, 0, 2, 0x11, 1, 3, 0x11, 1};
    out.insert(out.end(), frameComponents, frameComponents + sizeof(frameComponents));
    out.push_back(0xFF);
    out.push_back(0xC4);
    Put16(out, static_cast<unsigned>(2 + 4 * 17 + kDcLuminance.values.size() + kAcLuminance.values.size() +
                                     kDcChrominance.values.size() + kAcChrominance.values.size()));
    PutHuffmanTable(out, 0x00, kDcLuminance);
    PutHuffmanTable(out, 0x10, kAcLuminance);
    PutHuffmanTable(out, 0x01, kDcChrominance);
    PutHuffmanTable(out, 0x11, kAcChrominance);
    // A restart interval of one row of blocks.
    out.push_back(0xFF);
    out.push_back(0xDD);
    Put16(out, 4);
    Put16(out, static_cast<unsigned>((width + 7) / 8));
    const unsigned char scan[] = {0xFF, 0xDA, 0, 12, 3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0};
    out.insert(out.end(), scan, scan + sizeof(scan));

    const JpegQuantiser quantise = ChooseJpegQuantiser();
    const int blockRows = (height + 7) / 8;
    Strip strips[2];
    strips[0].end = strips[1].begin = blockRows / 2;
    strips[1].end = blockRows;
    for (Strip& strip : strips) {
        strip.source = Source{rows, width, height, stride};
        strip.quantise = quantise;
        for (int k = 0; k < 3; ++k) strip.components[k] = components[k];
    }
    // The two halves of the picture are independent: each row of blocks is
    // an interval of its own, which a restart marker closes.
    RunBesides(strips[1], [&] { EncodeStrip(strips[0]); });
    out.insert(out.end(), strips[0].bytes.begin(), strips[0].bytes.end());
    if (!strips[0].bytes.empty() && !strips[1].bytes.empty()) {
        out.push_back(0xFF);
        out.push_back(static_cast<unsigned char>(0xD0 + (strips[0].end - 1) % 8));
    }
    out.insert(out.end(), strips[1].bytes.begin(), strips[1].bytes.end());
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
}

}  // namespace varnel

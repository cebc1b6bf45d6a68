#include "platform/jpeg_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/bmp_format.h"

namespace varnel {

namespace {

// Where the k-th coefficient of the zig-zag order lies in the 8 x 8 block.
constexpr uint8_t kNatural[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                  12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                  35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                  58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

constexpr int kFastBits = 9;

struct Huffman {
    bool defined = false;
    // Codes up to kFastBits long, looked up by the next bits: length << 8 | value.
    uint16_t fast[1 << kFastBits] = {};
    int maxCode[18] = {};
    int firstIndex[17] = {};
    int firstCode[17] = {};
    uint8_t values[256] = {};
    // For an AC table: a coefficient whose code and value bits fit the
    // looked-up bits, as value << 16 | run << 8 | bits used; 0 for none.
    int32_t fastAc[1 << kFastBits] = {};

    bool Build(const uint8_t* counts, const uint8_t* symbols, int total) {
        std::memset(fast, 0, sizeof(fast));
        std::memcpy(values, symbols, static_cast<size_t>(total));
        int code = 0, index = 0;
        for (int length = 1; length <= 16; ++length) {
            const int n = counts[length - 1];
            firstIndex[length] = index;
            firstCode[length] = code;
            // More codes of a length than the length has room for: no code.
        if (code + n > (1 << length)) return false;
        for (int i = 0; i < n; ++i, ++code, ++index) {
                if (length <= kFastBits) {
                    const int shift = kFastBits - length;
                    for (int fill = 0; fill < (1 << shift); ++fill) {
                        fast[(code << shift) | fill] = static_cast<uint16_t>(length << 8 | symbols[index]);
                    }
                }
            }
            maxCode[length] = n ? code - 1 : -1;
            code <<= 1;
        }
        maxCode[17] = 0x7FFFFFFF;
        for (int look = 0; look < (1 << kFastBits); ++look) {
            fastAc[look] = 0;
            const int length = fast[look] >> 8, run = (fast[look] >> 4) & 15, size = fast[look] & 15;
            if (!fast[look] || !size || length + size > kFastBits) continue;
            const int value = (look >> (kFastBits - length - size)) & ((1 << size) - 1);
            const int coefficient = value < (1 << (size - 1)) ? value - (1 << size) + 1 : value;
            fastAc[look] = static_cast<int32_t>(static_cast<uint32_t>(coefficient) << 16) | run << 8 | (length + size);
        }
        defined = true;
        return true;
    }
};

// The entropy-coded bits, with stuffed zero bytes taken out; past a marker
// (a restart, the end) it reads zeros. Fill() makes room for one coded
// coefficient (at most 27 bits); the reads after it do not fill.
struct BitReader {
    const uint8_t* at;
    const uint8_t* end;
    uint64_t buffer = 0;  // the next bits, from the top
    int count = 0;
    bool atMarker = false;
    bool ranOut = false;  // past the bytes with no marker: the file is cut short

    void Fill() {
        while (count <= 56) {
            uint64_t byte = 0;
            if (!atMarker && at >= end) ranOut = true;
            if (!atMarker && at < end) {
                byte = *at;
                if (byte != 0xFF) {
                    ++at;
                } else if (at + 1 < end && at[1] == 0x00) {
                    at += 2;
                } else {
                    atMarker = true;
                    byte = 0;
                }
            }
            buffer |= byte << (56 - count);
            count += 8;
        }
    }
    int Peek(int n) const { return static_cast<int>(buffer >> (64 - n)); }
    void Skip(int n) {
        buffer <<= n;
        count -= n;
    }
    int Bits(int n) {
        if (n == 0) return 0;
        const int value = Peek(n);
        Skip(n);
        return value;
    }
    int Decode(const Huffman& table) {
        const uint16_t hit = table.fast[Peek(kFastBits)];
        if (hit) {
            Skip(hit >> 8);
            return hit & 0xFF;
        }
        for (int length = kFastBits + 1; length <= 16; ++length) {
            const int code = Peek(length);
            if (code <= table.maxCode[length]) {
                Skip(length);
                const int index = table.firstIndex[length] + code - table.firstCode[length];
                return index >= 0 && index < 256 ? table.values[index] : -1;
            }
        }
        return -1;
    }
    // Steps over the restart marker that must come next.
    bool Restart() {
        buffer = 0;
        count = 0;
        atMarker = false;
        if (at + 1 < end && at[0] == 0xFF && at[1] >= 0xD0 && at[1] <= 0xD7) {
            at += 2;
            return true;
        }
        return false;
    }
};

int Extend(int value, int bits) { return bits && value < (1 << (bits - 1)) ? value - (1 << bits) + 1 : value; }

struct Component {
    int id = 0, h = 1, v = 1, quant = 0, dcTable = 0, acTable = 0;
    int planeWidth = 0, planeHeight = 0;  // in samples, whole blocks
    // Every sample is written by the decoding before it is read.
    std::unique_ptr<uint8_t[]> plane;
    int predictor = 0;
    float multipliers[64] = {};
};

// Damaged files make any value: it is bounded before it becomes an integer.
inline uint8_t Clamp(float value) {
    if (!(value > -128.0f)) return 0;
    if (value >= 127.0f) return 255;
    return static_cast<uint8_t>(static_cast<int>(value + 128.5f));
}

// The inverse DCT of the dequantized block (the separable scaled form of
// Arai, Agui and Nakajima), into 8 rows of `out`, `stride` apart.
void InverseDct(const int16_t* in, const float* multipliers, uint8_t* out, int stride) {
    float work[64];
    for (int c = 0; c < 8; ++c) {
        const int16_t* x = in + c;
        const float* q = multipliers + c;
        float* w = work + c;
        if (!x[8] && !x[16] && !x[24] && !x[32] && !x[40] && !x[48] && !x[56]) {
            const float dc = x[0] * q[0];
            for (int r = 0; r < 8; ++r) w[r * 8] = dc;
            continue;
        }
        float t0 = x[0] * q[0], t1 = x[16] * q[16], t2 = x[32] * q[32], t3 = x[48] * q[48];
        float t10 = t0 + t2, t11 = t0 - t2, t13 = t1 + t3, t12 = (t1 - t3) * 1.414213562f - t13;
        t0 = t10 + t13;
        t3 = t10 - t13;
        t1 = t11 + t12;
        t2 = t11 - t12;
        float t4 = x[8] * q[8], t5 = x[24] * q[24], t6 = x[40] * q[40], t7 = x[56] * q[56];
        const float z13 = t6 + t5, z10 = t6 - t5, z11 = t4 + t7, z12 = t4 - t7;
        t7 = z11 + z13;
        t11 = (z11 - z13) * 1.414213562f;
        const float z5 = (z10 + z12) * 1.847759065f;
        t10 = 1.082392200f * z12 - z5;
        t12 = -2.613125930f * z10 + z5;
        t6 = t12 - t7;
        t5 = t11 - t6;
        t4 = t10 + t5;
        w[0] = t0 + t7;
        w[56] = t0 - t7;
        w[8] = t1 + t6;
        w[48] = t1 - t6;
        w[16] = t2 + t5;
        w[40] = t2 - t5;
        w[32] = t3 + t4;
        w[24] = t3 - t4;
    }
    for (int r = 0; r < 8; ++r) {
        const float* w = work + r * 8;
        uint8_t* o = out + static_cast<ptrdiff_t>(stride) * r;
        float t10 = w[0] + w[4], t11 = w[0] - w[4], t13 = w[2] + w[6], t12 = (w[2] - w[6]) * 1.414213562f - t13;
        const float t0 = t10 + t13, t3 = t10 - t13, t1 = t11 + t12, t2 = t11 - t12;
        const float z13 = w[5] + w[3], z10 = w[5] - w[3], z11 = w[1] + w[7], z12 = w[1] - w[7];
        const float t7 = z11 + z13;
        t11 = (z11 - z13) * 1.414213562f;
        const float z5 = (z10 + z12) * 1.847759065f;
        t10 = 1.082392200f * z12 - z5;
        t12 = -2.613125930f * z10 + z5;
        const float t6 = t12 - t7, t5 = t11 - t6, t4 = t10 + t5;
        o[0] = Clamp(t0 + t7);
        o[7] = Clamp(t0 - t7);
        o[1] = Clamp(t1 + t6);
        o[6] = Clamp(t1 - t6);
        o[2] = Clamp(t2 + t5);
        o[5] = Clamp(t2 - t5);
        o[4] = Clamp(t3 + t4);
        o[3] = Clamp(t3 - t4);
    }
}

class Decoder {
public:
    explicit Decoder(const Bytes& jpeg) : data_(jpeg.data()), size_(jpeg.size()) {}
    Bytes Run();

private:
    bool ReadFrame(const uint8_t* segment, size_t length);
    bool ReadTables(const uint8_t* segment, size_t length, bool huffman);
    bool DecodeScan(const uint8_t* segment, size_t length, size_t& next);
    bool DecodeBlock(BitReader& bits, Component& component, int16_t* block);
    Bytes Output();

    const uint8_t* data_;
    size_t size_;
    int width_ = 0, height_ = 0, hMax_ = 1, vMax_ = 1, restartInterval_ = 0;
    bool adobeRgb_ = false;
    std::vector<Component> components_;
    uint16_t quant_[4][64] = {};
    bool quantDefined_[4] = {};
    Huffman dc_[4], ac_[4];
};

bool Decoder::ReadTables(const uint8_t* s, size_t length, bool huffman) {
    size_t at = 0;
    while (at < length) {
        const int kind = s[at] >> 4, id = s[at] & 15;
        ++at;
        if (huffman) {
            if (kind > 1 || id > 3 || length - at < 16) return false;
            int total = 0;
            for (int i = 0; i < 16; ++i) total += s[at + i];
            if (total > 256 || length - at - 16 < static_cast<size_t>(total)) return false;
            Huffman& table = kind == 0 ? dc_[id] : ac_[id];
            if (!table.Build(s + at, s + at + 16, total)) return false;
            at += 16 + static_cast<size_t>(total);
        } else {
            if (kind > 1 || id > 3 || length - at < (kind ? 128u : 64u)) return false;
            for (int k = 0; k < 64; ++k) {
                quant_[id][kNatural[k]] = kind ? static_cast<uint16_t>(s[at + 2 * k] << 8 | s[at + 2 * k + 1]) : s[at + k];
            }
            quantDefined_[id] = true;
            at += kind ? 128 : 64;
        }
    }
    return true;
}

bool Decoder::ReadFrame(const uint8_t* s, size_t length) {
    if (length < 6 || s[0] != 8 || !components_.empty()) return false;
    height_ = s[1] << 8 | s[2];
    width_ = s[3] << 8 | s[4];
    const int count = s[5];
    if (width_ == 0 || height_ == 0 || static_cast<long long>(width_) * height_ > kMaxPicturePixels) return false;
    if ((count != 1 && count != 3) || length < 6 + 3 * static_cast<size_t>(count)) return false;
    components_.resize(count);
    for (int i = 0; i < count; ++i) {
        Component& c = components_[i];
        c.id = s[6 + 3 * i];
        c.h = s[7 + 3 * i] >> 4;
        c.v = s[7 + 3 * i] & 15;
        c.quant = s[8 + 3 * i];
        if (c.h < 1 || c.h > 2 || c.v < 1 || c.v > 2 || c.quant > 3) return false;
    }
    if (count == 3 && components_[0].id == 'R' && components_[1].id == 'G' && components_[2].id == 'B') return false;
    if (count == 1) components_[0].h = components_[0].v = 1;
    hMax_ = vMax_ = 1;
    for (const Component& c : components_) {
        hMax_ = std::max(hMax_, c.h);
        vMax_ = std::max(vMax_, c.v);
    }
    // The first component carries the full resolution; the others share one lower one.
    for (size_t i = 1; i < components_.size(); ++i) {
        if (components_[i].h != 1 || components_[i].v != 1) return false;
    }
    if (components_[0].h != hMax_ || components_[0].v != vMax_) return false;
    const int mcusAcross = (width_ + 8 * hMax_ - 1) / (8 * hMax_), mcusDown = (height_ + 8 * vMax_ - 1) / (8 * vMax_);
    for (Component& c : components_) {
        c.planeWidth = mcusAcross * c.h * 8;
        c.planeHeight = mcusDown * c.v * 8;
    }
    return true;
}

bool Decoder::DecodeBlock(BitReader& bits, Component& c, int16_t* block) {
    std::memset(block, 0, 64 * sizeof(int16_t));
    bits.Fill();
    const int size = bits.Decode(dc_[c.dcTable]);
    if (size < 0 || size > 11) return false;
    c.predictor = std::clamp(c.predictor + Extend(bits.Bits(size), size), -32768, 32767);
    block[0] = static_cast<int16_t>(c.predictor);
    const Huffman& ac = ac_[c.acTable];
    for (int k = 1; k < 64;) {
        bits.Fill();
        const int32_t fast = ac.fastAc[bits.Peek(kFastBits)];
        if (fast) {
            k += (fast >> 8) & 15;
            if (k > 63) return false;
            bits.Skip(fast & 0xFF);
            block[kNatural[k++]] = static_cast<int16_t>(fast >> 16);
            continue;
        }
        const int symbol = bits.Decode(ac);
        if (symbol < 0) return false;
        const int run = symbol >> 4, bitsOf = symbol & 15;
        if (bitsOf == 0) {
            if (run != 15) break;
            k += 16;
            continue;
        }
        k += run;
        if (k > 63 || bitsOf > 10) return false;
        block[kNatural[k++]] = static_cast<int16_t>(Extend(bits.Bits(bitsOf), bitsOf));
    }
    return true;
}

bool Decoder::DecodeScan(const uint8_t* s, size_t length, size_t& next) {
    if (components_.empty() || length < 1) return false;
    const size_t count = s[0];
    // One scan holding every component, with every coefficient, is all this decoder reads.
    if (count != components_.size() || length < 4 + 2 * count) return false;
    for (size_t i = 0; i < count; ++i) {
        Component& c = components_[i];
        if (s[1 + 2 * i] != c.id) return false;
        c.dcTable = s[2 + 2 * i] >> 4;
        c.acTable = s[2 + 2 * i] & 15;
        if (c.dcTable > 3 || c.acTable > 3 || !dc_[c.dcTable].defined || !ac_[c.acTable].defined ||
            !quantDefined_[c.quant]) {
            return false;
        }
    }
    if (s[1 + 2 * count] != 0 || s[2 + 2 * count] != 63 || s[3 + 2 * count] != 0) return false;
    // Every block takes two bits at least: a file too short for the blocks
    // its frame claims is declined before anything is made for them.
    size_t blocks = 0;
    for (const Component& c : components_) blocks += static_cast<size_t>(c.planeWidth / 8) * (c.planeHeight / 8);
    if (blocks / 4 > size_ - next) return false;
    static const float kScale[8] = {1.0f, 1.387039845f, 1.306562965f, 1.175875602f,
                                    1.0f, 0.785694958f, 0.541196100f, 0.275899379f};
    for (Component& c : components_) {
        for (int i = 0; i < 64; ++i) c.multipliers[i] = quant_[c.quant][i] * kScale[i / 8] * kScale[i % 8] / 8;
        c.plane.reset(new uint8_t[static_cast<size_t>(c.planeWidth) * c.planeHeight]);
        c.predictor = 0;
    }
    BitReader bits{data_ + next, data_ + size_};
    const int mcusAcross = components_[0].planeWidth / (8 * hMax_);
    const int mcusDown = components_[0].planeHeight / (8 * vMax_);
    int16_t block[64];
    int untilRestart = restartInterval_;
    for (int my = 0; my < mcusDown; ++my) {
        for (int mx = 0; mx < mcusAcross; ++mx) {
            if (restartInterval_ && untilRestart == 0) {
                if (!bits.Restart()) return false;
                for (Component& c : components_) c.predictor = 0;
                untilRestart = restartInterval_;
            }
            --untilRestart;
            for (Component& c : components_) {
                for (int by = 0; by < c.v; ++by) {
                    for (int bx = 0; bx < c.h; ++bx) {
                        if (!DecodeBlock(bits, c, block)) return false;
                        const size_t x = static_cast<size_t>(mx * c.h + bx) * 8, y = static_cast<size_t>(my * c.v + by) * 8;
                        InverseDct(block, c.multipliers, &c.plane[y * c.planeWidth + x], c.planeWidth);
                    }
                }
            }
        }
    }
    next = static_cast<size_t>(bits.at - data_);
    return !bits.ranOut;
}

// Chroma at half resolution is brought up by weighing its nearest sample 3
// to 1 against the next one beyond, down and across.
Bytes Decoder::Output() {
    Bytes bmp = MakeBmp24(width_, height_, nullptr, 0);
    if (bmp.empty()) return {};
    const size_t stride = BmpStride24(width_);
    uint8_t* pixels = bmp.data() + 54;
    const Component& luma = components_[0];
    if (components_.size() == 1) {
        for (int y = 0; y < height_; ++y) {
            const uint8_t* in = &luma.plane[static_cast<size_t>(y) * luma.planeWidth];
            uint8_t* out = pixels + stride * (height_ - 1 - y);
            for (int x = 0; x < width_; ++x, out += 3) out[0] = out[1] = out[2] = in[x];
        }
        return bmp;
    }
    // YCbCr as JFIF defines it, in 16-bit fixed point, looked up; the sums
    // are bounded through a table as well.
    int redOfCr[256], blueOfCb[256], greenOfCb[256], greenOfCr[256];
    for (int i = 0; i < 256; ++i) {
        redOfCr[i] = (91881 * (i - 128) + 32768) >> 16;
        blueOfCb[i] = (116130 * (i - 128) + 32768) >> 16;
        greenOfCb[i] = -22554 * (i - 128);
        greenOfCr[i] = -46802 * (i - 128) + 32768;
    }
    uint8_t bounded[768];
    for (int i = 0; i < 768; ++i) bounded[i] = static_cast<uint8_t>(std::clamp(i - 256, 0, 255));
    const uint8_t* limit = bounded + 256;

    const Component& cb = components_[1];
    const Component& cr = components_[2];
    const int chromaWidth = (width_ * cb.h + hMax_ - 1) / hMax_, chromaHeight = (height_ * cb.v + vMax_ - 1) / vMax_;
    std::vector<uint8_t> blue(static_cast<size_t>(width_)), red(static_cast<size_t>(width_));
    std::vector<int> downBlue(static_cast<size_t>(chromaWidth)), downRed(static_cast<size_t>(chromaWidth));
    // Across, from four times the value: sixteen times it, rounded back.
    auto across = [&](const int* down, uint8_t* out) {
        if (hMax_ == 1) {
            for (int x = 0; x < width_; ++x) out[x] = static_cast<uint8_t>((down[x] + 2) >> 2);
            return;
        }
        for (int i = 0; i < chromaWidth; ++i) {
            const int left = down[i > 0 ? i - 1 : 0], right = down[i + 1 < chromaWidth ? i + 1 : i];
            const int x = 2 * i;
            out[x] = static_cast<uint8_t>((3 * down[i] + left + 8) >> 4);
            if (x + 1 < width_) out[x + 1] = static_cast<uint8_t>((3 * down[i] + right + 8) >> 4);
        }
    };
    const bool full = hMax_ == 1 && vMax_ == 1;
    for (int y = 0; y < height_; ++y) {
        const uint8_t* blues = &cb.plane[static_cast<size_t>(y) * cb.planeWidth];
        const uint8_t* reds = &cr.plane[static_cast<size_t>(y) * cr.planeWidth];
        if (!full) {
            // Down: four times the value.
            int near = y, far = y;
            if (vMax_ == 2) {
                near = y >> 1;
                far = std::clamp(y & 1 ? near + 1 : near - 1, 0, chromaHeight - 1);
            }
            const uint8_t* b0 = &cb.plane[static_cast<size_t>(near) * cb.planeWidth];
            const uint8_t* b1 = &cb.plane[static_cast<size_t>(far) * cb.planeWidth];
            const uint8_t* r0 = &cr.plane[static_cast<size_t>(near) * cr.planeWidth];
            const uint8_t* r1 = &cr.plane[static_cast<size_t>(far) * cr.planeWidth];
            for (int x = 0; x < chromaWidth; ++x) {
                downBlue[x] = 3 * b0[x] + b1[x];
                downRed[x] = 3 * r0[x] + r1[x];
            }
            across(downBlue.data(), blue.data());
            across(downRed.data(), red.data());
            blues = blue.data();
            reds = red.data();
        }
        const uint8_t* in = &luma.plane[static_cast<size_t>(y) * luma.planeWidth];
        uint8_t* out = pixels + stride * (height_ - 1 - y);
        for (int x = 0; x < width_; ++x, out += 3) {
            const int l = in[x], b = blues[x], r = reds[x];
            out[0] = limit[l + blueOfCb[b]];
            out[1] = limit[l + ((greenOfCb[b] + greenOfCr[r]) >> 16)];
            out[2] = limit[l + redOfCr[r]];
        }
    }
    return bmp;
}

Bytes Decoder::Run() {
    if (size_ < 4 || data_[0] != 0xFF || data_[1] != 0xD8) return {};
    size_t at = 2;
    while (at + 4 <= size_) {
        if (data_[at] != 0xFF) return {};
        const uint8_t marker = data_[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if (marker == 0xD9) break;
        const size_t length = static_cast<size_t>(data_[at + 2] << 8 | data_[at + 3]);
        if (length < 2 || at + 2 + length > size_) return {};
        const uint8_t* segment = data_ + at + 4;
        const size_t body = length - 2;
        size_t next = at + 2 + length;
        switch (marker) {
        case 0xC0:
        case 0xC1:
            if (!ReadFrame(segment, body)) return {};
            break;
        case 0xC4:
            if (!ReadTables(segment, body, true)) return {};
            break;
        case 0xDB:
            if (!ReadTables(segment, body, false)) return {};
            break;
        case 0xDD:
            if (body < 2) return {};
            restartInterval_ = segment[0] << 8 | segment[1];
            break;
        case 0xEE:
            // Adobe's segment: a transform of 0 says the three components are R, G and B.
            if (body >= 12 && std::memcmp(segment, "Adobe", 5) == 0 && segment[11] == 0) adobeRgb_ = true;
            break;
        case 0xDA:
            if (adobeRgb_ || !DecodeScan(segment, body, next)) return {};
            return Output();
        default:
            // Any other frame kind (progressive, lossless, arithmetic, hierarchical) is declined.
            if ((marker >= 0xC2 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) ||
                marker == 0xDE) {
                return {};
            }
            break;
        }
        at = next;
    }
    return {};
}

}  // namespace

Bytes DecodeJpegToBmp24(const Bytes& jpeg) {
    // Short of memory for a large picture, it is declined like any other.
    try {
        Decoder decoder(jpeg);
        return decoder.Run();
    } catch (...) {
        return {};
    }
}

}  // namespace varnel

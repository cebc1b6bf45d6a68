#include "platform/jpeg_decoder.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/bmp_format.h"
#include "platform/jpeg_colour.h"
#include "platform/jpeg_idct.h"
#include "platform/jpeg_zigzag.h"

#ifdef _WIN32
#include "platform/handles.h"
#endif

namespace varnel {

namespace {

constexpr int kFastBits = 9;
// The run a looked-up AC code gives for the end of its block: past any block.
constexpr int kEndOfBlock = 64;

struct Huffman {
    bool defined = false;
    // Codes up to kFastBits long, looked up by the next bits: length << 8 | value.
    uint16_t fast[1 << kFastBits] = {};
    int maxCode[18] = {};
    int firstIndex[17] = {};
    int firstCode[17] = {};
    uint8_t values[256] = {};
    // For an AC table: a coefficient whose code and value bits fit the
    // looked-up bits, as value << 16 | run << 8 | bits used, or the end of
    // the block as kEndOfBlock << 8 | bits used; 0 for none.
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
            if (!fast[look] || length + size > kFastBits) continue;
            // Any run but 15 with no value ends the block, as the slow path reads it.
            if (!size) {
                if (run != 15) fastAc[look] = kEndOfBlock << 8 | length;
                continue;
            }
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
        // Eight bytes with no 0xFF among them hold neither a stuffed byte
        // nor a marker: as many whole ones as there is room for go in at
        // once, with no test of how many, which would guess wrong about
        // every other time. The bits after the last whole one are the
        // stream's own next bits, which the next fill puts in again. (A
        // full buffer, 64 bits, takes nothing: the shift would be too wide.)
        if (!atMarker && end - at >= 8 && count < 64) {
            // One load, turned so that the first byte is on top (x86 is little-endian).
            uint64_t word;
            std::memcpy(&word, at, sizeof(word));
            word = __builtin_bswap64(word);
            if (((~word - 0x0101010101010101u) & word & 0x8080808080808080u) == 0) {
                const int bytes = (64 - count) / 8;
                buffer |= word >> count;
                at += bytes;
                count += 8 * bytes;
                return;
            }
        }
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

// Rows of MCUs under way at once: decoded, transformed, converted.
constexpr int kStrips = 4;

struct Component {
    int id = 0, h = 1, v = 1, quant = 0, dcTable = 0, acTable = 0;
    int predictor = 0;
    // The largest coefficient whose dequantized value still fits 16 bits,
    // by place in the block: larger ones are worked differently by the
    // imaging service's vector code, and only a damaged file holds them.
    int limit[64] = {};
    int quantized[64] = {};  // the quantizer by place in the block
    // Samples of the last MCU rows, each as high as an MCU.
    int stripWidth = 0, stripHeight = 0;
    std::unique_ptr<uint8_t[]> strips;
    uint8_t* Row(int row) {
        const int slot = (row / stripHeight) % kStrips;
        return strips.get() + (static_cast<size_t>(slot) * stripHeight + row % stripHeight) * stripWidth;
    }
};

// The coefficients of one row of MCUs, in the order the scan holds the blocks.
using CoefficientRow = std::unique_ptr<int16_t[]>;

class Decoder {
public:
    explicit Decoder(const Bytes& jpeg) : data_(jpeg.data()), size_(jpeg.size()) {}
    // Reads the markers up to the scan; false when the decoder declines the file.
    bool ReadHeaders();
    bool Decode(unsigned char* rows, std::ptrdiff_t stride, Cores cores);
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    bool ReadFrame(const uint8_t* segment, size_t length);
    bool ReadTables(const uint8_t* segment, size_t length, bool huffman);
    bool ReadScan(const uint8_t* segment, size_t length);
    bool DecodeBlock(Component& component, BitReader& bits, int16_t* block);
    // The three steps of a row of MCUs: its coded bits into coefficients,
    // those into samples, and samples into pixels. On two threads the
    // decoding one also transforms the first component, the other the rest
    // and converts: about an even share each.
    bool DecodeRow(int16_t* coefficients);
    // `luma` picks the first component, otherwise the others.
    void TransformRow(int row, const int16_t* coefficients, bool luma);
    void ConvertRow(int row);
#ifdef _WIN32
    static DWORD WINAPI TransformWorker(void* self);
#endif

    const uint8_t* data_;
    size_t size_;
    size_t scanData_ = 0;
    int width_ = 0, height_ = 0, hMax_ = 1, vMax_ = 1, restartInterval_ = 0;
    int mcusAcross_ = 0, mcusDown_ = 0, blocksPerMcu_ = 0;
    bool adobeRgb_ = false;
    std::vector<Component> components_;
    uint16_t quant_[4][64] = {};
    bool quantDefined_[4] = {};
    Huffman dc_[4], ac_[4];

    // The decoding under way.
    BitReader bits_{nullptr, nullptr};
    int untilRestart_ = 0;
    unsigned char* rows_ = nullptr;
    std::ptrdiff_t stride_ = 0;
    SampleLimit limit_;
    const InverseDctFunction inverseDct_ = ChooseInverseDct();
    const ColourRowFunction convertColour_ = ChooseColourRow();
    ColourTables colour_;
#ifdef _WIN32
    // Rows of coefficients handed from the decoding thread to the worker.
    static constexpr int kSlots = kStrips;
    CoefficientRow slots_[kSlots];
    // Counted, not signalled: a wait on a kernel object costs more here than
    // the short spin a row's handing over takes.
    std::atomic<int> rowsDecoded_{0}, rowsConverted_{0};
    std::atomic<bool> stopped_{false};
#endif
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
                quant_[id][kJpegZigzag[k]] = kind ? static_cast<uint16_t>(s[at + 2 * k] << 8 | s[at + 2 * k + 1]) : s[at + k];
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
    components_.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        Component& c = components_[static_cast<size_t>(i)];
        c.id = s[6 + 3 * i];
        c.h = s[7 + 3 * i] >> 4;
        c.v = s[7 + 3 * i] & 15;
        c.quant = s[8 + 3 * i];
        if (c.h < 1 || c.h > 2 || c.v < 1 || c.v > 2 || c.quant > 3) return false;
    }
    if (count == 3 && components_[0].id == 'R' && components_[1].id == 'G' && components_[2].id == 'B') return false;
    if (count == 1) components_[0].h = components_[0].v = 1;
    // Full colour, half across, or half both ways; the colour at the lower
    // resolution, the first component at the full one.
    const Component& luma = components_[0];
    for (size_t i = 1; i < components_.size(); ++i) {
        if (components_[i].h != 1 || components_[i].v != 1) return false;
    }
    hMax_ = luma.h;
    vMax_ = luma.v;
    mcusAcross_ = (width_ + 8 * hMax_ - 1) / (8 * hMax_);
    mcusDown_ = (height_ + 8 * vMax_ - 1) / (8 * vMax_);
    blocksPerMcu_ = 0;
    for (Component& c : components_) {
        c.stripWidth = mcusAcross_ * hMax_ * 8;
        c.stripHeight = vMax_ * 8;
        blocksPerMcu_ += c.h * c.v;
    }
    return true;
}

bool Decoder::ReadScan(const uint8_t* s, size_t length) {
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
        for (int k = 0; k < 64; ++k) {
            const int q = quant_[c.quant][k];
            c.quantized[k] = q;
            c.limit[k] = q ? 32767 / q : 32767;
        }
    }
    return s[1 + 2 * count] == 0 && s[2 + 2 * count] == 63 && s[3 + 2 * count] == 0;
}

bool Decoder::ReadHeaders() {
    if (size_ < 4 || data_[0] != 0xFF || data_[1] != 0xD8) return false;
    size_t at = 2;
    while (at + 4 <= size_) {
        if (data_[at] != 0xFF) return false;
        const uint8_t marker = data_[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if (marker == 0xD9) return false;
        const size_t length = static_cast<size_t>(data_[at + 2] << 8 | data_[at + 3]);
        if (length < 2 || at + 2 + length > size_) return false;
        const uint8_t* segment = data_ + at + 4;
        const size_t body = length - 2;
        switch (marker) {
        case 0xC0:
        case 0xC1:
            if (!ReadFrame(segment, body)) return false;
            break;
        case 0xC4:
            if (!ReadTables(segment, body, true)) return false;
            break;
        case 0xDB:
            if (!ReadTables(segment, body, false)) return false;
            break;
        case 0xDD:
            if (body < 2) return false;
            restartInterval_ = segment[0] << 8 | segment[1];
            break;
        case 0xEE:
            // Adobe's segment: a transform of 0 says the three components are R, G and B.
            if (body >= 12 && std::memcmp(segment, "Adobe", 5) == 0 && segment[11] == 0) adobeRgb_ = true;
            break;
        case 0xDA:
            if (adobeRgb_ || !ReadScan(segment, body)) return false;
            scanData_ = at + 2 + length;
            return true;
        default:
            // Any other frame kind (progressive, lossless, arithmetic, hierarchical) is declined.
            if ((marker >= 0xC2 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) ||
                marker == 0xDE) {
                return false;
            }
            break;
        }
        at += 2 + length;
    }
    return false;
}

bool Decoder::DecodeBlock(Component& c, BitReader& bits, int16_t* block) {
    bits.Fill();
    const int size = bits.Decode(dc_[c.dcTable]);
    if (size < 0 || size > 11) return false;
    c.predictor += Extend(bits.Bits(size), size);
    if (c.predictor > c.limit[0] || c.predictor < -c.limit[0]) return false;
    block[0] = static_cast<int16_t>(c.predictor);
    const Huffman& ac = ac_[c.acTable];
    for (int k = 1; k < 64;) {
        bits.Fill();
        const int32_t fast = ac.fastAc[bits.Peek(kFastBits)];
        int value;
        if (fast) {
            const int run = (fast >> 8) & 0xFF;
            k += run;
            bits.Skip(fast & 0xFF);
            if (k > 63) {
                if (run == kEndOfBlock) break;
                return false;
            }
            value = fast >> 16;
        } else {
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
            value = Extend(bits.Bits(bitsOf), bitsOf);
        }
        const int place = kJpegZigzag[k++];
        if (value > c.limit[place] || value < -c.limit[place]) return false;
        block[place] = static_cast<int16_t>(value);
    }
    return true;
}

bool Decoder::DecodeRow(int16_t* coefficients) {
    std::memset(coefficients, 0, sizeof(int16_t) * 64 * static_cast<size_t>(blocksPerMcu_) * mcusAcross_);
    int16_t* block = coefficients;
    // The reader works on a copy of its own, which the compiler keeps in
    // registers; a row that fails ends the decoding, so only a whole one
    // hands its copy back.
    BitReader bits = bits_;
    for (int mx = 0; mx < mcusAcross_; ++mx) {
        if (restartInterval_) {
            if (untilRestart_ == 0) {
                if (!bits.Restart()) return false;
                for (Component& c : components_) c.predictor = 0;
                untilRestart_ = restartInterval_;
            }
            --untilRestart_;
        }
        for (Component& c : components_) {
            for (int n = c.h * c.v; n > 0; --n, block += 64) {
                if (!DecodeBlock(c, bits, block)) return false;
            }
        }
    }
    bits_ = bits;
    return !bits.ranOut;
}

void Decoder::TransformRow(int row, const int16_t* coefficients, bool luma) {
    const int16_t* block = coefficients;
    for (int mx = 0; mx < mcusAcross_; ++mx) {
        for (size_t i = 0; i < components_.size(); ++i) {
            Component& c = components_[i];
            if ((i == 0) != luma) {
                block += 64 * c.h * c.v;
                continue;
            }
            // Each block covers `wide` x `high` samples at the picture's resolution.
            const int wide = 8 * hMax_ / c.h, high = 8 * vMax_ / c.v;
            for (int by = 0; by < c.v; ++by) {
                uint8_t* line = c.Row(row * c.stripHeight + by * high);
                for (int bx = 0; bx < c.h; ++bx, block += 64) {
                    inverseDct_(block, c.quantized, limit_, wide, high, line + (mx * c.h + bx) * wide,
                               static_cast<size_t>(c.stripWidth));
                }
            }
        }
    }
}

void Decoder::ConvertRow(int row) {
    const int top = row * 8 * vMax_, bottom = std::min(height_, top + 8 * vMax_);
    for (int y = top; y < bottom; ++y) {
        const uint8_t* luma = components_[0].Row(y);
        unsigned char* out = rows_ + stride_ * static_cast<std::ptrdiff_t>(y);
        if (components_.size() == 1) {
            for (int x = 0; x < width_; ++x, out += 3) out[0] = out[1] = out[2] = luma[x];
            continue;
        }
        convertColour_(colour_, limit_, luma, components_[1].Row(y), components_[2].Row(y), width_, out);
    }
}

#ifdef _WIN32
// Waits until `ready` says so, spinning briefly before giving up the core.
template <typename Ready>
void WaitUntil(Ready ready) {
    for (int spins = 0; !ready(); ++spins) {
        if (spins < 256) {
            YieldProcessor();
        } else {
            SwitchToThread();
        }
    }
}

DWORD WINAPI Decoder::TransformWorker(void* self) {
    Decoder& d = *static_cast<Decoder*>(self);
    for (int row = 0; row < d.mcusDown_; ++row) {
        WaitUntil([&] { return d.rowsDecoded_.load() > row || d.stopped_.load(); });
        // The decoding thread stopped short: it decoded no more rows.
        if (d.rowsDecoded_.load() <= row) return 0;
        d.TransformRow(row, d.slots_[row % kSlots].get(), false);
        d.ConvertRow(row);
        // The row's coefficients and samples may now be written over.
        d.rowsConverted_.store(row + 1);
    }
    return 0;
}
#endif

bool Decoder::Decode(unsigned char* rows, std::ptrdiff_t stride, Cores cores) {
    rows_ = rows;
    stride_ = stride;
    // Every block takes two bits at least: a file too short for the blocks
    // its frame claims is declined before anything is made for them.
    const size_t blocks = static_cast<size_t>(blocksPerMcu_) * mcusAcross_ * mcusDown_;
    if (blocks / 4 > size_ - scanData_) return false;
    for (Component& c : components_) {
        c.strips.reset(new uint8_t[static_cast<size_t>(c.stripWidth) * c.stripHeight * kStrips]);
        c.predictor = 0;
    }
    bits_ = BitReader{data_ + scanData_, data_ + size_};
    untilRestart_ = restartInterval_;
    const size_t rowCoefficients = 64 * static_cast<size_t>(blocksPerMcu_) * mcusAcross_;
#ifdef _WIN32
    KernelHandle worker;
    if (cores == Cores::Both) {
        for (CoefficientRow& slot : slots_) slot.reset(new int16_t[rowCoefficients]);
        worker.reset(CreateThread(nullptr, 0, &Decoder::TransformWorker, this, 0, nullptr));
    }
    if (worker) {
        bool whole = true;
        for (int row = 0; row < mcusDown_; ++row) {
            WaitUntil([&] { return rowsConverted_.load() > row - kSlots; });
            if (!DecodeRow(slots_[row % kSlots].get())) {
                whole = false;
                break;
            }
            TransformRow(row, slots_[row % kSlots].get(), true);
            rowsDecoded_.store(row + 1);
        }
        // A worker waiting for a row that will not come is told so.
        stopped_.store(true);
        WaitForSingleObject(worker.get(), INFINITE);
        return whole;
    }
#else
    (void)cores;
#endif
    // One thread: each row decoded, transformed and converted.
    CoefficientRow coefficients(new int16_t[rowCoefficients]);
    for (int row = 0; row < mcusDown_; ++row) {
        if (!DecodeRow(coefficients.get())) return false;
        TransformRow(row, coefficients.get(), true);
        TransformRow(row, coefficients.get(), false);
        ConvertRow(row);
    }
    return true;
}

}  // namespace

bool ReadDecodableJpeg(const Bytes& jpeg, int& width, int& height) {
    Decoder decoder(jpeg);
    if (!decoder.ReadHeaders()) return false;
    width = decoder.Width();
    height = decoder.Height();
    return true;
}

bool DecodeJpeg(const Bytes& jpeg, unsigned char* rows, std::ptrdiff_t stride, Cores cores) {
    // Short of memory for its working rows, it declines like for any other reason.
    try {
        Decoder decoder(jpeg);
        return rows && decoder.ReadHeaders() && (stride < 0 ? -stride : stride) >= 3LL * decoder.Width() &&
               decoder.Decode(rows, stride, cores);
    } catch (...) {
        return false;
    }
}

void ReadJpegResolution(const Bytes& jpeg, double& dpiX, double& dpiY) {
    dpiX = dpiY = 0;
    // The first segment after the start, when it is JFIF's.
    if (jpeg.size() < 20 || jpeg[2] != 0xFF || jpeg[3] != 0xE0 || std::memcmp(&jpeg[6], "JFIF", 5) != 0) return;
    const int unit = jpeg[13], x = jpeg[14] << 8 | jpeg[15], y = jpeg[16] << 8 | jpeg[17];
    // Unit 0 gives only the pixels' shape, which that service does not report.
    if (unit != 1 && unit != 2) return;
    const double scale = unit == 2 ? 2.54 : 1.0;
    dpiX = x * scale;
    dpiY = y * scale;
}

}  // namespace varnel

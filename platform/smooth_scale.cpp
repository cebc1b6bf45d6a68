#include "platform/smooth_scale.h"

#include <algorithm>
#include <cmath>

#include "platform/bmp_format.h"
#include "platform/handles.h"

namespace varnel {

namespace {

constexpr int kWeightBits = 14;
constexpr int kWeightOne = 1 << kWeightBits;

// For every target pixel along one axis, the first source pixel it reads
// and the weights of that one and the ones after it, summing to kWeightOne.
struct Taps {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<int> weights;  // `width` per target pixel
    int width = 0;
};

Taps MakeTaps(int sourceLength, int targetLength, int keptLength) {
    Taps taps;
    const double scale = static_cast<double>(sourceLength) / targetLength;
    // Shrinking averages the source pixels each target pixel covers, in
    // proportion to how much of each it covers; enlarging is bilinear.
    const bool shrinking = scale > 1;
    const double reach = shrinking ? scale / 2 : 1;
    taps.width = static_cast<int>(std::ceil(reach * 2)) + 2;
    taps.first.resize(keptLength);
    taps.count.resize(keptLength);
    taps.weights.assign(static_cast<size_t>(keptLength) * taps.width, 0);
    std::vector<double> raw(taps.width);
    for (int i = 0; i < keptLength; ++i) {
        // Enlarging, the imaging service reads target pixel i at source
        // coordinate i * scale, the source pixels' centres lying on whole
        // coordinates; the same here keeps a small picture where it was.
        const double centre = shrinking ? (i + 0.5) * scale : i * scale + 0.5;
        int first = std::max(static_cast<int>(std::floor(centre - reach)), 0);
        int last = std::min(static_cast<int>(std::ceil(centre + reach)) - 1, sourceLength - 1);
        if (last - first + 1 > taps.width) last = first + taps.width - 1;
        if (last < first) first = last = std::clamp(static_cast<int>(centre), 0, sourceLength - 1);
        double sum = 0;
        for (int j = first; j <= last; ++j) {
            const double covered = std::min(j + 1.0, centre + reach) - std::max(static_cast<double>(j), centre - reach);
            const double weight = shrinking ? covered : 1.0 - std::fabs(j + 0.5 - centre);
            raw[j - first] = std::max(0.0, weight);
            sum += raw[j - first];
        }
        int* weights = &taps.weights[static_cast<size_t>(i) * taps.width];
        int given = 0, heaviest = 0;
        for (int j = 0; j <= last - first; ++j) {
            weights[j] = sum > 0 ? static_cast<int>(raw[j] / sum * kWeightOne + 0.5) : 0;
            given += weights[j];
            if (weights[j] > weights[heaviest]) heaviest = j;
        }
        // Rounding must neither lighten nor darken a flat area.
        weights[heaviest] += kWeightOne - given;
        taps.first[i] = first;
        taps.count[i] = last - first + 1;
    }
    return taps;
}

// The target rows [from, to) of a scaling, made from the source rows they read.
struct Band {
    const unsigned char* rows = nullptr;
    ptrdiff_t stride = 0;
    const Taps* across = nullptr;
    const Taps* down = nullptr;
    int sourceWidth = 0;
    int from = 0, to = 0;
    uint32_t* out = nullptr;
    bool made = false;
};

// One source row of `sourceWidth` pixels scaled across, with 8 bits below
// the value's own.
void ScaleAcross(const unsigned char* source, int sourceWidth, const Taps& across, uint16_t* line) {
    constexpr int shift = kWeightBits - 8;
    auto put = [line](int x, int b, int g, int r) {
        line[x * 3] = static_cast<uint16_t>((b + (1 << (shift - 1))) >> shift);
        line[x * 3 + 1] = static_cast<uint16_t>((g + (1 << (shift - 1))) >> shift);
        line[x * 3 + 2] = static_cast<uint16_t>((r + (1 << (shift - 1))) >> shift);
    };
    const int keptWidth = static_cast<int>(across.first.size());
    int x = 0;
    // Four taps a pixel (every enlarging, and shrinking by up to half) are
    // summed without a loop: the weights past a pixel's own taps are 0, so
    // the sums are the same, as long as the four pixels are in the row.
    if (across.width == 4) {
        for (; x < keptWidth && across.first[x] + 4 <= sourceWidth; ++x) {
            const unsigned char* p = source + static_cast<ptrdiff_t>(across.first[x]) * 3;
            const int* w = &across.weights[static_cast<size_t>(x) * 4];
            put(x, p[0] * w[0] + p[3] * w[1] + p[6] * w[2] + p[9] * w[3],
                p[1] * w[0] + p[4] * w[1] + p[7] * w[2] + p[10] * w[3],
                p[2] * w[0] + p[5] * w[1] + p[8] * w[2] + p[11] * w[3]);
        }
    }
    for (; x < keptWidth; ++x) {
        const unsigned char* pixel = source + static_cast<ptrdiff_t>(across.first[x]) * 3;
        const int* weights = &across.weights[static_cast<size_t>(x) * across.width];
        int b = 0, g = 0, r = 0;
        for (int k = 0; k < across.count[x]; ++k, pixel += 3) {
            b += pixel[0] * weights[k];
            g += pixel[1] * weights[k];
            r += pixel[2] * weights[k];
        }
        put(x, b, g, r);
    }
}

void ScaleBand(Band& band) {
    const Taps& across = *band.across;
    const Taps& down = *band.down;
    const int keptWidth = static_cast<int>(across.first.size());
    const size_t lineLength = static_cast<size_t>(keptWidth) * 3;
    // Only the source rows one target row reads are held, scaled across:
    // consecutive rows, so each has a slot of its own among `window`, and
    // the next target rows mostly find theirs already made.
    const int window = down.width;
    std::vector<uint16_t> lines(static_cast<size_t>(window) * lineLength);
    std::vector<int> held(static_cast<size_t>(window), -1);
    auto lineOf = [&](int y) {
        const int slot = y % window;
        uint16_t* line = &lines[static_cast<size_t>(slot) * lineLength];
        if (held[slot] != y) {
            ScaleAcross(band.rows + band.stride * y, band.sourceWidth, across, line);
            held[slot] = y;
        }
        return line;
    };
    std::vector<uint32_t> sums(lineLength);
    for (int y = band.from; y < band.to; ++y) {
        std::fill(sums.begin(), sums.end(), (1u << (kWeightBits + 8 - 1)));
        const int* weights = &down.weights[static_cast<size_t>(y) * down.width];
        for (int k = 0; k < down.count[y]; ++k) {
            const uint16_t* line = lineOf(down.first[y] + k);
            const uint32_t weight = static_cast<uint32_t>(weights[k]);
            for (size_t i = 0; i < lineLength; ++i) sums[i] += line[i] * weight;
        }
        uint32_t* target = band.out + static_cast<size_t>(y) * keptWidth;
        for (int x = 0; x < keptWidth; ++x) {
            auto channel = [&](int c) { return std::min<uint32_t>(sums[x * 3 + c] >> (kWeightBits + 8), 255); };
            target[x] = channel(0) | (channel(1) << 8) | (channel(2) << 16);
        }
    }
    band.made = true;
}

DWORD WINAPI ScaleBandApart(void* band) {
    // Short of memory the band is only not made.
    try {
        ScaleBand(*static_cast<Band*>(band));
    } catch (...) {
    }
    return 0;
}

// Below this many target pixels a second thread costs more than it saves.
constexpr int kPixelsWorthSharing = 1 << 17;

}  // namespace

std::vector<uint32_t> ScaleRows24(const unsigned char* rows, ptrdiff_t stride, int sourceWidth, int sourceHeight,
                                  int drawnWidth, int drawnHeight, int keptWidth, int keptHeight) {
    if (!rows || sourceWidth <= 0 || sourceHeight <= 0 || drawnWidth <= 0 || drawnHeight <= 0 || keptWidth <= 0 ||
        keptHeight <= 0) {
        return {};
    }
    keptWidth = std::min(keptWidth, drawnWidth);
    keptHeight = std::min(keptHeight, drawnHeight);
    try {
        const Taps across = MakeTaps(sourceWidth, drawnWidth, keptWidth);
        const Taps down = MakeTaps(sourceHeight, drawnHeight, keptHeight);
        std::vector<uint32_t> out(static_cast<size_t>(keptWidth) * keptHeight);
        // The lower half on a thread of its own, when it is worth one.
        const bool shared = keptHeight >= 2 && static_cast<long long>(keptWidth) * keptHeight >= kPixelsWorthSharing;
        Band upper{rows, stride, &across, &down, sourceWidth, 0, shared ? keptHeight / 2 : keptHeight, out.data()};
        Band lower{rows, stride, &across, &down, sourceWidth, upper.to, keptHeight, out.data()};
        KernelHandle apart(shared ? CreateThread(nullptr, 0, &ScaleBandApart, &lower, 0, nullptr) : nullptr);
        try {
            ScaleBand(upper);
        } catch (...) {
        }
        if (apart) WaitForSingleObject(apart.get(), INFINITE);
        if (shared && !apart) ScaleBand(lower);
        if (!upper.made || (shared && !lower.made)) return {};
        return out;
    } catch (...) {
        return {};
    }
}

namespace {

// The image's pixels scaled, or nothing when it is not whole.
std::vector<uint32_t> ScaleBmpRows(const Bytes& bmp, int drawnWidth, int drawnHeight, int keptWidth,
                                   int keptHeight) {
    BmpHeader header;
    if (!IsWholeBmp24(bmp, &header) || header.width <= 0 || header.height <= 0) return {};
    // The file stores its rows bottom-up: the top row is the last.
    const unsigned char* top = bmp.data() + header.offBits + header.stride * (header.height - 1);
    return ScaleRows24(top, -static_cast<ptrdiff_t>(header.stride), header.width, header.height, drawnWidth,
                       drawnHeight, keptWidth, keptHeight);
}

}  // namespace

Bytes ScaleBmp24(const Bytes& bmp, int width, int height) {
    const std::vector<uint32_t> pixels = ScaleBmpRows(bmp, width, height, width, height);
    if (pixels.empty()) return {};
    Bytes scaled = MakeBmp24(width, height, nullptr, 0);
    BmpHeader header;
    if (!IsWholeBmp24(scaled, &header)) return {};
    const size_t stride = header.stride;
    unsigned char* rows = scaled.data() + header.offBits;
    for (int y = 0; y < height; ++y) {
        unsigned char* out = rows + stride * static_cast<size_t>(height - 1 - y);
        const uint32_t* in = pixels.data() + static_cast<size_t>(width) * y;
        for (int x = 0; x < width; ++x, out += 3) {
            out[0] = static_cast<unsigned char>(in[x]);
            out[1] = static_cast<unsigned char>(in[x] >> 8);
            out[2] = static_cast<unsigned char>(in[x] >> 16);
        }
    }
    return scaled;
}

bool DrawBmpSmooth(HDC dc, const Bytes& bmp, int drawnWidth, int drawnHeight, int width, int height) {
    const int keptWidth = std::min(width, drawnWidth), keptHeight = std::min(height, drawnHeight);
    std::vector<uint32_t> pixels = dc ? ScaleBmpRows(bmp, drawnWidth, drawnHeight, keptWidth, keptHeight)
                                      : std::vector<uint32_t>();
    if (pixels.empty()) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = keptWidth;
    info.bmiHeader.biHeight = -keptHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(keptWidth), static_cast<DWORD>(keptHeight), 0, 0, 0,
                             static_cast<UINT>(keptHeight), pixels.data(), &info, DIB_RGB_COLORS) != 0;
}

}  // namespace varnel

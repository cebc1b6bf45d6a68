#include "platform/smooth_scale.h"

#include <algorithm>
#include <cmath>

#include "platform/bmp_format.h"
#include "platform/handles.h"
#include "platform/processor.h"
#include "platform/smooth_scale_kernels.h"

namespace varnel {

namespace {

constexpr int kWeightBits = kScaleWeightBits;
constexpr int kWeightOne = 1 << kWeightBits;

// For every target pixel along one axis, the first source pixel it reads
// and the weights of that one and the ones after it, summing to kWeightOne.
struct Taps {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<int> weights;  // `width` per target pixel
    int width = 0;
    // Four taps a pixel: the weights as the kernels pair them, 16 per pixel.
    std::vector<int16_t> paired;
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
    if (taps.width == 4) {
        taps.paired.assign(static_cast<size_t>(keptLength) * 16, 0);
        for (size_t i = 0; i < static_cast<size_t>(keptLength); ++i) {
            for (int k = 0; k < 4; ++k) {
                for (int channel = 0; channel < 3; ++channel) {
                    taps.paired[i * 16 + (k / 2) * 8 + channel * 2 + k % 2] =
                        static_cast<int16_t>(taps.weights[i * 4 + k]);
                }
            }
        }
    }
    return taps;
}

// The target rows [from, to) of a scaling, made from the source rows they read.
struct Band {
    const unsigned char* rows = nullptr;
    ptrdiff_t stride = 0;
    const Taps* across = nullptr;
    const Taps* down = nullptr;
    const ScaleKernels* kernels = nullptr;
    int sourceWidth = 0;
    int from = 0, to = 0;
    // The target columns made; the output rows hold all kept columns, as
    // 32-bit pixels at `out`, or else as 24-bit ones `outStride` apart.
    int left = 0, right = 0;
    uint32_t* out = nullptr;
    unsigned char* out24 = nullptr;
    ptrdiff_t outStride = 0;
    // Once set, the rows left are shared with a thread of their own.
    const std::atomic<bool>* shareOnce = nullptr;
    bool made = false;
};

void AcrossFourTapsPlain(const unsigned char* row, const int* first, const int16_t* weights, int from, int to,
                         uint16_t* line) {
    constexpr int shift = kWeightBits - 8;
    for (int x = from; x < to; ++x) {
        const unsigned char* p = row + static_cast<ptrdiff_t>(first[x]) * 3;
        const int16_t* w = weights + 16 * static_cast<size_t>(x);
        for (int c = 0; c < 3; ++c) {
            const int sum = p[c] * w[0] + p[c + 3] * w[1] + p[c + 6] * w[8] + p[c + 9] * w[9];
            line[x * 3 + c] = static_cast<uint16_t>((sum + (1 << (shift - 1))) >> shift);
        }
    }
}

void SumDownPlain(const uint16_t* const* lines, const uint32_t* weights, int count, uint32_t* sums, size_t from,
                  size_t to) {
    for (size_t i = from; i < to; ++i) {
        uint32_t sum = kScaleSumStart;
        for (int k = 0; k < count; ++k) sum += lines[k][i] * weights[k];
        sums[i] = sum;
    }
}

void PackPlain(const uint32_t* sums, uint32_t* target, int from, int to) {
    for (int x = from; x < to; ++x) {
        auto channel = [&](int c) { return std::min<uint32_t>(sums[x * 3 + c] >> (kWeightBits + 8), 255); };
        target[x] = channel(0) | (channel(1) << 8) | (channel(2) << 16);
    }
}

void Pack24Plain(const uint32_t* sums, unsigned char* target, int from, int to) {
    for (int i = from * 3; i < to * 3; ++i) {
        target[i] = static_cast<unsigned char>(std::min<uint32_t>(sums[i] >> (kWeightBits + 8), 255));
    }
}

// Target pixels [left, right) of one source row of `sourceWidth` pixels
// scaled across, with 8 bits below the value's own.
void ScaleAcross(const unsigned char* source, int sourceWidth, const Taps& across, const ScaleKernels& kernels,
                 int left, int right, uint16_t* line) {
    constexpr int shift = kWeightBits - 8;
    int x = left;
    // Four taps a pixel (every enlarging, and shrinking by up to half) are
    // summed without a loop: the weights past a pixel's own taps are 0, so
    // the sums are the same, as long as the pixels the kernel reads are in the row.
    if (across.width == 4) {
        int end = x;
        while (end < right && across.first[end] + 6 <= sourceWidth) ++end;
        kernels.acrossFourTaps(source, across.first.data(), across.paired.data(), x, end, line);
        x = end;
    }
    for (; x < right; ++x) {
        const unsigned char* pixel = source + static_cast<ptrdiff_t>(across.first[x]) * 3;
        const int* weights = &across.weights[static_cast<size_t>(x) * across.width];
        int b = 0, g = 0, r = 0;
        for (int k = 0; k < across.count[x]; ++k, pixel += 3) {
            b += pixel[0] * weights[k];
            g += pixel[1] * weights[k];
            r += pixel[2] * weights[k];
        }
        line[x * 3] = static_cast<uint16_t>((b + (1 << (shift - 1))) >> shift);
        line[x * 3 + 1] = static_cast<uint16_t>((g + (1 << (shift - 1))) >> shift);
        line[x * 3 + 2] = static_cast<uint16_t>((r + (1 << (shift - 1))) >> shift);
    }
}

DWORD WINAPI ScaleBandApart(void* band);

// Below this many target pixels a second thread costs more than it saves.
bool WorthSharing(int from, int to, int left, int right) {
    constexpr long long kPixelsWorthSharing = 1 << 17;
    return to - from >= 2 && static_cast<long long>(right - left) * (to - from) >= kPixelsWorthSharing;
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
            ScaleAcross(band.rows + band.stride * y, band.sourceWidth, across, *band.kernels, band.left, band.right,
                        line);
            held[slot] = y;
        }
        return line;
    };
    const size_t from = static_cast<size_t>(band.left) * 3, to = static_cast<size_t>(band.right) * 3;
    std::vector<uint32_t> sums(lineLength);
    // The lines a target row reads, and their weights, but those weighing
    // nothing (enlarging, a row's outermost tap often does).
    std::vector<const uint16_t*> read(static_cast<size_t>(window));
    std::vector<uint32_t> readWeights(static_cast<size_t>(window));
    Band lower;
    KernelHandle apart;
    int end = band.to;
    for (int y = band.from; y < end; ++y) {
        if (band.shareOnce && band.shareOnce->load()) {
            band.shareOnce = nullptr;
            lower = band;
            lower.from = y + (end - y) / 2;
            if (WorthSharing(lower.from, end, band.left, band.right)) {
                apart.reset(CreateThread(nullptr, 0, &ScaleBandApart, &lower, 0, nullptr));
                if (apart) end = lower.from;
            }
        }
        const int* weights = &down.weights[static_cast<size_t>(y) * down.width];
        int count = 0;
        for (int k = 0; k < down.count[y]; ++k) {
            if (weights[k] == 0) continue;
            read[count] = lineOf(down.first[y] + k);
            readWeights[count++] = static_cast<uint32_t>(weights[k]);
        }
        band.kernels->sumDown(read.data(), readWeights.data(), count, sums.data(), from, to);
        if (band.out24) {
            band.kernels->pack24(sums.data(), band.out24 + band.outStride * y, band.left, band.right);
        } else {
            band.kernels->pack(sums.data(), band.out + static_cast<size_t>(y) * keptWidth, band.left, band.right);
        }
    }
    // Nothing above throws once the rows are under way: the thread reading
    // `lower` always ends before it goes.
    if (apart) WaitForSingleObject(apart.get(), INFINITE);
    band.made = !apart || lower.made;
}

DWORD WINAPI ScaleBandApart(void* band) {
    // Short of memory the band is only not made.
    try {
        ScaleBand(*static_cast<Band*>(band));
    } catch (...) {
    }
    return 0;
}

// Makes the band, its lower half on a thread of its own when both cores may
// be taken and it is worth one; when they may be later, the rows left then.
bool ScaleShared(const Band& whole, CoreShare cores) {
    // Both cores from the start: the rows are shared from the first.
    const std::atomic<bool> now{true};
    Band band = whole;
    band.shareOnce = cores.cores == Cores::Both ? &now : cores.awaited;
    try {
        ScaleBand(band);
    } catch (...) {
        return false;
    }
    return band.made;
}

// The target pixels [first, last) whose taps read any of the source pixels [from, to).
void TargetsReading(const Taps& taps, int from, int to, int& first, int& last) {
    const int kept = static_cast<int>(taps.first.size());
    first = 0;
    while (first < kept && taps.first[first] + taps.count[first] <= from) ++first;
    last = first;
    while (last < kept && taps.first[last] < to) ++last;
}

// ScaleRows24 into the room of `into`.
bool ScaleInto(const unsigned char* rows, ptrdiff_t stride, int sourceWidth, int sourceHeight, int drawnWidth,
               int drawnHeight, int keptWidth, int keptHeight, std::vector<uint32_t>& into, CoreShare cores) {
    if (!rows || sourceWidth <= 0 || sourceHeight <= 0 || drawnWidth <= 0 || drawnHeight <= 0 || keptWidth <= 0 ||
        keptHeight <= 0) {
        into.clear();
        return false;
    }
    keptWidth = std::min(keptWidth, drawnWidth);
    keptHeight = std::min(keptHeight, drawnHeight);
    try {
        const Taps across = MakeTaps(sourceWidth, drawnWidth, keptWidth);
        const Taps down = MakeTaps(sourceHeight, drawnHeight, keptHeight);
        into.resize(static_cast<size_t>(keptWidth) * keptHeight);
        if (ScaleShared(Band{rows, stride, &across, &down, &ChooseScaleKernels(), sourceWidth, 0, keptHeight, 0,
                             keptWidth, into.data()},
                        cores)) {
            return true;
        }
    } catch (...) {
    }
    into.clear();
    return false;
}

}  // namespace

const ScaleKernels& ScaleKernelsPlain() {
    static constexpr ScaleKernels plain{&AcrossFourTapsPlain, &SumDownPlain, &PackPlain, &Pack24Plain};
    return plain;
}

const ScaleKernels& ChooseScaleKernels() { return ProcessorHasAvx2() ? ScaleKernelsAvx2() : ScaleKernelsPlain(); }

std::vector<uint32_t> ScaleRows24(const unsigned char* rows, ptrdiff_t stride, int sourceWidth, int sourceHeight,
                                  int drawnWidth, int drawnHeight, int keptWidth, int keptHeight, CoreShare cores) {
    std::vector<uint32_t> out;
    ScaleInto(rows, stride, sourceWidth, sourceHeight, drawnWidth, drawnHeight, keptWidth, keptHeight, out, cores);
    return out;
}

bool RescaleChanged(const unsigned char* rows, ptrdiff_t stride, int sourceWidth, int sourceHeight, int drawnWidth,
                    int drawnHeight, int keptWidth, int keptHeight, const RECT& changed,
                    std::vector<uint32_t>& scaled) {
    if (!rows || sourceWidth <= 0 || sourceHeight <= 0 || drawnWidth <= 0 || drawnHeight <= 0 || keptWidth <= 0 ||
        keptHeight <= 0) {
        return false;
    }
    keptWidth = std::min(keptWidth, drawnWidth);
    keptHeight = std::min(keptHeight, drawnHeight);
    if (scaled.size() != static_cast<size_t>(keptWidth) * keptHeight) return false;
    const int left = std::max<int>(changed.left, 0), right = std::min<int>(changed.right, sourceWidth);
    const int top = std::max<int>(changed.top, 0), bottom = std::min<int>(changed.bottom, sourceHeight);
    if (left >= right || top >= bottom) return true;
    try {
        const Taps across = MakeTaps(sourceWidth, drawnWidth, keptWidth);
        const Taps down = MakeTaps(sourceHeight, drawnHeight, keptHeight);
        Band band{rows, stride, &across, &down, &ChooseScaleKernels(), sourceWidth, 0, 0, 0, 0, scaled.data()};
        TargetsReading(across, left, right, band.left, band.right);
        TargetsReading(down, top, bottom, band.from, band.to);
        return band.left >= band.right || band.from >= band.to || ScaleShared(band, Cores::Both);
    } catch (...) {
        return false;
    }
}

bool ScaleBmpRows(const Bytes& bmp, int drawnWidth, int drawnHeight, int keptWidth, int keptHeight,
                  std::vector<uint32_t>& into, CoreShare cores) {
    BmpHeader header;
    if (!IsWholeBmp24(bmp, &header)) {
        into.clear();
        return false;
    }
    return ScaleInto(BmpTopRow(bmp, header), -static_cast<ptrdiff_t>(header.stride), header.width, header.height,
                     drawnWidth, drawnHeight, keptWidth, keptHeight, into, cores);
}

bool ScaleBmp24Into(const Bytes& bmp, int width, int height, Bytes& into, CoreShare cores) {
    BmpHeader source, target;
    try {
        // Scaled straight into the rows of the file image made.
        if (!IsWholeBmp24(bmp, &source) || !ReshapeBmp24(into, width, height) || !IsWholeBmp24(into, &target)) {
            into.clear();
            return false;
        }
        const Taps across = MakeTaps(source.width, width, width);
        const Taps down = MakeTaps(source.height, height, height);
        Band band{BmpTopRow(bmp, source), -static_cast<ptrdiff_t>(source.stride), &across, &down,
                  &ChooseScaleKernels(), source.width, 0, height, 0, width};
        band.out24 = BmpTopRow(into, target);
        band.outStride = -static_cast<ptrdiff_t>(target.stride);
        if (ScaleShared(band, cores)) return true;
    } catch (...) {
    }
    into.clear();
    return false;
}

Bytes ScaleBmp24(const Bytes& bmp, int width, int height, CoreShare cores) {
    Bytes scaled;
    ScaleBmp24Into(bmp, width, height, scaled, cores);
    return scaled;
}

bool DrawScaledRows(HDC dc, const std::vector<uint32_t>& pixels, int width, int height) {
    if (!dc || width <= 0 || height <= 0 || pixels.size() != static_cast<size_t>(width) * height) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                             static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) != 0;
}

bool DrawBmpSmooth(HDC dc, const Bytes& bmp, int drawnWidth, int drawnHeight, int width, int height, CoreShare cores) {
    const int keptWidth = std::min(width, drawnWidth), keptHeight = std::min(height, drawnHeight);
    std::vector<uint32_t> scaled;
    return dc && ScaleBmpRows(bmp, drawnWidth, drawnHeight, keptWidth, keptHeight, scaled, cores) &&
           DrawScaledRows(dc, scaled, keptWidth, keptHeight);
}

}  // namespace varnel

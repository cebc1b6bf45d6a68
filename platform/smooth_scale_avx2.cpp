// The scaling's inner loops with AVX2. Built with AVX2 enabled, and run only
// where the processor has it; nothing here may be shared with the rest of
// the program, which must run without it.
#include <cstring>

#include "platform/smooth_scale_kernels.h"

#if defined(__i386__) || defined(__x86_64__)
#include <immintrin.h>

namespace varnel {

namespace {

void AcrossFourTaps(const unsigned char* row, const int* first, const int16_t* weights, int from, int to,
                    uint16_t* line) {
    constexpr int shift = kScaleWeightBits - 8;
    // The four pixels' bytes as 16-bit values: pixels 0 and 1 in the low
    // half, 2 and 3 in the high half, the two of each channel side by side,
    // so that one multiply-add sums a pair.
    const __m256i pairs = _mm256_setr_epi8(0, -1, 3, -1, 1, -1, 4, -1, 2, -1, 5, -1, -1, -1, -1, -1,  //
                                           6, -1, 9, -1, 7, -1, 10, -1, 8, -1, 11, -1, -1, -1, -1, -1);
    const __m128i half = _mm_set1_epi32(1 << (shift - 1));
    for (int x = from; x < to; ++x) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + first[x] * 3));
        const __m256i values = _mm256_shuffle_epi8(_mm256_broadcastsi128_si256(bytes), pairs);
        const __m256i products = _mm256_madd_epi16(
            values, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights + 16 * static_cast<size_t>(x))));
        __m128i sums = _mm_add_epi32(_mm256_castsi256_si128(products), _mm256_extracti128_si256(products, 1));
        sums = _mm_srli_epi32(_mm_add_epi32(sums, half), shift);
        uint16_t out[8];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi32(sums, sums));
        std::memcpy(line + 3 * static_cast<size_t>(x), out, 3 * sizeof(uint16_t));
    }
}

// Eight values at a time, each line's products added in registers; kCount
// lines, or when it is 0 `count` of them.
template <int kCount>
size_t SumDownEights(const uint16_t* const* lines, const uint32_t* weights, int count, uint32_t* sums, size_t from,
                     size_t to) {
    const int n = kCount > 0 ? kCount : count;
    const __m256i start = _mm256_set1_epi32(static_cast<int>(kScaleSumStart));
    size_t i = from;
    for (; i + 8 <= to; i += 8) {
        __m256i sum = start;
        for (int k = 0; k < n; ++k) {
            const __m256i values =
                _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lines[k] + i)));
            sum = _mm256_add_epi32(sum, _mm256_mullo_epi32(values, _mm256_set1_epi32(static_cast<int>(weights[k]))));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(sums + i), sum);
    }
    return i;
}

void SumDown(const uint16_t* const* lines, const uint32_t* weights, int count, uint32_t* sums, size_t from,
             size_t to) {
    // Enlarging reads two lines, shrinking by up to half four; the counts
    // known here let the loop over the lines unroll.
    size_t i = count == 2   ? SumDownEights<2>(lines, weights, count, sums, from, to)
               : count == 3 ? SumDownEights<3>(lines, weights, count, sums, from, to)
               : count == 4 ? SumDownEights<4>(lines, weights, count, sums, from, to)
                            : SumDownEights<0>(lines, weights, count, sums, from, to);
    for (; i < to; ++i) {
        uint32_t sum = kScaleSumStart;
        for (int k = 0; k < count; ++k) sum += lines[k][i] * weights[k];
        sums[i] = sum;
    }
}

constexpr int kPackShift = kScaleWeightBits + 8;

// The finished sums of four pixels as their twelve channel bytes, then four
// zeros. Saturating packs bound each channel to 255, as the plain loop does.
__m128i FourPixelBytes(const uint32_t* s) {
    const __m128i a = _mm_srli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s)), kPackShift);
    const __m128i b = _mm_srli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4)), kPackShift);
    const __m128i c = _mm_srli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 8)), kPackShift);
    return _mm_packus_epi16(_mm_packus_epi32(a, b), _mm_packus_epi32(c, c));
}

uint32_t ChannelByte(uint32_t sum) { return sum >> kPackShift < 255 ? sum >> kPackShift : 255u; }

void Pack(const uint32_t* sums, uint32_t* target, int from, int to) {
    // Twelve channel bytes of four pixels into four BGRX pixels.
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    int x = from;
    for (; x + 4 <= to; x += 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + x),
                         _mm_shuffle_epi8(FourPixelBytes(sums + 3 * static_cast<size_t>(x)), spread));
    }
    for (; x < to; ++x) {
        const uint32_t* s = sums + 3 * static_cast<size_t>(x);
        target[x] = ChannelByte(s[0]) | (ChannelByte(s[1]) << 8) | (ChannelByte(s[2]) << 16);
    }
}

void Pack24(const uint32_t* sums, unsigned char* target, int from, int to) {
    int x = from;
    for (; x + 4 <= to; x += 4) {
        const __m128i bytes = FourPixelBytes(sums + 3 * static_cast<size_t>(x));
        // Twelve bytes, none past the four pixels.
        unsigned char* out = target + 3 * static_cast<size_t>(x);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
        const int last = _mm_extract_epi32(bytes, 2);
        std::memcpy(out + 8, &last, 4);
    }
    for (int i = 3 * x; i < 3 * to; ++i) target[i] = static_cast<unsigned char>(ChannelByte(sums[i]));
}

}  // namespace

const ScaleKernels& ScaleKernelsAvx2() {
    static constexpr ScaleKernels kernels{&AcrossFourTaps, &SumDown, &Pack, &Pack24};
    return kernels;
}

}  // namespace varnel

#else

namespace varnel {

// Never chosen off x86.
const ScaleKernels& ScaleKernelsAvx2() { return ScaleKernelsPlain(); }

}  // namespace varnel

#endif

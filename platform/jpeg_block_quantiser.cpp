#include "platform/jpeg_block_quantiser.h"

#include <cstring>

// Four lanes of packed single floats give each lane what one scalar float
// operation gives, as long as scalar float math is SSE too (the 32-bit
// build's x87 keeps more precision and stays on the scalar path).
#if defined(__SSE2__) && defined(__SSE_MATH__)
#define VARNEL_JPEG_SSE 1
#include <immintrin.h>
#endif

namespace varnel {

namespace {

// The same code for one value and for four or eight lanes; always inlined,
// so that inside the eight-lane function it is compiled for that function's
// instruction set.
#define VARNEL_LANES inline __attribute__((always_inline))

template <typename V>
VARNEL_LANES void ToYCbCr(const V& b, const V& g, const V& r, V& y, V& cb, V& cr) {
    y = 0.299f * r + 0.587f * g + 0.114f * b - 128.0f;
    cb = -0.168736f * r - 0.331264f * g + 0.5f * b;
    cr = 0.5f * r - 0.418688f * g - 0.081312f * b;
}

// The separable float DCT of Arai, Agui and Nakajima, in place on 8 values
// `step` apart; its outputs carry scale factors the quantisation takes out.
template <typename V>
VARNEL_LANES void Transform8(V* d, int step) {
    const V t0 = d[0] + d[7 * step], t7 = d[0] - d[7 * step];
    const V t1 = d[step] + d[6 * step], t6 = d[step] - d[6 * step];
    const V t2 = d[2 * step] + d[5 * step], t5 = d[2 * step] - d[5 * step];
    const V t3 = d[3 * step] + d[4 * step], t4 = d[3 * step] - d[4 * step];
    V t10 = t0 + t3, t13 = t0 - t3, t11 = t1 + t2, t12 = t1 - t2;
    d[0] = t10 + t11;
    d[4 * step] = t10 - t11;
    const V z1 = (t12 + t13) * 0.707106781f;
    d[2 * step] = t13 + z1;
    d[6 * step] = t13 - z1;
    t10 = t4 + t5;
    t11 = t5 + t6;
    t12 = t6 + t7;
    const V z5 = (t10 - t12) * 0.382683433f;
    const V z2 = 0.541196100f * t10 + z5;
    const V z4 = 1.306562965f * t12 + z5;
    const V z3 = t11 * 0.707106781f;
    const V z11 = t7 + z3, z13 = t7 - z3;
    d[5 * step] = z13 + z2;
    d[3 * step] = z13 - z2;
    d[step] = z11 + z4;
    d[7 * step] = z11 - z4;
}

#ifdef VARNEL_JPEG_SSE
// The pixels column by column, blue, green and red in the low three bytes of
// each: the first pass of the transform, along the rows, then runs across
// the vectors.
VARNEL_LANES void GatherColumns(const JpegBlockPixels& pixels, uint32_t* bgr) {
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const unsigned char* p = pixels.rows[y] + pixels.columns[x];
            if (pixels.inside) {
                std::memcpy(bgr + x * 8 + y, p, 4);
            } else {
                bgr[x * 8 + y] = p[0] | p[1] << 8 | p[2] << 16;
            }
        }
    }
}

// What lroundf gives (halves away from zero), four values at a time: the
// truncation, then one up or down when the exact rest reaches a half.
__m128i RoundHalfAway(__m128 value) {
    const __m128i whole = _mm_cvttps_epi32(value);
    const __m128 rest = _mm_sub_ps(value, _mm_cvtepi32_ps(whole));
    const __m128i up = _mm_castps_si128(_mm_cmpge_ps(rest, _mm_set1_ps(0.5f)));
    const __m128i down = _mm_castps_si128(_mm_cmple_ps(rest, _mm_set1_ps(-0.5f)));
    return _mm_add_epi32(_mm_sub_epi32(whole, up), down);
}

void QuantiseFour(const JpegBlockPixels& pixels, const float* const* divisors, int16_t (*quantised)[64]) {
    alignas(16) uint32_t bgr[64];
    GatherColumns(pixels, bgr);
    // planes[k][x * 2 + half]: column x, rows 4 * half to 4 * half + 3.
    __m128 planes[3][16];
    const __m128i byte = _mm_set1_epi32(0xFF);
    for (int i = 0; i < 16; ++i) {
        const __m128i packed = _mm_load_si128(reinterpret_cast<const __m128i*>(bgr) + i);
        ToYCbCr(_mm_cvtepi32_ps(_mm_and_si128(packed, byte)),
                _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(packed, 8), byte)),
                _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(packed, 16), byte)), planes[0][i], planes[1][i],
                planes[2][i]);
    }
    for (int k = 0; k < 3; ++k) {
        __m128* d = planes[k];
        Transform8(d, 2);
        Transform8(d + 1, 2);
        // Back to rows: d[y * 2 + half] holds row y, columns 4 * half on.
        for (int half = 0; half < 2; ++half) {
            _MM_TRANSPOSE4_PS(d[half], d[2 + half], d[4 + half], d[6 + half]);
            _MM_TRANSPOSE4_PS(d[8 + half], d[10 + half], d[12 + half], d[14 + half]);
        }
        for (int i = 1; i < 8; i += 2) {
            const __m128 swapped = d[i];
            d[i] = d[i + 7];
            d[i + 7] = swapped;
        }
        Transform8(d, 2);
        Transform8(d + 1, 2);
        for (int i = 0; i < 16; i += 2) {
            const __m128i low = RoundHalfAway(_mm_mul_ps(d[i], _mm_loadu_ps(divisors[k] + i * 4)));
            const __m128i high = RoundHalfAway(_mm_mul_ps(d[i + 1], _mm_loadu_ps(divisors[k] + i * 4 + 4)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(quantised[k] + i * 4), _mm_packs_epi32(low, high));
        }
    }
}

// The same with eight lanes, a whole row or column of a block in each. AVX2
// brings no fused multiply-add: products and sums stay apart as in the
// scalar code.
__attribute__((target("avx2"))) void Transpose8(__m256* d) {
    __m256 pairs[8], quads[8];
    for (int i = 0; i < 8; i += 2) {
        pairs[i] = _mm256_unpacklo_ps(d[i], d[i + 1]);
        pairs[i + 1] = _mm256_unpackhi_ps(d[i], d[i + 1]);
    }
    for (int i = 0; i < 8; i += 4) {
        quads[i] = _mm256_shuffle_ps(pairs[i], pairs[i + 2], 0x44);
        quads[i + 1] = _mm256_shuffle_ps(pairs[i], pairs[i + 2], 0xEE);
        quads[i + 2] = _mm256_shuffle_ps(pairs[i + 1], pairs[i + 3], 0x44);
        quads[i + 3] = _mm256_shuffle_ps(pairs[i + 1], pairs[i + 3], 0xEE);
    }
    for (int i = 0; i < 4; ++i) {
        d[i] = _mm256_permute2f128_ps(quads[i], quads[i + 4], 0x20);
        d[i + 4] = _mm256_permute2f128_ps(quads[i], quads[i + 4], 0x31);
    }
}

__attribute__((target("avx2"))) __m256i RoundHalfAway(__m256 value) {
    const __m256i whole = _mm256_cvttps_epi32(value);
    const __m256 rest = _mm256_sub_ps(value, _mm256_cvtepi32_ps(whole));
    const __m256i up = _mm256_castps_si256(_mm256_cmp_ps(rest, _mm256_set1_ps(0.5f), _CMP_GE_OQ));
    const __m256i down = _mm256_castps_si256(_mm256_cmp_ps(rest, _mm256_set1_ps(-0.5f), _CMP_LE_OQ));
    return _mm256_add_epi32(_mm256_sub_epi32(whole, up), down);
}

__attribute__((target("avx2"))) void QuantiseEight(const JpegBlockPixels& pixels, const float* const* divisors,
                                                   int16_t (*quantised)[64]) {
    alignas(32) uint32_t bgr[64];
    GatherColumns(pixels, bgr);
    // planes[k][x]: column x.
    __m256 planes[3][8];
    const __m256i byte = _mm256_set1_epi32(0xFF);
    for (int x = 0; x < 8; ++x) {
        const __m256i packed = _mm256_load_si256(reinterpret_cast<const __m256i*>(bgr) + x);
        ToYCbCr(_mm256_cvtepi32_ps(_mm256_and_si256(packed, byte)),
                _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srli_epi32(packed, 8), byte)),
                _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srli_epi32(packed, 16), byte)), planes[0][x],
                planes[1][x], planes[2][x]);
    }
    for (int k = 0; k < 3; ++k) {
        __m256* d = planes[k];
        Transform8(d, 1);
        Transpose8(d);
        Transform8(d, 1);
        for (int y = 0; y < 8; ++y) {
            const __m256i rounded = RoundHalfAway(_mm256_mul_ps(d[y], _mm256_loadu_ps(divisors[k] + y * 8)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(quantised[k] + y * 8),
                             _mm_packs_epi32(_mm256_castsi256_si128(rounded), _mm256_extracti128_si256(rounded, 1)));
        }
    }
}
#else
// What lroundf gives (halves away from zero) without a library call per
// coefficient: the difference from the truncation is exact in float.
inline int RoundHalfAway(float value) {
    const int whole = static_cast<int>(value);
    const float rest = value - static_cast<float>(whole);
    return whole + (rest >= 0.5f) - (rest <= -0.5f);
}

void QuantiseOne(const JpegBlockPixels& pixels, const float* const* divisors, int16_t (*quantised)[64]) {
    float planes[3][64];
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const unsigned char* p = pixels.rows[y] + pixels.columns[x];
            ToYCbCr<float>(p[0], p[1], p[2], planes[0][y * 8 + x], planes[1][y * 8 + x], planes[2][y * 8 + x]);
        }
    }
    for (int k = 0; k < 3; ++k) {
        float* block = planes[k];
        for (int row = 0; row < 8; ++row) Transform8(block + row * 8, 1);
        for (int column = 0; column < 8; ++column) Transform8(block + column, 8);
        for (int i = 0; i < 64; ++i) quantised[k][i] = static_cast<int16_t>(RoundHalfAway(block[i] * divisors[k][i]));
    }
}
#endif

}  // namespace

JpegQuantiser ChooseJpegQuantiser() {
#ifdef VARNEL_JPEG_SSE
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? &QuantiseEight : &QuantiseFour;
#else
    return &QuantiseOne;
#endif
}

void MakeJpegDivisors(const uint8_t* table, float* divisors) {
    static constexpr float kScale[8] = {1.0f, 1.387039845f, 1.306562965f, 1.175875602f,
                                        1.0f, 0.785694958f, 0.541196100f, 0.275899379f};
    for (int i = 0; i < 64; ++i) divisors[i] = 1.0f / (table[i] * kScale[i / 8] * kScale[i % 8] * 8.0f);
}

}  // namespace varnel

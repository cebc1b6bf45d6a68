// The inverse DCT eight columns at a time. Built with AVX2 enabled, and run
// only where the processor has it; nothing here may be shared with the
// rest of the program, which must run without it.
#include "platform/jpeg_idct.h"

#if defined(__i386__) || defined(__x86_64__)
#include <immintrin.h>

#include "platform/jpeg_idct_kernels.h"

namespace varnel {

namespace {

// Eight 32-bit sums side by side; they wrap as the plain kernel's do.
struct Lanes {
    __m256i v;
};
inline Lanes operator+(Lanes a, Lanes b) { return {_mm256_add_epi32(a.v, b.v)}; }
inline Lanes operator-(Lanes a, Lanes b) { return {_mm256_sub_epi32(a.v, b.v)}; }
inline Lanes operator*(Lanes a, int32_t k) { return {_mm256_mullo_epi32(a.v, _mm256_set1_epi32(k))}; }
inline Lanes Scaled(Lanes a) { return {_mm256_slli_epi32(a.v, kConstBits)}; }

// Rows become columns.
[[gnu::always_inline]] inline void Transpose(const Lanes* in, Lanes* out) {
    __m256i t[8], u[8];
    #pragma GCC unroll 16
    for (int k = 0; k < 8; k += 2) {
        t[k] = _mm256_unpacklo_epi32(in[k].v, in[k + 1].v);
        t[k + 1] = _mm256_unpackhi_epi32(in[k].v, in[k + 1].v);
    }
    #pragma GCC unroll 16
    for (int k = 0; k < 8; k += 4) {
        u[k] = _mm256_unpacklo_epi64(t[k], t[k + 2]);
        u[k + 1] = _mm256_unpackhi_epi64(t[k], t[k + 2]);
        u[k + 2] = _mm256_unpacklo_epi64(t[k + 1], t[k + 3]);
        u[k + 3] = _mm256_unpackhi_epi64(t[k + 1], t[k + 3]);
    }
    #pragma GCC unroll 16
    for (int k = 0; k < 4; ++k) {
        out[k].v = _mm256_permute2x128_si256(u[k], u[k + 4], 0x20);
        out[k + 4].v = _mm256_permute2x128_si256(u[k], u[k + 4], 0x31);
    }
}

// Eight columns of eight rows, each lane a row: bounded as SampleLimit's
// table bounds them (the low 10 bits, less 384, held to 0..255), and
// stored as rows.
[[gnu::always_inline]] inline void Store8x8(const Lanes* column, uint8_t* out, size_t stride) {
    const __m256i low = _mm256_set1_epi32(1023), centre = _mm256_set1_epi32(384);
    __m256i b[8];
    #pragma GCC unroll 16
    for (int k = 0; k < 8; ++k) b[k] = _mm256_sub_epi32(_mm256_and_si256(column[k].v, low), centre);
    // Per half: columns 0-3 (then 4-7) of rows 0-3 (or 4-7), a column's four bytes together.
    const __m256i q0 = _mm256_packus_epi16(_mm256_packs_epi32(b[0], b[1]), _mm256_packs_epi32(b[2], b[3]));
    const __m256i q1 = _mm256_packus_epi16(_mm256_packs_epi32(b[4], b[5]), _mm256_packs_epi32(b[6], b[7]));
    const __m256i byRow = _mm256_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15,
                                           0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
    const __m256i s0 = _mm256_shuffle_epi8(q0, byRow), s1 = _mm256_shuffle_epi8(q1, byRow);
    // Rows 0, 1 | 4, 5 and rows 2, 3 | 6, 7, eight bytes each.
    const __m256i rows[2] = {_mm256_unpacklo_epi32(s0, s1), _mm256_unpackhi_epi32(s0, s1)};
    #pragma GCC unroll 16
    for (int k = 0; k < 2; ++k) {
        const __m128i top = _mm256_castsi256_si128(rows[k]), bottom = _mm256_extracti128_si256(rows[k], 1);
        uint8_t* o = out + stride * static_cast<size_t>(2 * k);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o), top);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o + stride), _mm_srli_si128(top, 8));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o + 4 * stride), bottom);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o + 5 * stride), _mm_srli_si128(bottom, 8));
    }
}

// One shape of block, so that the loops unroll and the sums stay in
// registers (the optimiser leaves short loops of vectors rolled, through
// memory, unless told).
template <int wide, int high>
void Transform(const int16_t* in, const int* quant, uint8_t* out, size_t stride) {
    // Each lane a column of the block: its rows are the kernel's inputs.
    Lanes x[8], work[high];
    #pragma GCC unroll 16
    for (int r = 0; r < 8; ++r) {
        const __m128i row = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 8 * r));
        const __m256i coefficients = _mm256_cvtepi16_epi32(row);
        const __m256i quantizers = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(quant + 8 * r));
        x[r].v = _mm256_mullo_epi32(coefficients, quantizers);
    }
    // The plain code's shortcuts for a column or a row of zeros after its
    // first value give what the kernel gives: a column's sums cannot wrap,
    // and a row's wrap by multiples of 2^32, which the final shift and the
    // low 10 bits looked up take away.
    constexpr int shift1 = kConstBits - kPass1Bits;
    const Lanes fudge1{_mm256_set1_epi32(1 << (shift1 - 1))};
    if constexpr (high == 8) {
        Kernel8(x, fudge1, work);
    } else {
        Kernel16(x, fudge1, work);
    }
    #pragma GCC unroll 16
    for (int r = 0; r < high; ++r) work[r].v = _mm256_srai_epi32(work[r].v, shift1);

    constexpr int shift2 = kConstBits + kPass1Bits + 3;
    constexpr int32_t fudge2 = ((512 << (kPass1Bits + 3)) + (1 << (kPass1Bits + 2))) * (1 << kConstBits);
    #pragma GCC unroll 16
    for (int top = 0; top < high; top += 8) {
        // Each lane now a row: its eight values are the kernel's inputs.
        Lanes w[8], result[wide];
        Transpose(work + top, w);
        if constexpr (wide == 8) {
            Kernel8(w, Lanes{_mm256_set1_epi32(fudge2)}, result);
        } else {
            Kernel16(w, Lanes{_mm256_set1_epi32(fudge2)}, result);
        }
        #pragma GCC unroll 16
        for (int k = 0; k < wide; ++k) result[k].v = _mm256_srai_epi32(result[k].v, shift2);
        #pragma GCC unroll 16
        for (int left = 0; left < wide; left += 8) {
            Store8x8(result + left, out + stride * static_cast<size_t>(top) + left, stride);
        }
    }
}

}  // namespace

void InverseDctAvx2(const int16_t* in, const int* quant, const SampleLimit& limit, int wide, int high, uint8_t* out,
                    size_t stride) {
    // A block of its first coefficient alone comes out flat: the kernels'
    // sums cannot wrap there, and every one is that coefficient scaled.
    const __m256i* block = reinterpret_cast<const __m256i*>(in);
    const __m256i allButFirst = _mm256_setr_epi16(0, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m256i after = _mm256_or_si256(
        _mm256_or_si256(_mm256_and_si256(_mm256_loadu_si256(block), allButFirst), _mm256_loadu_si256(block + 1)),
        _mm256_or_si256(_mm256_loadu_si256(block + 2), _mm256_loadu_si256(block + 3)));
    if (_mm256_testz_si256(after, after)) {
        const __m128i flat = _mm_set1_epi8(static_cast<char>(
            limit((in[0] * quant[0] * (1 << kPass1Bits) + (512 << (kPass1Bits + 3)) + (1 << (kPass1Bits + 2))) >>
                  (kPass1Bits + 3))));
        for (int r = 0; r < high; ++r) {
            uint8_t* o = out + stride * static_cast<size_t>(r);
            if (wide == 8) {
                _mm_storel_epi64(reinterpret_cast<__m128i*>(o), flat);
            } else {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(o), flat);
            }
        }
        return;
    }
    if (high == 8) {
        if (wide == 8) {
            Transform<8, 8>(in, quant, out, stride);
        } else {
            Transform<16, 8>(in, quant, out, stride);
        }
    } else if (wide == 8) {
        Transform<8, 16>(in, quant, out, stride);
    } else {
        Transform<16, 16>(in, quant, out, stride);
    }
}

}  // namespace varnel

#else

namespace varnel {

// Never chosen off x86.
void InverseDctAvx2(const int16_t* in, const int* quant, const SampleLimit& limit, int wide, int high, uint8_t* out,
                    size_t stride) {
    InverseDctPlain(in, quant, limit, wide, high, out, stride);
}

}  // namespace varnel

#endif

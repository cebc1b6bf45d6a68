// The colour conversion sixteen pixels at a time. Built with AVX2 enabled,
// and run only where the processor has it; nothing here may be shared with
// the rest of the program, which must run without it.
#include "platform/jpeg_colour.h"

#if defined(__i386__) || defined(__x86_64__)
#include <immintrin.h>

#include <cstring>

namespace varnel {

namespace {

// Eight colour samples less the 128 they are centred on, in 32-bit lanes.
inline __m256i Centred(const uint8_t* samples) {
    const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(samples));
    return _mm256_sub_epi32(_mm256_cvtepu8_epi32(bytes), _mm256_set1_epi32(128));
}

inline __m256i Times(__m256i x, int32_t k) { return _mm256_mullo_epi32(x, _mm256_set1_epi32(k)); }

// Two sets of eight 16-bit fixed-point sums, shifted down as the tables'
// are (arithmetically), as sixteen 16-bit lanes in order.
inline __m256i Whole(__m256i first, __m256i second) {
    const __m256i packed = _mm256_packs_epi32(_mm256_srai_epi32(first, 16), _mm256_srai_epi32(second, 16));
    // The pack works per 128-bit half: pixels 0-3, 8-11 | 4-7, 12-15.
    return _mm256_permute4x64_epi64(packed, 0xD8);
}

// The tables' sums, in the same fixed point: the luma plus each offset,
// held to 0..255 by saturation as the limit table holds them.
[[gnu::always_inline]] inline void Convert16(const uint8_t* luma, const uint8_t* blue, const uint8_t* red,
                                              uint8_t* out) {
    const __m256i half = _mm256_set1_epi32(32768);
    const __m256i cb0 = Centred(blue), cb1 = Centred(blue + 8), cr0 = Centred(red), cr1 = Centred(red + 8);
    const __m256i b = Whole(_mm256_add_epi32(Times(cb0, 116130), half), _mm256_add_epi32(Times(cb1, 116130), half));
    const __m256i g = Whole(_mm256_add_epi32(_mm256_add_epi32(Times(cb0, -22553), half), Times(cr0, -46802)),
                            _mm256_add_epi32(_mm256_add_epi32(Times(cb1, -22553), half), Times(cr1, -46802)));
    const __m256i r = Whole(_mm256_add_epi32(Times(cr0, 91881), half), _mm256_add_epi32(Times(cr1, 91881), half));
    const __m256i y = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(luma)));
    // Per half (pixels 0-7, then 8-15): eight blues then eight greens, and eight reds.
    const __m256i blueGreen = _mm256_packus_epi16(_mm256_add_epi16(y, b), _mm256_add_epi16(y, g));
    const __m256i reds = _mm256_packus_epi16(_mm256_add_epi16(y, r), _mm256_setzero_si256());
    // Per half, its 24 bytes of blue, green, red: the first 16, then 8.
    const __m256i headFromBlueGreen = _mm256_setr_epi8(
        0, 8, -1, 1, 9, -1, 2, 10, -1, 3, 11, -1, 4, 12, -1, 5,
        0, 8, -1, 1, 9, -1, 2, 10, -1, 3, 11, -1, 4, 12, -1, 5);
    const __m256i headFromRed = _mm256_setr_epi8(
        -1, -1, 0, -1, -1, 1, -1, -1, 2, -1, -1, 3, -1, -1, 4, -1,
        -1, -1, 0, -1, -1, 1, -1, -1, 2, -1, -1, 3, -1, -1, 4, -1);
    const __m256i tailFromBlueGreen = _mm256_setr_epi8(
        13, -1, 6, 14, -1, 7, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1,
        13, -1, 6, 14, -1, 7, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m256i tailFromRed = _mm256_setr_epi8(
        -1, 5, -1, -1, 6, -1, -1, 7, -1, -1, -1, -1, -1, -1, -1, -1,
        -1, 5, -1, -1, 6, -1, -1, 7, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m256i head = _mm256_or_si256(_mm256_shuffle_epi8(blueGreen, headFromBlueGreen),
                                         _mm256_shuffle_epi8(reds, headFromRed));
    const __m256i tail = _mm256_or_si256(_mm256_shuffle_epi8(blueGreen, tailFromBlueGreen),
                                         _mm256_shuffle_epi8(reds, tailFromRed));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(head));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_castsi256_si128(tail));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 24), _mm256_extracti128_si256(head, 1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 40), _mm256_extracti128_si256(tail, 1));
}

}  // namespace

void ColourRowAvx2(const ColourTables&, const SampleLimit&, const uint8_t* luma, const uint8_t* blue,
                   const uint8_t* red, int width, uint8_t* out) {
    int x = 0;
    for (; x + 16 <= width; x += 16) Convert16(luma + x, blue + x, red + x, out + 3 * x);
    if (x == width) return;
    // The last few pixels through copies, so that nothing past the row is read or written.
    const size_t left = static_cast<size_t>(width - x);
    uint8_t y[16] = {}, b[16] = {}, r[16] = {}, pixels[48];
    std::memcpy(y, luma + x, left);
    std::memcpy(b, blue + x, left);
    std::memcpy(r, red + x, left);
    Convert16(y, b, r, pixels);
    std::memcpy(out + 3 * x, pixels, 3 * left);
}

}  // namespace varnel

#else

namespace varnel {

// Never chosen off x86.
void ColourRowAvx2(const ColourTables& tables, const SampleLimit& limit, const uint8_t* luma, const uint8_t* blue,
                   const uint8_t* red, int width, uint8_t* out) {
    ColourRowPlain(tables, limit, luma, blue, red, width, out);
}

}  // namespace varnel

#endif

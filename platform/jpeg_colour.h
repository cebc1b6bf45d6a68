#pragma once
// The colour conversion of the program's own JPEG decoder: a row of Y, Cb
// and Cr samples into blue, green, red pixels, through lookup tables or
// sixteen pixels at a time where the processor has AVX2. Both give the
// very same bytes.
#include <cstdint>

#include "platform/jpeg_idct.h"

namespace varnel {

// YCbCr as JFIF defines it, in 16-bit fixed point, looked up.
struct ColourTables {
    int redOfCr[256], blueOfCb[256], greenOfCb[256], greenOfCr[256];
    ColourTables();
};

// `width` pixels of three bytes each into `out`. The plain path looks up
// `tables` and bounds the sums with `limit`; the vector one works the same
// sums out.
using ColourRowFunction = void (*)(const ColourTables& tables, const SampleLimit& limit, const uint8_t* luma,
                                   const uint8_t* blue, const uint8_t* red, int width, uint8_t* out);

void ColourRowPlain(const ColourTables& tables, const SampleLimit& limit, const uint8_t* luma, const uint8_t* blue,
                    const uint8_t* red, int width, uint8_t* out);
// Only where the processor has AVX2.
void ColourRowAvx2(const ColourTables& tables, const SampleLimit& limit, const uint8_t* luma, const uint8_t* blue,
                   const uint8_t* red, int width, uint8_t* out);

// The fastest of the two this processor runs.
ColourRowFunction ChooseColourRow();

}  // namespace varnel

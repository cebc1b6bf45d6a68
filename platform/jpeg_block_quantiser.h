#pragma once
// The float half of the program's own JPEG encoder: from a block's pixels
// to its quantised coefficients. However it runs (one value at a time, or
// four or eight at once where the processor can), every value goes through
// the same float operations in the same order, so the file's bytes do not
// depend on the processor.
#include <cstdint>

namespace varnel {

// The pixels of one block place: 8 rows, and the byte offsets of 8 pixels
// in each (3 bytes: blue, green, red). A place past the picture's edges
// repeats its last row and column.
struct JpegBlockPixels {
    const unsigned char* rows[8];
    int columns[8];
    // Every pixel is followed by another in its row: four bytes can be read.
    bool inside;
};

// Colour conversion, forward DCT and quantisation of the three components'
// blocks at one place. `divisors` and `quantised` are in natural (row by
// row) order; the divisors carry the transform's scales. Pixels of 0 to 255
// give coefficients within a few thousand: 16 bits hold each.
using JpegQuantiser = void (*)(const JpegBlockPixels& pixels, const float* const* divisors,
                               int16_t (*quantised)[64]);

// The fastest quantiser this processor runs.
JpegQuantiser ChooseJpegQuantiser();

// The divisors of a quantisation table (natural order), with the scales the
// transform leaves in its outputs.
void MakeJpegDivisors(const uint8_t* table, float* divisors);

}  // namespace varnel

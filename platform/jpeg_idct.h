#pragma once
// The inverse DCT of the program's own JPEG decoder: one block's
// coefficients into samples, plainly or eight columns at a time where the
// processor has AVX2. Both give the very same samples.
#include <cstddef>
#include <cstdint>

namespace varnel {

// Final samples are bounded as the imaging service's decoder bounds them:
// centred on 512 and looked up by the low 10 bits, so that even wild sums
// land where its do.
struct SampleLimit {
    uint8_t table[1024];
    SampleLimit();
    uint8_t operator()(int32_t centred) const { return table[centred & 1023]; }
};

// One block's samples, `wide` x `high` (8 or 16 each), into rows `stride`
// apart. `in` holds the coefficients in natural order, each no larger than
// what fits 16 bits once multiplied by its quantizer in `quant`.
using InverseDctFunction = void (*)(const int16_t* in, const int* quant, const SampleLimit& limit, int wide,
                                    int high, uint8_t* out, size_t stride);

void InverseDctPlain(const int16_t* in, const int* quant, const SampleLimit& limit, int wide, int high,
                     uint8_t* out, size_t stride);
// Only where the processor has AVX2.
void InverseDctAvx2(const int16_t* in, const int* quant, const SampleLimit& limit, int wide, int high,
                    uint8_t* out, size_t stride);

// The fastest of the two this processor runs.
InverseDctFunction ChooseInverseDct();

}  // namespace varnel

#pragma once
// The inner loops of the program's own scaling, plainly or with AVX2 where
// the processor has it. Both give the very same values.
#include <cstddef>
#include <cstdint>

namespace varnel {

// Fixed-point weights: a target pixel's weights sum to 1 << kScaleWeightBits.
constexpr int kScaleWeightBits = 14;
// What a target value's sum starts from: half of its last step, which
// rounds it to the nearest.
constexpr uint32_t kScaleSumStart = 1u << (kScaleWeightBits + 8 - 1);

struct ScaleKernels {
    // Target pixels [from, to) of a row read four source pixels each, from
    // `first[x]` on, weighted by `weights` + 16 * x: (w0, w1) three times
    // and two zeros, then (w2, w3) three times and two zeros. Each is written
    // to `line` + 3 * x as B, G, R with 8 bits below the value's own. The
    // row must hold six pixels from each `first[x]` on.
    void (*acrossFourTaps)(const unsigned char* row, const int* first, const int16_t* weights, int from, int to,
                           uint16_t* line);
    // sums[i] = kScaleSumStart + the sum over k < count of
    // lines[k][i] * weights[k], for i in [from, to).
    void (*sumDown)(const uint16_t* const* lines, const uint32_t* weights, int count, uint32_t* sums, size_t from,
                    size_t to);
    // Target pixels [from, to) of finished sums (B, G, R each) as 32-bit BGRX.
    void (*pack)(const uint32_t* sums, uint32_t* target, int from, int to);
    // The same as B, G, R bytes at `target` + 3 * x.
    void (*pack24)(const uint32_t* sums, unsigned char* target, int from, int to);
};

// The fastest kernels this processor runs.
const ScaleKernels& ChooseScaleKernels();

const ScaleKernels& ScaleKernelsPlain();
// Only where the processor has AVX2.
const ScaleKernels& ScaleKernelsAvx2();

}  // namespace varnel

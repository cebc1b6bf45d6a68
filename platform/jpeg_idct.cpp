#include "platform/jpeg_idct.h"

#include <algorithm>
#include <cstring>

#include "platform/jpeg_idct_kernels.h"
#include "platform/processor.h"

namespace varnel {

SampleLimit::SampleLimit() {
    for (int m = 0; m < 1024; ++m) table[m] = static_cast<uint8_t>(std::clamp(m - 384, 0, 255));
}

void InverseDctPlain(const int16_t* in, const int* quant, const SampleLimit& limit, int wide, int high,
                     uint8_t* out, size_t stride) {
    int32_t work[16 * 8];
    Wrapping column[8], result[16];
    constexpr int shift1 = kConstBits - kPass1Bits;
    for (int c = 0; c < 8; ++c) {
        const int16_t* x = in + c;
        if (high == 8 && !x[8] && !x[16] && !x[24] && !x[32] && !x[40] && !x[48] && !x[56]) {
            const int32_t dc = (x[0] * quant[c]) * (1 << kPass1Bits);
            for (int r = 0; r < 8; ++r) work[r * 8 + c] = dc;
            continue;
        }
        for (int r = 0; r < 8; ++r) column[r] = static_cast<Wrapping>(x[r * 8] * quant[r * 8 + c]);
        if (high == 8) {
            Kernel8(column, Wrapping{1} << (shift1 - 1), result);
        } else {
            Kernel16(column, Wrapping{1} << (shift1 - 1), result);
        }
        for (int r = 0; r < high; ++r) work[r * 8 + c] = static_cast<int32_t>(result[r]) >> shift1;
    }
    constexpr int shift2 = kConstBits + kPass1Bits + 3;
    // The centre and the rounding of the final shift, added before it.
    constexpr int32_t fudge2 = ((512 << (kPass1Bits + 3)) + (1 << (kPass1Bits + 2))) * (1 << kConstBits);
    for (int r = 0; r < high; ++r) {
        const int32_t* w = work + r * 8;
        uint8_t* o = out + stride * static_cast<size_t>(r);
        if (wide == 8 && !w[1] && !w[2] && !w[3] && !w[4] && !w[5] && !w[6] && !w[7]) {
            std::memset(o, limit((w[0] + (512 << (kPass1Bits + 3)) + (1 << (kPass1Bits + 2))) >> (kPass1Bits + 3)), 8);
            continue;
        }
        std::copy(w, w + 8, column);
        if (wide == 8) {
            Kernel8(column, Wrapping{fudge2}, result);
        } else {
            Kernel16(column, Wrapping{fudge2}, result);
        }
        for (int k = 0; k < wide; ++k) o[k] = limit(static_cast<int32_t>(result[k]) >> shift2);
    }
}

InverseDctFunction ChooseInverseDct() { return ProcessorHasAvx2() ? InverseDctAvx2 : InverseDctPlain; }

}  // namespace varnel

#include "platform/jpeg_colour.h"

#include "platform/processor.h"

namespace varnel {

ColourTables::ColourTables() {
    for (int i = 0; i < 256; ++i) {
        const int x = i - 128;
        redOfCr[i] = (91881 * x + 32768) >> 16;
        blueOfCb[i] = (116130 * x + 32768) >> 16;
        greenOfCb[i] = -22553 * x + 32768;
        greenOfCr[i] = -46802 * x;
    }
}

void ColourRowPlain(const ColourTables& t, const SampleLimit& limit, const uint8_t* luma, const uint8_t* blue,
                    const uint8_t* red, int width, uint8_t* out) {
    // The samples' own bounds serve the sums: 0 to 255 from 384 on.
    const uint8_t* bound = limit.table + 384;
    for (int x = 0; x < width; ++x, out += 3) {
        const int l = luma[x], b = blue[x], r = red[x];
        out[0] = bound[l + t.blueOfCb[b]];
        out[1] = bound[l + ((t.greenOfCb[b] + t.greenOfCr[r]) >> 16)];
        out[2] = bound[l + t.redOfCr[r]];
    }
}

ColourRowFunction ChooseColourRow() { return ProcessorHasAvx2() ? ColourRowAvx2 : ColourRowPlain; }

}  // namespace varnel

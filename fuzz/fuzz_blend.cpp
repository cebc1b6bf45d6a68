// Untrusted bytes as a picture and a watermark picture: the blend trusts their
// headers only as far as the arrays reach.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/operations/watermark_blend.h"
#include "platform/bmp_format.h"

using namespace varnel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 10) return 0;
    int32_t x, y;
    std::memcpy(&x, data, 4);
    std::memcpy(&y, data + 4, 4);
    // Small offsets are the interesting ones most of the time.
    if (data[8] & 1) x %= 64;
    if (data[8] & 2) y %= 64;
    size_t split = 10 + (size - 10) * data[9] / 256;
    Bytes base(data + 10, data + split);
    Bytes mark(data + split, data + size);
    Bytes result = BlendPictureWatermark(base, mark, x, y);
    bool whole = IsWholeBmp24(base) && IsWholeBmp24(mark);
    if (whole != !result.empty()) abort();
    if (whole) {
        if (result.size() != base.size()) abort();
        // Only pixel bytes may change: the headers stay.
        if (std::memcmp(result.data(), base.data(), 54) != 0) abort();
    }
    return 0;
}

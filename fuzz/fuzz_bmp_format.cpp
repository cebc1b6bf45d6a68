// Untrusted bytes as a BMP file image: the header reader, the whole-image
// check and the writer must never read or write outside their buffers.
#include <cstdint>
#include <cstdlib>

#include "platform/bmp_format.h"

using namespace varnel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes bmp(data, data + size);
    BmpHeader header;
    if (ReadBmpHeader(bmp, header) && IsWholeBmp24(bmp, &header)) {
        // Every byte of every row the check vouched for must lie inside.
        unsigned sum = 0;
        for (int y = 0; y < header.height; ++y) {
            size_t row = static_cast<size_t>(header.offBits) + header.stride * static_cast<size_t>(y);
            for (size_t x = 0; x < static_cast<size_t>(header.width) * 3; ++x) sum += bmp.at(row + x);
        }
        if (header.stride < static_cast<size_t>(header.width) * 3 || header.stride % 4) abort();
        (void)sum;
    }
    // The writer, with sizes taken from the input and rows from its tail.
    if (size >= 4) {
        int width = static_cast<int8_t>(data[0]) * (data[2] % 8 + 1);
        int height = static_cast<int8_t>(data[1]) * (data[3] % 8 + 1);
        size_t rowStride = static_cast<size_t>(width > 0 ? width : 0) * 3;
        size_t need = rowStride * static_cast<size_t>(height > 0 ? height : 0);
        const unsigned char* rows = size - 4 >= need && need ? data + 4 : nullptr;
        Bytes made = MakeBmp24(width, height, rows, rowStride);
        if (width > 0 && height > 0) {
            BmpHeader back;
            if (!IsWholeBmp24(made, &back) || back.width != width || back.height != height) abort();
        } else if (!made.empty()) {
            abort();
        }
    }
    return 0;
}

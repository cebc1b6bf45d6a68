// Untrusted bytes given to the program's own JPEG decoder: nothing is read
// past them, and what it gives back is a whole 24-bit BMP of the size the
// file claims.
#include <cstdint>
#include <cstdlib>

#include "platform/bmp_format.h"
#include "platform/jpeg_decoder.h"

using namespace varnel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Bytes bmp = DecodeJpegToBmp24(Bytes(data, data + size));
    BmpHeader header;
    if (!bmp.empty() && (!IsWholeBmp24(bmp, &header) || header.width <= 0 || header.height <= 0)) abort();
    return 0;
}

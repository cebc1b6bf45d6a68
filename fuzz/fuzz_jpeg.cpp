// Untrusted JPEG metadata and pictures, and the program's own JPEG encoder on
// any pixels: nothing is read or written past the bytes, a kept orientation
// always reads upright, every encoded file is framed as a JPEG, and the
// program's own decoder reads what its encoder wrote.
#include <cstdint>
#include <cstdlib>

#include "platform/exif.h"
#include "platform/jpeg_decoder.h"
#include "platform/jpeg_encoder.h"

using namespace varnel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Bytes source(data, data + size);
    const int orientation = ReadJpegOrientation(source);
    if (orientation < 1 || orientation > 8) abort();
    // A tiny picture of the fuzzer's bytes stands for what a run encodes.
    const int width = size > 0 ? 1 + data[0] % 9 : 1, height = size > 1 ? 1 + data[1] % 9 : 1;
    Bytes pixels(static_cast<size_t>(width * height * 3), 0x80);
    for (size_t i = 0; i < pixels.size() && i < size; ++i) pixels[i] = data[i];
    const Bytes encoded = EncodeJpeg(pixels.data(), width, height, width * 3, 1 + (size > 2 ? data[2] % 100 : 91));
    if (encoded.size() < 4 || encoded[0] != 0xFF || encoded[1] != 0xD8 || encoded[encoded.size() - 2] != 0xFF ||
        encoded[encoded.size() - 1] != 0xD9) {
        abort();
    }
    int decodedWidth = 0, decodedHeight = 0;
    if (ReadDecodableJpeg(source, decodedWidth, decodedHeight) && decodedWidth * decodedHeight <= (1 << 20)) {
        Bytes rows(static_cast<size_t>(decodedWidth) * decodedHeight * 3);
        (void)DecodeJpeg(source, rows.data(), decodedWidth * 3);
    }
    if (!ReadDecodableJpeg(encoded, decodedWidth, decodedHeight) || decodedWidth != width || decodedHeight != height ||
        !DecodeJpeg(encoded, pixels.data(), width * 3)) {
        abort();
    }
    const Bytes kept = WithMetadataOf(encoded, source);
    if (kept.size() < encoded.size() || ReadJpegOrientation(kept) != 1) abort();
    return 0;
}

#pragma once
// The program's own decoder of the JPEGs cameras and most programs write:
// sequential Huffman coding, 8-bit samples, grey or YCbCr with the colour
// sampled at full, half-across or half-both-ways resolution. Its arithmetic
// is that of the imaging service's decoder (the accurate integer inverse DCT,
// the 3:1 triangle upsampling of the colour, the same fixed-point colour
// conversion), so it gives the very same pixels, and it decodes on two
// cores when it may take both. It declines anything else (progressive,
// arithmetic, 12-bit, CMYK, RGB-coded, unusual sampling, damaged files): the
// imaging service then decodes it as before.
#include <cstddef>

#include "platform/bytes.h"
#include "platform/cores.h"

namespace varnel {

// Whether the decoder takes these bytes, judged by their headers, and the
// picture's size as stored (before any EXIF turn). Sizes are checked
// against the picture limit here, before anything is made for them.
bool ReadDecodableJpeg(const Bytes& jpeg, int& width, int& height);

// Decodes into `rows`: the stored picture's top-down rows of width x 3
// bytes in blue, green, red order, `stride` bytes apart. False when the
// decoder declines the bytes or finds them damaged; the rows are then
// partly written.
bool DecodeJpeg(const Bytes& jpeg, unsigned char* rows, std::ptrdiff_t stride, Cores cores = Cores::Both);

// The resolution the file's JFIF header gives, in dots per inch, as the
// imaging service reports it; 0 when there is none to give.
void ReadJpegResolution(const Bytes& jpeg, double& dpiX, double& dpiY);

}  // namespace varnel

#pragma once
// The program's own decoder of the JPEGs cameras and most programs write,
// for showing them: sequential Huffman coding, 8-bit samples, grey or YCbCr
// sampled at most 2 x 2. It declines anything else (progressive, arithmetic,
// 12-bit, CMYK, RGB-coded), which the imaging service then decodes.
#include "platform/bytes.h"

namespace varnel {

// The picture as a 24-bit BMP file image, as stored (the caller turns it
// upright); empty when the decoder declines the bytes or they are damaged.
// Every size the file claims is checked before anything is made for it.
Bytes DecodeJpegToBmp24(const Bytes& jpeg);

}  // namespace varnel

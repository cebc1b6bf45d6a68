#pragma once
// The multiply blend of a watermark picture into a picture, on BMP file
// images in memory; no platform service is involved.
#include "platform/bytes.h"

namespace varnel {

// Multiplies the mark into a copy of the base at (x, y); both are 24-bit BMP
// file images. White mark pixels leave the picture as it is. Empty when either
// is not a whole 24-bit image.
Bytes BlendPictureWatermark(const Bytes& base, const Bytes& mark, int x, int y);

}  // namespace varnel

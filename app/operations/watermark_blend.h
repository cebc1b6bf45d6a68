#pragma once
// The multiply blend of a watermark picture into a picture, on BMP file
// images in memory; no platform service is involved.
#include "platform/bytes.h"

namespace varnel {

// Multiplies the mark into a copy of the base at (x, y); both are 24-bit BMP
// file images. White mark pixels leave the picture as it is. Empty when either
// is not a whole 24-bit image.
Bytes BlendPictureWatermark(const Bytes& base, const Bytes& mark, int x, int y);
// The same into `composed`, whose room is reused; false when it is left empty.
bool BlendPictureWatermarkInto(const Bytes& base, const Bytes& mark, int x, int y, Bytes& composed);

// The same multiply, in place, into rows of `bytesPerPixel` (3 for 24-bit
// BGR, 4 for 32-bit BGRA, whose alpha stays), the top one at `rows` and each
// next one `stride` bytes on (negative for rows stored bottom-up), at (x, y)
// of the picture; false when the mark is not a whole 24-bit image or the rows are
// not what their sizes say.
bool MultiplyMarkInto(unsigned char* rows, int width, int height, int stride, int bytesPerPixel, const Bytes& mark,
                      int x, int y);

}  // namespace varnel

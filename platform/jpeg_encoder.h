#pragma once
// A baseline JPEG encoder of the program's own: every colour sample kept
// (no chroma subsampling), the standard tables scaled to the quality asked
// for. The imaging service's encoder ignores the quality on some systems;
// this one writes the same file everywhere.
#include <cstddef>

#include "platform/bytes.h"

namespace varnel {

// `rows` holds `height` top-down rows of `width` pixels, 3 bytes each in
// blue, green, red order, `stride` bytes apart. Quality 1 to 100. Empty when
// the sizes make no picture.
Bytes EncodeJpeg(const unsigned char* rows, int width, int height, std::ptrdiff_t stride, int quality);

}  // namespace varnel

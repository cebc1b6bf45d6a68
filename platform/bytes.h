#pragma once
#include <string>
#include <vector>

namespace varnel {
// A counted byte buffer: file contents, encoded pictures, BMP file images.
using Bytes = std::vector<unsigned char>;
}  // namespace varnel

#pragma once
// The size a picture file's own headers claim, read without any decoder and
// without trusting a single length in them: a decoder allocates for the
// claim before it finds out how few pixels follow, so a claim too large is
// refused before the bytes ever reach one.
#include <cstddef>

#include "platform/bytes.h"

namespace varnel {

struct ClaimedSize {
    bool known = false;  // the bytes begin like a format read here
    long long width = 0;
    long long height = 0;
    // A place a decoder must read is said to lie past the end (a BMP's
    // pixels, a TIFF's directory or strips): Wine's decoders read there from
    // a memory stream and fault.
    bool readsPastEnd = false;
};

// The largest size claimed anywhere the decoders look (every JPEG frame
// header, the PNG header, the GIF screen and each of its frames, the BMP
// info header, the first TIFF directory, every icon entry and the picture
// inside it). Unknown formats and headers cut short claim nothing.
ClaimedSize ReadClaimedSize(const unsigned char* data, size_t size);

// False when the bytes claim more than kMaxPicturePixels, or a place to
// read past their end.
bool ClaimFitsLimit(const unsigned char* data, size_t size);
inline bool ClaimFitsLimit(const Bytes& bytes) { return ClaimFitsLimit(bytes.data(), bytes.size()); }

}  // namespace varnel

#pragma once
// The few things the program reads and keeps of a JPEG's metadata, on the
// file's bytes alone, trusting no length it finds there.
#include "platform/bytes.h"

namespace varnel {

// The EXIF orientation (1 to 8) of a JPEG's bytes; 1 when there is none or
// the bytes are no JPEG.
int ReadJpegOrientation(const Bytes& jpeg);

// `encoded` (a JPEG) with the application segments of `source` (a JPEG:
// EXIF, XMP, colour profile, IPTC) put after its own header, the EXIF
// orientation set to 1 since the pixels are upright now. `encoded` as it is
// when `source` is no JPEG or has no such segments.
Bytes WithMetadataOf(const Bytes& encoded, const Bytes& source);

}  // namespace varnel

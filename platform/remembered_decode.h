#pragma once
// Decoding picture files once: the last decode is remembered with the bytes
// it came from, and the next file of a run can be decoded ahead on a worker
// thread while the current one is still being worked on.
#include <functional>
#include <string>

#include "platform/bytes.h"
#include "platform/gdiplus_flat.h"

namespace varnel {

// DecodePictureToBmp24, remembering the last bytes decoded this way with
// their picture: showing a file decodes it once, however often its bytes
// come back.
Bytes DecodePictureToBmp24Remembered(const Bytes& fileBytes);

// A copy of the picture decoded from exactly these bytes when they are the
// ones last decoded with remembering, for the caller to own; null otherwise.
Gdiplus::GpImage* CloneRememberedPicture(const Bytes& fileBytes);

// Work to do on the worker with the picture it decoded, which it owns, and
// that picture as a 24-bit BMP file image.
using AfterDecodeAhead = std::function<void(Gdiplus::GpBitmap* picture, const Bytes& bmp)>;

// Starts reading and decoding the file at `path` on a worker thread, then
// runs `then` there when the file was a picture. The decode is taken up
// only by a remembered decode of exactly the bytes the worker read; anything
// else decodes as before. One file at a time: a new start first waits for
// the one before and drops its result.
void DecodePictureAhead(const std::string& path, AfterDecodeAhead then = nullptr);

// Returns once no worker runs; what `then` left may then be read.
void WaitForDecodeAhead();

}  // namespace varnel

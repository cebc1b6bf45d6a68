#pragma once
// Pictures to and from BMP file images with the imaging service and GDI.
#include <windows.h>

#include "platform/bmp_format.h"
#include "platform/bytes.h"
#include "platform/gdiplus_flat.h"

namespace varnel {

// Any picture file (JPEG, PNG, BMP, GIF, TIFF) as a 24-bit BMP file image;
// empty when the bytes are no picture or too large a one.
Bytes DecodePictureToBmp24(const Bytes& fileBytes);
// The same, remembering the last bytes decoded this way with their picture:
// showing a file decodes it once, however often its bytes come back.
Bytes DecodePictureToBmp24Remembered(const Bytes& fileBytes);
// A copy of the picture decoded from exactly these bytes when they are the
// ones last decoded with remembering, for the caller to own; null otherwise.
Gdiplus::GpImage* CloneRememberedPicture(const Bytes& fileBytes);

// Draws a 24-bit BMP file image scaled into the rectangle; false when the
// image is not whole.
bool DrawBmpStretched(HDC dc, const Bytes& bmp, int x, int y, int width, int height);

// The source rectangle of a device context scaled to width x height.
Bytes SnapshotToBmp24(HDC source, int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                      int width, int height);

}  // namespace varnel

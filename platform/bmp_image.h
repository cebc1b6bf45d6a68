#pragma once
// Pictures to and from BMP file images with the imaging service and GDI.
#include <windows.h>

#include "platform/bmp_format.h"
#include "platform/bytes.h"
#include "platform/cores.h"
#include "platform/gdiplus_flat.h"

namespace varnel {

// Any picture file (JPEG, PNG, BMP, GIF, TIFF) as a 24-bit BMP file image;
// empty when the bytes are no picture or too large a one.
Bytes DecodePictureToBmp24(const Bytes& fileBytes);

// Owns one picture of the imaging service.
struct BitmapOwner {
    Gdiplus::GpBitmap* bitmap = nullptr;
    BitmapOwner() = default;
    explicit BitmapOwner(Gdiplus::GpBitmap* b) : bitmap(b) {}
    BitmapOwner(const BitmapOwner&) = delete;
    BitmapOwner& operator=(const BitmapOwner&) = delete;
    ~BitmapOwner() { reset(); }
    void reset(Gdiplus::GpBitmap* b = nullptr) {
        if (bitmap) Gdiplus::DllExports::GdipDisposeImage(bitmap);
        bitmap = b;
    }
};

// The picture in the file bytes; null when they hold none or too large a one.
Gdiplus::GpBitmap* DecodeBitmap(const Bytes& fileBytes);
// A decoded picture as a 24-bit BMP file image.
Bytes BitmapToBmp24(Gdiplus::GpBitmap* bitmap);

// A picture file's bytes decoded into a 24-bit BMP file image `bmp` and the
// imaging service's picture of it; false, both empty, when they are no
// picture. A JPEG the program's own decoder reads is decoded once: the
// picture is made over the image's own pixels, so drawing on it draws on the
// image, and it must be disposed of before the image's buffer goes. Moving
// or swapping the image keeps the buffer.
bool DecodeBmp24AndBitmap(const Bytes& fileBytes, Bytes& bmp, BitmapOwner& picture, Cores cores = Cores::Both);

// What stretching the picture (a 24-bit BMP file image) over all of a
// fresh backing of the given size, and taking the backing scaled to
// width x height gives, written into `into` (its room reused); empty when
// the picture is not whole. Safe on any thread.
void SnapshotOfStretchedPicture(const Bytes& picture, int backingWidth, int backingHeight, int width, int height,
                                Bytes& into, CoreShare cores = Cores::Both);

// The source rectangle of a device context scaled to width x height.
Bytes SnapshotToBmp24(HDC source, int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                      int width, int height);

}  // namespace varnel

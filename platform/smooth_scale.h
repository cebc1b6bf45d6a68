#pragma once
// Scaling a decoded picture for the screen with the program's own filter:
// the imaging service's resampling and GDI's halftone stretching are slow
// software on some systems, and a preview is scaled every time a picture is
// selected (picture mode lays and takes back a whole picture besides).
#include <windows.h>

#include <cstdint>
#include <vector>

#include "platform/bytes.h"
#include "platform/cores.h"

namespace varnel {

// The 24-bit rows (the top one at `rows`, each next one `stride` bytes on,
// which is negative for a bottom-up picture) of a sourceWidth x
// sourceHeight picture scaled to drawnWidth x drawnHeight, of which the top
// left keptWidth x keptHeight are made, as 32-bit BGRX rows top-down:
// bilinear when enlarging, an average of the covered source pixels when
// shrinking. Empty when a size is not positive.
std::vector<uint32_t> ScaleRows24(const unsigned char* rows, ptrdiff_t stride, int sourceWidth,
                                  int sourceHeight, int drawnWidth, int drawnHeight, int keptWidth,
                                  int keptHeight, CoreShare cores = Cores::Both);

// The same for a 24-bit BMP file image, written into `into` (its room
// reused); false, and `into` empty, when the image is not whole.
bool ScaleBmpRows(const Bytes& bmp, int drawnWidth, int drawnHeight, int keptWidth, int keptHeight,
                  std::vector<uint32_t>& into, CoreShare cores = Cores::Both);

// Makes again, in `scaled` (what ScaleRows24 made with the same sizes of a
// picture equal to this one outside `changed`, a rectangle of source
// pixels), the target pixels that read a source pixel inside it: the same
// pixels as scaling the whole picture anew. False, `scaled` then partly
// made, when it is not of the kept size or memory runs short.
bool RescaleChanged(const unsigned char* rows, ptrdiff_t stride, int sourceWidth, int sourceHeight, int drawnWidth,
                    int drawnHeight, int keptWidth, int keptHeight, const RECT& changed,
                    std::vector<uint32_t>& scaled);

// Draws width x height 32-bit BGRX rows, top-down, at the origin of `dc`.
bool DrawScaledRows(HDC dc, const std::vector<uint32_t>& pixels, int width, int height);

// Draws a 24-bit BMP file image scaled to drawnWidth x drawnHeight at the
// origin of `dc`, as far as it reaches into width x height; false when the
// image is not whole or nothing could be drawn.
bool DrawBmpSmooth(HDC dc, const Bytes& bmp, int drawnWidth, int drawnHeight, int width, int height,
                   CoreShare cores = Cores::Both);

// A 24-bit BMP file image scaled to width x height, as a 24-bit BMP file
// image; empty when it is not whole or a size is not positive.
Bytes ScaleBmp24(const Bytes& bmp, int width, int height, CoreShare cores = Cores::Both);
// The same written into `into`, whose room is reused; false, and `into`
// empty, when there is no such image.
bool ScaleBmp24Into(const Bytes& bmp, int width, int height, Bytes& into, CoreShare cores = Cores::Both);

}  // namespace varnel

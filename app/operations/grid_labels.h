#pragma once
// What a grid cut will give, shown on the preview before it is made: each
// cell's piece number and its size in the picture's own pixels.
#include "graphics/canvas/canvas.h"

namespace varnel {

// Labels the cells of a cols x rows grid over a preview of `width` x
// `height` showing a picture of `pictureWidth` x `pictureHeight`, numbered
// as the cut numbers its pieces: row by row, from 1.
void DrawGridLabels(Canvas& canvas, int width, int height, int cols, int rows, int pictureWidth, int pictureHeight);

}  // namespace varnel

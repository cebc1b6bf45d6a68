#include "app/operations/grid_labels.h"

#include <string>

namespace varnel {

void DrawGridLabels(Canvas& canvas, int width, int height, int cols, int rows, int pictureWidth, int pictureHeight) {
    if (cols < 1 || rows < 1 || pictureWidth <= 0 || pictureHeight <= 0) return;
    GdiFontSpec font;
    font.height = 13;
    font.color = RGB(255, 255, 255);
    font.faceName = "Arial";
    // The sizes the cut gives: each cell's share of the picture, cut down to whole pixels.
    const std::string size = std::to_string(pictureWidth / cols) + " x " + std::to_string(pictureHeight / rows);
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            RECT cell{col * width / cols + 4, row * height / rows + 4, (col + 1) * width / cols,
                      (row + 1) * height / rows};
            const std::string text = " " + std::to_string(row * cols + col + 1) + ":  " + size + " ";
            canvas.GdiDrawText(font, RGB(40, 40, 40), text, cell, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        }
    }
}

}  // namespace varnel

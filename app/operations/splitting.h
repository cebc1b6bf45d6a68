#pragma once
// Cutting pictures into equal strips or into the cells of the guide lines' grid.
#include <string>
#include <vector>

#include "platform/bytes.h"

namespace varnel {

// Cuts a picture file's bytes into `count` equal strips, side by side
// (direction 1) or stacked (direction 2), each encoded as PNG bytes.
bool CutPicture(const Bytes& picture, std::vector<Bytes>& pieces, int count, int direction);

// Cuts a picture file's bytes into the cells of a cols x rows grid, writing
// each as PNG bytes to "<folder><title>-<n>.jpg", n from 1, row by row. A
// paced cut waits a second before each write and shows a message after it.
void CutGridPieces(const Bytes& picture, int cols, int rows, const std::string& folder, const std::string& gridTitle,
                   bool paced);

// Makes every folder along the path exist: 0 when it already did, 1 when
// created, -1 when a level could not be made.
int CreateFolderPath(std::string& path);

}  // namespace varnel

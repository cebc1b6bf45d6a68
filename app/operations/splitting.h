#pragma once
// Cutting pictures into equal strips or into the cells of the guide lines' grid.
#include <functional>
#include <string>
#include <vector>

#include "platform/bytes.h"
#include "platform/picture_codec.h"

namespace varnel {

enum class CutDirection { SideBySide = 1, Stacked = 2 };

// Cuts a picture file's bytes into `count` equal strips, each encoded as
// `format`; false, with no pieces, when the picture cannot be cut so.
[[nodiscard]] bool CutPicture(const Bytes& picture, std::vector<Bytes>& pieces, int count, CutDirection direction,
                              PictureFormat format);

// What the caller does around each piece of a grid cut (numbered from 1).
struct GridCutPace {
    std::function<void(int piece, int total)> beforeWrite;
    std::function<void(int piece, int total)> afterWrite;
    // Each piece just written whole, with the bytes it holds.
    std::function<void(const std::string& path, const Bytes& bytes)> written;
};

// Cuts a picture file's bytes into the cells of a cols x rows grid, writing
// each as a JPEG to "<folder><title>-<n>.jpg", n from 1, row by row; the
// number of pieces written.
[[nodiscard]] int CutGridPieces(const Bytes& picture, int cols, int rows, const std::string& folder,
                                const std::string& gridTitle, const GridCutPace& pace = GridCutPace());

}  // namespace varnel

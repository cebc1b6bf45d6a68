#include "app/operations/splitting.h"

#include "graphics/objects/memory_image.h"
#include "platform/file_services.h"
#include "platform/gdiplus_handles.h"

namespace varnel {

namespace {

// Draws one rectangle of the source into a fresh bitmap of the piece's size.
bool DrawPiece(MemoryImage& source, MemoryImage& piece, int width, int height, float sourceX, float sourceY) {
    using namespace Gdiplus::DllExports;
    if (!piece.CreateBitmap(width, height)) return false;
    GraphicsOwner graphics = GraphicsOnImage(piece.GetImage());
    if (!graphics) return false;
    GdipDrawImageRectRect(graphics.get(), source.GetImage(), 0, 0, static_cast<float>(width),
                          static_cast<float>(height), sourceX, sourceY, static_cast<float>(width),
                          static_cast<float>(height), Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
    return true;
}

Bytes Encode(MemoryImage& piece, PictureFormat format) {
    return EncodePicture(static_cast<Gdiplus::GpBitmap*>(piece.GetImage()), format);
}

}  // namespace

bool CutPicture(const Bytes& picture, std::vector<Bytes>& pieces, int count, CutDirection direction,
                PictureFormat format) {
    pieces.clear();
    if (count < 2) return false;
    MemoryImage source;
    if (!source.LoadFromBytes(picture)) return false;
    const int W = source.GetWidth(), H = source.GetHeight();
    int pw, ph, dx, dy;
    if (direction == CutDirection::SideBySide) {
        pw = static_cast<int>(W / static_cast<double>(count));
        ph = H;
        dx = pw;
        dy = 0;
    } else if (direction == CutDirection::Stacked) {
        pw = W;
        ph = static_cast<int>(H / static_cast<double>(count));
        dx = 0;
        dy = ph;
    } else {
        return false;
    }
    // A picture narrower (or lower) than the count has no such pieces; empty
    // ones would replace earlier pieces of the same names with nothing.
    if (pw < 1 || ph < 1) return false;
    pieces.resize(static_cast<size_t>(count));
    MemoryImage piece;
    int sx = 0, sy = 0;
    for (int i = 0; i < count; ++i) {
        if (!DrawPiece(source, piece, pw, ph, static_cast<float>(sx), static_cast<float>(sy))) {
            pieces.clear();
            return false;
        }
        pieces[static_cast<size_t>(i)] = Encode(piece, format);
        if (pieces[static_cast<size_t>(i)].empty()) {
            pieces.clear();
            return false;
        }
        sx += dx;
        sy += dy;
    }
    return true;
}

int CutGridPieces(const Bytes& picture, int cols, int rows, const std::string& folder, const std::string& gridTitle,
                  const GridCutPace& pace) {
    MemoryImage source;
    // An undecodable picture still goes through the grid's steps: each cell
    // then comes out empty and is not written.
    (void)source.LoadFromBytes(picture);
    const int W = source.GetWidth(), H = source.GetHeight();
    const double cellWidth = W / static_cast<double>(cols), cellHeight = H / static_cast<double>(rows);
    const int cw = static_cast<int>(cellWidth), ch = static_cast<int>(cellHeight);
    const int total = cols * rows;
    MemoryImage piece;
    int written = 0;
    int col = 0, row = 0;
    for (int i = 1; i <= total; ++i) {
        if (col == cols) {
            col = 0;
            ++row;
        }
        const bool drawn =
            DrawPiece(source, piece, cw, ch, static_cast<float>(col * cellWidth), static_cast<float>(row * cellHeight));
        if (pace.beforeWrite) pace.beforeWrite(i, total);
        // A cell that could not be drawn (no picture, or one smaller than the
        // grid) is not written: it would replace an earlier cell with nothing.
        Bytes cell = drawn ? Encode(piece, PictureFormat::Jpeg) : Bytes();
        if (!cell.empty() && WriteWholeFile(folder + gridTitle + "-" + std::to_string(i) + ".jpg", cell)) ++written;
        ++col;
        if (pace.afterWrite) pace.afterWrite(i, total);
    }
    return written;
}

}  // namespace varnel

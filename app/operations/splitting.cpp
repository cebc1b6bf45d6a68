#include "app/operations/splitting.h"

#include "platform/file_services.h"

namespace varnel {

bool CutPicture(const Bytes& picture, std::vector<Bytes>& pieces, int count, CutDirection direction,
                PictureFormat format) {
    pieces.clear();
    if (count < 2) return false;
    LockedPicture source(picture);
    if (!source.Valid()) return false;
    const int W = source.Width(), H = source.Height();
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
    for (int i = 0; i < count; ++i) {
        pieces[static_cast<size_t>(i)] = source.Encode(dx * i, dy * i, pw, ph, format);
        if (pieces[static_cast<size_t>(i)].empty()) {
            pieces.clear();
            return false;
        }
    }
    return true;
}

int CutGridPieces(const Bytes& picture, int cols, int rows, const std::string& folder, const std::string& gridTitle,
                  const GridCutPace& pace) {
    // An undecodable picture still goes through the grid's steps: each cell
    // then comes out empty and is not written.
    LockedPicture source(picture);
    const int W = source.Valid() ? source.Width() : 0, H = source.Valid() ? source.Height() : 0;
    const double cellWidth = W / static_cast<double>(cols), cellHeight = H / static_cast<double>(rows);
    const int cw = static_cast<int>(cellWidth), ch = static_cast<int>(cellHeight);
    const int total = cols * rows;
    int written = 0;
    int col = 0, row = 0;
    for (int i = 1; i <= total; ++i) {
        if (col == cols) {
            col = 0;
            ++row;
        }
        if (pace.beforeWrite) pace.beforeWrite(i, total);
        // Each cell starts at the whole pixel its share of the picture starts in.
        // A cell that could not be made (no picture, or one smaller than the
        // grid) is not written: it would replace an earlier cell with nothing.
        Bytes cell = source.Encode(static_cast<int>(col * cellWidth), static_cast<int>(row * cellHeight), cw, ch,
                                   PictureFormat::Jpeg);
        const std::string path = folder + gridTitle + "-" + std::to_string(i) + ".jpg";
        if (!cell.empty() && WriteWholeFile(path, cell)) {
            ++written;
            if (pace.written) pace.written(path, cell);
        }
        ++col;
        if (pace.afterWrite) pace.afterWrite(i, total);
    }
    return written;
}

}  // namespace varnel

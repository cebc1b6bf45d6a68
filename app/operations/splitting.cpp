#include "app/operations/splitting.h"

#include "app/operations/helpers.h"
#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "graphics/objects/memory_image.h"
#include "platform/bmp_format.h"
#include "platform/components.h"
#include "platform/file_services.h"

namespace varnel {

using namespace ui;

namespace {

// Draws one rectangle of the source into a fresh bitmap of the piece's size.
bool DrawPiece(MemoryImage& source, MemoryImage& piece, int width, int height, float sourceX, float sourceY) {
    using namespace Gdiplus::DllExports;
    if (!piece.CreateBitmap(width, height)) return false;
    Gdiplus::GpGraphics* graphics = nullptr;
    if (GdipGetImageGraphicsContext(piece.GetImage(), &graphics) != Gdiplus::Ok) return false;
    GdipDrawImageRectRect(graphics, source.GetImage(), 0, 0, static_cast<float>(width), static_cast<float>(height),
                          sourceX, sourceY, static_cast<float>(width), static_cast<float>(height), Gdiplus::UnitPixel,
                          nullptr, nullptr, nullptr);
    GdipDeleteGraphics(graphics);
    return true;
}

std::string PhotoFolder() { return ProgramFolder() + "\\Photo\\"; }

}  // namespace

bool CutPicture(const Bytes& picture, std::vector<Bytes>& pieces, int count, int direction) {
    pieces.clear();
    if (count < 2) return false;
    MemoryImage source;
    if (!source.LoadFromBytes(picture)) return false;
    const int W = source.GetWidth(), H = source.GetHeight();
    int pw, ph, dx, dy;
    if (direction == 1) {
        pw = static_cast<int>(W / static_cast<double>(count));
        ph = H;
        dx = pw;
        dy = 0;
    } else if (direction == 2) {
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
        DrawPiece(source, piece, pw, ph, static_cast<float>(sx), static_cast<float>(sy));
        pieces[static_cast<size_t>(i)] = piece.EncodeToBytes(kFormatPng);
        if (pieces[static_cast<size_t>(i)].empty()) {
            pieces.clear();
            return false;
        }
        sx += dx;
        sy += dy;
    }
    return true;
}

void SplitPictureInHalves() {
    AppState& app = App();
    const Bytes& picture = Ui<DrawPanel>(画板1).Picture();
    // The panel holds a 24-bit BMP file image, or nothing: its header gives
    // the size a decode of it would, without decoding the whole picture.
    BmpHeader shown;
    if (!IsWholeBmp24(picture, &shown)) shown = BmpHeader();
    const int direction = shown.height >= shown.width ? 2 : 1;
    std::vector<Bytes> pieces;
    if (CutPicture(picture, pieces, 2, direction)) {
        Ui<PictureBox>(图片框1).SetPicture(pieces[0]);
        WriteWholeFile(PhotoFolder() + app.currentTitle + "_1.jpeg", pieces[0]);
        Ui<PictureBox>(图片框2).SetPicture(pieces[1]);
        WriteWholeFile(PhotoFolder() + app.currentTitle + "_2.jpeg", pieces[1]);
    }
    OpenFolderAndSelect(PhotoFolder(), false);
}

void CutGridPieces(const Bytes& picture, int cols, int rows, const std::string& folder, const std::string& gridTitle,
                   bool paced) {
    MemoryImage source;
    source.LoadFromBytes(picture);
    const int W = source.GetWidth(), H = source.GetHeight();
    const double cellWidth = W / static_cast<double>(cols), cellHeight = H / static_cast<double>(rows);
    const int cw = static_cast<int>(cellWidth), ch = static_cast<int>(cellHeight);
    const int total = cols * rows;
    MemoryImage piece;
    int col = 0, row = 0;
    for (int i = 1; i <= total; ++i) {
        if (col == cols) {
            col = 0;
            ++row;
        }
        DrawPiece(source, piece, cw, ch, static_cast<float>(col * cellWidth), static_cast<float>(row * cellHeight));
        if (paced) Delay(1, 1);
        // A cell that could not be drawn (no picture, or one smaller than the
        // grid) is not written: it would replace an earlier cell with nothing.
        Bytes cell = piece.EncodeToBytes(kFormatPng);
        if (!cell.empty()) WriteWholeFile(folder + gridTitle + "-" + std::to_string(i) + ".jpg", cell);
        ++col;
        if (paced) {
            ShowTimedMessage("共计;" + std::to_string(total) + "份，正在切分第：" + std::to_string(i) + "个！",
                             "提示：", 0x30, 100);
        }
    }
}

void CutPictureByLines() {
    AppState& app = App();
    const int cols = app.verticalCutCount + 1, rows = app.horizontalCutCount + 1;
    std::string gridTitle = FileTitle(app.currentTitle, false);
    std::string folder = app.currentFolder;
    if (!EndsWithSeparator(folder)) folder += "\\";
    folder += gridTitle + "\\";
    CreateFolderPath(folder);
    CutGridPieces(Ui<DrawPanel>(画板1).Picture(), cols, rows, folder, gridTitle, true);
    OpenFolderAndSelect(folder, false);
}

int CreateFolderPath(std::string& path) {
    if (LastSeparator(path) == std::string::npos) path = ProgramFolder() + "\\" + path;
    std::string bare = path;
    if (EndsWithSeparator(bare)) bare.pop_back();
    if (FolderExists(bare)) {
        path = bare + "\\";
        return 0;
    }
    // Every level from the first: "C:" and its folders, one after another.
    size_t at = 0;
    for (;;) {
        size_t separator = std::string::npos;
        for (size_t i = at; i < bare.size(); ++i) {
            if (IsDBCSLeadByte(static_cast<BYTE>(bare[i])) && i + 1 < bare.size()) {
                ++i;
            } else if (bare[i] == '\\') {
                separator = i;
                break;
            }
        }
        std::string prefix = separator == std::string::npos ? bare : bare.substr(0, separator);
        if (!prefix.empty() && prefix.back() != ':' && !FolderExists(prefix) && !CreateOneFolder(prefix)) return -1;
        if (separator == std::string::npos) break;
        at = separator + 1;
    }
    path = bare + "\\";
    return 1;
}

}  // namespace varnel

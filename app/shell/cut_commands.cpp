#include "app/operations/cut_record.h"
#include "app/operations/helpers.h"
#include "app/operations/splitting.h"
#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/bmp_format.h"
#include "platform/components.h"
#include "platform/file_services.h"
#include "platform/system_services.h"

namespace varnel {

using namespace ui;

namespace {
std::string PhotoFolder() { return ProgramFolder() + "\\Photo\\"; }

// The folder of a grid's pieces: named after the picture, unless a file
// already has that name (a picture named without an extension is that
// very file); then a name beside it that no file has.
std::string GridFolder(std::string parent, const std::string& gridTitle) {
    if (!EndsWithSeparator(parent)) parent += "\\";
    std::string name = gridTitle;
    for (int n = 1; FindFirstFileExists(parent + name) && !FolderExists(parent + name); ++n) {
        name = gridTitle + "-cut" + (n > 1 ? std::to_string(n) : std::string());
    }
    return parent + name + "\\";
}

// The pieces are named after the picture: a name the code page lost cannot
// name them (nor was its picture ever read). Says so; true when it did.
bool RefusedForItsName(const char* command) {
    const AppState& app = App();
    if (!HasUnmappedCharacters(app.currentTitle) && !HasUnmappedCharacters(app.currentPicturePath)) return false;
    ShowTimedMessage(std::string(command) + "“" + FileTitle(app.currentPicturePath, true) + "”：" +
                         kNameOutsideCodePage + "。",
                     3000);
    return true;
}

// Writes one piece, noted in the cut's run folder beside the pictures so
// that undo can take it away again. A piece that could not be noted is still
// written: the cut destroys nothing, it only cannot be undone.
bool WritePiece(const std::string& path, const Bytes& bytes, std::string& cutRun) {
    if (!WriteWholeFile(path, bytes)) return false;
    (void)RecordCutPiece(App().currentFolder, cutRun, path, bytes);
    return true;
}
}  // namespace

int SplitPictureInHalves(std::string* cutRun) {
    std::string ownRun;
    std::string& run = cutRun ? *cutRun : ownRun;
    AppState& app = App();
    if (RefusedForItsName("无法分割")) return 0;
    const Bytes& picture = Ui<DrawPanel>(画板1).Picture();
    // The panel holds a 24-bit BMP file image, or nothing: its header gives
    // the size a decode of it would, without decoding the whole picture.
    BmpHeader shown;
    if (!IsWholeBmp24(picture, &shown)) shown = BmpHeader();
    const CutDirection direction = shown.height >= shown.width ? CutDirection::Stacked : CutDirection::SideBySide;
    std::vector<Bytes> pieces;
    int written = 0;
    if (CutPicture(picture, pieces, 2, direction, PictureFormat::Jpeg)) {
        Ui<PictureBox>(图片框1).SetPicture(pieces[0]);
        written += WritePiece(PhotoFolder() + app.currentTitle + "_1.jpeg", pieces[0], run) ? 1 : 0;
        Ui<PictureBox>(图片框2).SetPicture(pieces[1]);
        written += WritePiece(PhotoFolder() + app.currentTitle + "_2.jpeg", pieces[1], run) ? 1 : 0;
    }
    OpenFolderAndSelect(PhotoFolder(), false);
    return written;
}

void CutPictureByLines() {
    AppState& app = App();
    if (RefusedForItsName("无法切分")) return;
    const int cols = app.verticalCutCount + 1, rows = app.horizontalCutCount + 1;
    std::string gridTitle = FileTitle(app.currentTitle, false);
    std::string folder = GridFolder(app.currentFolder, gridTitle);
    std::string cutRun;
    if (CreateFolderPath(folder) > 0) (void)RecordCutFolder(app.currentFolder, cutRun, folder);
    GridCutPace pace;
    pace.beforeWrite = [](int, int) { Delay(1, 1); };
    pace.afterWrite = [](int piece, int total) {
        ShowTimedMessage("共计;" + std::to_string(total) + "份，正在切分第：" + std::to_string(piece) + "个！", 100);
    };
    pace.written = [&cutRun](const std::string& path, const Bytes& bytes) {
        (void)RecordCutPiece(App().currentFolder, cutRun, path, bytes);
    };
    const int written = CutGridPieces(Ui<DrawPanel>(画板1).Picture(), cols, rows, folder, gridTitle, pace);
    if (written < cols * rows && IsWholeBmp24(Ui<DrawPanel>(画板1).Picture())) {
        ShowTimedMessage("切分“" + app.currentTitle + "”：" + std::to_string(cols * rows - written) + " 份无法写入 " +
                             folder + "。",
                         10000);
    }
    OpenFolderAndSelect(folder, false);
}

}  // namespace varnel

#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/bmp_format.h"
#include "platform/components.h"
#include "platform/file_services.h"
#include "platform/system_services.h"

namespace varnel {

using namespace ui;

namespace {
// The current picture at its own size with the watermark the preview shows,
// encoded for `name`; the reason it could not be made otherwise.
MarkedFile CurrentComposition(const std::string& name) {
    const AppState& app = App();
    Bytes source = ReadWholeFile(app.currentPicturePath);
    const bool fromFile = !source.empty();
    if (!fromFile) source = Ui<DrawPanel>(画板1).Picture();
    return MarkFile(source, name, CurrentMarking(app.fontStyle, fromFile));
}

void TellNotSaved(const std::string& path, const char* reason) {
    ShowTimedMessage("没有保存 " + path + "：" + reason + "。", 10000);
}
}  // namespace

// A name already taken is drawn again: an earlier snapshot is never lost.
// When the draws keep missing, the names are tried in order, so a free one
// is always found while there is one.
void SaveSnapshot() {
    AppState& app = App();
    constexpr int kDraws = 4000;
    for (int attempt = 0; attempt < kDraws + 1000; ++attempt) {
        const int n = attempt < kDraws ? RandomInteger(1, 1000) : attempt - kDraws + 1;
        std::string number = "00000" + std::to_string(n);
        std::string title = number.substr(number.size() - 4);
        std::string path = ProgramFolder() + "\\Photo\\" + title + ".jpg";
        if (FindFirstFileExists(path)) continue;
        app.currentTitle = title;
        const MarkedFile snapshot = CurrentComposition(path);
        if (snapshot.failure != FileFailure::None) {
            TellNotSaved(path, FailureText(snapshot.failure));
        } else if (!WriteWholeFile(path, snapshot.bytes)) {
            TellNotSaved(path, "无法写入文件");
        }
        return;
    }
    TellNotSaved(ProgramFolder() + "\\Photo", "没有空余的文件名");
}

}  // namespace varnel

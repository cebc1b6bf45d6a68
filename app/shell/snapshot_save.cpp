#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/bmp_format.h"
#include "platform/components.h"
#include "platform/file_services.h"
#include "platform/system_services.h"

namespace varnel {

using namespace ui;

// The snapshot of the preview at the size of the picture it shows, or empty
// when the panel holds no picture.
Bytes PreviewSnapshot() {
    DrawPanel& panel = Ui<DrawPanel>(画板1);
    BmpHeader picture;
    if (!IsWholeBmp24(panel.Picture(), &picture)) return {};
    return panel.Snapshot(picture.width, picture.height);
}

// A name already taken is drawn again: an earlier snapshot is never lost.
void SaveSnapshot() {
    AppState& app = App();
    Bytes snapshot = PreviewSnapshot();
    for (int attempt = 0; attempt < 4000; ++attempt) {
        std::string number = "00000" + std::to_string(RandomInteger(1, 1000));
        std::string title = number.substr(number.size() - 4);
        std::string path = ProgramFolder() + "\\Photo\\" + title + ".jpg";
        if (FindFirstFileExists(path)) continue;
        app.currentTitle = title;
        if (!snapshot.empty()) (void)WriteWholeFile(path, snapshot);
        return;
    }
}

}  // namespace varnel

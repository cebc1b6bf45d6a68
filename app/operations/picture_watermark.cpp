#include "app/operations/helpers.h"
#include "app/operations/watermark_rendering.h"
#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/bmp_image.h"
#include "platform/components.h"
#include "platform/file_services.h"
#include "platform/system_services.h"

namespace varnel {

using namespace ui;

void ApplyPictureWatermark() {
    AppState& app = App();
    DrawPanel& panel = Ui<DrawPanel>(画板1);
    ListBox& list = Ui<ListBox>(列表框1);
    std::string item = list.ItemText(list.SelectedIndex());
    panel.SetPicture(ReadWholeFile(app.currentFolder + "\\" + item));
    size_t dot = item.rfind('.');
    app.currentTitle = dot == std::string::npos ? std::string() : item.substr(0, dot);
    Ui<StatusBar>(状态条).SetPartText(3, app.currentTitle);
    // The panel has taken the picture already; a repaint now would compose
    // the watermark into the very snapshot it is to be multiplied into.
    ValidateRect(panel.Handle(), nullptr);
    ProcessPendingEvents();
    app.baseBitmap = panel.Snapshot(panel.Width(), panel.Height());
    app.watermarkBitmap = Ui<PictureBox>(图片框3).Picture();
    app.composedBitmap =
        BlendPictureWatermark(app.baseBitmap, app.watermarkBitmap, app.watermarkPosition.x, app.watermarkPosition.y);
    panel.SetPicture(app.composedBitmap);
}

void ChooseWatermarkPicture() {
    std::string path;
    if (Ui<FileDialog>(通用对话框2).ShowOpen(path)) Ui<PictureBox>(图片框3).SetPicture(ReadWholeFile(path));
}

}  // namespace varnel

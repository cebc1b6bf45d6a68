#include "app/operations/watermark_blend.h"
#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/components.h"
#include "platform/dialogs.h"
#include "platform/file_services.h"
#include "platform/system_services.h"

namespace varnel {

using namespace ui;

namespace {
// A confirmed dialog stores its text, the untouched prompt included; a
// cancelled one keeps the text there was.
void AskForWatermarkText() {
    std::string text = "请输入水印文字！";
    if (InputBox(MainWindow().Handle(), "水印", "水印文字：", text)) App().watermarkText = text;
}
}  // namespace

void AddTextWatermark() {
    AskForWatermarkText();
    App().watermarkMode = WatermarkMode::Text;
    RenderPreview();
}

void AskWatermarkText() {
    AskForWatermarkText();
    App().watermarkMode = WatermarkMode::Text;
}

void ApplyPictureWatermark() {
    AppState& app = App();
    app.watermarkMode = WatermarkMode::Picture;
    DrawPanel& panel = Ui<DrawPanel>(画板1);
    ListBox& list = Ui<ListBox>(列表框1);
    std::string item = list.ItemText(list.SelectedIndex());
    ShowOnPanel(ReadWholeFile(app.currentFolder + "\\" + item));
    size_t dot = item.rfind('.');
    app.currentTitle = dot == std::string::npos ? std::string() : item.substr(0, dot);
    Ui<StatusBar>(状态条).SetPartText(3, app.currentTitle);
    ProcessPendingEvents();
    app.baseBitmap = panel.Snapshot(panel.Width(), panel.Height());
    app.watermarkBitmap = Ui<PictureBox>(图片框3).Picture();
    app.composedBitmap =
        BlendPictureWatermark(app.baseBitmap, app.watermarkBitmap, app.watermarkPosition.x, app.watermarkPosition.y);
    panel.SetPicture(app.composedBitmap);
    // The preview in picture mode composes the selected file anew.
    RenderPreview();
}

void ChooseWatermarkPicture() {
    std::string path;
    if (Ui<FileDialog>(通用对话框2).ShowOpen(path)) Ui<PictureBox>(图片框3).SetPicture(ReadWholeFile(path));
}

}  // namespace varnel

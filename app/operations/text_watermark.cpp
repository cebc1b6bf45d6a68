#include "app/operations/watermark_rendering.h"
#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/dialogs.h"

namespace varnel {

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
    App().watermarkMode = 1;
    RenderPreview();
}

void AskWatermarkText() {
    AskForWatermarkText();
    App().watermarkMode = 1;
}

}  // namespace varnel

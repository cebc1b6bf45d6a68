#include <cstdlib>

#include "app/operations/watermark_rendering.h"
#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/components.h"
#include "platform/dialogs.h"
#include "platform/system_services.h"

namespace varnel {

using namespace ui;

namespace {

std::string SelectedPath() {
    ListBox& list = Ui<ListBox>(列表框1);
    return App().currentFolder + "\\" + list.ItemText(list.SelectedIndex());
}

WatermarkPosition PositionFromEditBoxes() {
    return WatermarkPosition{static_cast<int32_t>(atof(Ui<EditBox>(编辑框1).Text().c_str())),
                             static_cast<int32_t>(atof(Ui<EditBox>(编辑框2).Text().c_str()))};
}

// `redraw`, when given, puts the run's own drawing back if a rendering in
// the meantime drew the preview anew (a resize during the run does that).
void WriteBackPreview(const std::function<void()>& redraw = nullptr) {
    const int rendersBefore = App().renderer.RenderCount();
    ProcessPendingEvents();
    if (redraw && App().renderer.RenderCount() != rendersBefore) redraw();
    // An entry that is no picture leaves an empty preview: its file is kept.
    (void)WriteBackSnapshot(SelectedPath(), PreviewSnapshot());
}

// The run's text, in bold whatever the style boxes say; false when no text
// could be drawn (no font that can be made, or no text).
bool DrawRunText() {
    AppState& app = App();
    const Gdiplus::RectF drawn = DrawTextWatermark(app.renderer.GetCanvas(), ReadWatermarkSettings(), TextStyle::Bold);
    PresentPreview();
    return drawn.Width > 0 && drawn.Height > 0;
}

}  // namespace

void RunBatchItem(BatchOperation operation, int number, int pauseMilliseconds) {
    AppState& app = App();
    ListBox& list = Ui<ListBox>(列表框1);
    Ui<Label>(标签2).SetText(ProgressText(list.Count(), number));
    list.SetSelectedIndex(number - 1);
    LoadSelectedFile();
    // What the worker made of this file is taken up, and the worker goes on
    // to the next file while this one is worked on.
    app.renderer.TakeUpPrepared(app.currentPicturePath, app.watermarkMode, app.previewSize);
    if (number < list.Count()) {
        // A name listed twice in a row is this very file, about to be written.
        const std::string next = app.currentFolder + "\\" + list.ItemText(number);
        if (lstrcmpiA(next.c_str(), app.currentPicturePath.c_str()) != 0) {
            const PictureSurface::Backing backing = Ui<DrawPanel>(画板1).FreshBacking();
            app.renderer.PrepareAhead(next, app.watermarkMode, app.previewSize,
                                      LaidBacking{backing.width, backing.height, backing.fill});
        }
    }
    RenderPreview();
    ProcessPendingEvents();
    if (pauseMilliseconds > 0) SleepMilliseconds(pauseMilliseconds);
    switch (operation) {
    case BatchOperation::Split: SplitPictureInHalves(); break;
    case BatchOperation::Text:
        // Without a font that can be made, or without a text, nothing is
        // drawn: writing the file back then would only resample it.
        if (!DrawRunText()) break;
        WriteBackPreview([] {
            RenderPreview();
            DrawRunText();
        });
        break;
    case BatchOperation::Picture:
        RenderPreview();
        WriteBackPreview();
        break;
    }
}

void RunBatch(BatchOperation operation, bool menuVariant) {
    AppState& app = App();
    Label& progress = Ui<Label>(标签2);
    ListBox& list = Ui<ListBox>(列表框1);
    progress.SetVisible(true);
    if (operation == BatchOperation::Text) {
        std::string text = "请输入水印文字！";
        if (InputBox(MainWindow().Handle(), "水印", "水印文字：", text)) app.watermarkText = text;
        app.watermarkPosition = PositionFromEditBoxes();
    } else if (operation == BatchOperation::Picture) {
        app.watermarkMode = WatermarkMode::Picture;
        app.watermarkPosition = PositionFromEditBoxes();
    }

    const int count = list.Count();
    for (int i = 1; i <= count; ++i) {
        RunBatchItem(operation, i, menuVariant ? 500 : 0);
        if (!menuVariant && operation != BatchOperation::Split) SleepMilliseconds(1000);
    }
    ShowTimedMessage(CompletionText(operation), 1500);
    progress.SetText("");
    progress.SetVisible(false);
}

}  // namespace varnel

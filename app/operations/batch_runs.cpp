#include "app/operations/batch_runs.h"

#include <functional>

#include "app/operations/helpers.h"
#include "app/operations/watermark_rendering.h"
#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/bmp_image.h"
#include "platform/components.h"
#include "platform/dialogs.h"
#include "platform/file_services.h"
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

// The snapshot of the preview at the size of the picture it shows, or empty
// when the panel holds no picture.
Bytes PreviewSnapshot() {
    DrawPanel& panel = Ui<DrawPanel>(画板1);
    BmpHeader picture;
    if (!IsWholeBmp24(panel.Picture(), &picture)) return {};
    return panel.Snapshot(picture.width, picture.height);
}

// `redraw`, when given, puts the run's own drawing back if a repaint in the
// meantime rendered the preview anew (a resize during the run does that).
void WriteBackPreview(const std::function<void()>& redraw = nullptr) {
    const int rendersBefore = RenderCount();
    ProcessPendingEvents();
    if (redraw && RenderCount() != rendersBefore) redraw();
    std::string path = SelectedPath();
    // An entry that is no picture leaves an empty preview: its file is kept.
    Bytes snapshot = PreviewSnapshot();
    if (!snapshot.empty()) WriteWholeFile(path, snapshot);
}

const char* CompletionText(BatchOperation operation) {
    switch (operation) {
    case BatchOperation::Split: return "批量分割完成!";
    case BatchOperation::Text: return "批量文字加水印完成!";
    case BatchOperation::Picture: return "批量图片加水印完成!";
    }
    return "";
}

}  // namespace

void RunBatchItem(BatchOperation operation, int number, int pauseMilliseconds) {
    AppState& app = App();
    Label& progress = Ui<Label>(标签2);
    ListBox& list = Ui<ListBox>(列表框1);
    progress.SetText("共有：" + std::to_string(list.Count()) + "条数据，正在处理第：" + std::to_string(number) + "条。");
    list.SetSelectedIndex(number - 1);
    LoadListItem();
    // What the worker made of this file is taken up, and the worker goes on
    // to the next file while this one is worked on.
    TakeUpPreparedFile(app.currentPicturePath);
    if (number < list.Count()) {
        // A name listed twice in a row is this very file, about to be written.
        const std::string next = app.currentFolder + "\\" + list.ItemText(number);
        if (lstrcmpiA(next.c_str(), app.currentPicturePath.c_str()) != 0) PrepareFileAhead(next);
    }
    const int rendersBefore = RenderCount();
    ProcessPendingEvents();
    if (pauseMilliseconds > 0) SleepMilliseconds(pauseMilliseconds);
    switch (operation) {
    case BatchOperation::Split: SplitPictureInHalves(); break;
    case BatchOperation::Text: {
        // The text goes over the picture just loaded; a hidden or
        // minimised window does not repaint by itself, so draw it here.
        if (RenderCount() == rendersBefore) RenderPreview();
        auto drawText = [&app] {
            std::string text = app.watermarkText;
            ComboBox& sizes = Ui<ComboBox>(组合框_大小选择);
            Gdiplus::RectF drawn =
                DrawTextWatermark(app.watermarkPosition.x, app.watermarkPosition.y, text,
                                  Ui<ComboBox>(组合框_字体选择).Text(), sizes.ItemData(sizes.SelectedIndex()),
                                  Ui<ColorPicker>(颜色选择器_颜色选择).Color(), Ui<Slider>(滑块条).Position(), 1);
            app.previewCanvas.PresentRect(0, 0, app.previewSize.width, app.previewSize.height);
            return drawn.Width > 0 && drawn.Height > 0;
        };
        // Without a font that can be made, or without a text, nothing is
        // drawn: writing the file back then would only resample it.
        if (!drawText()) break;
        WriteBackPreview([&] {
            RenderPreview();
            drawText();
        });
        break;
    }
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
        app.watermarkMode = 2;
        app.watermarkPosition = PositionFromEditBoxes();
    }

    const int count = list.Count();
    for (int i = 1; i <= count; ++i) {
        RunBatchItem(operation, i, menuVariant ? 500 : 0);
        if (!menuVariant && operation != BatchOperation::Split) SleepMilliseconds(1000);
    }
    ShowTimedMessage(CompletionText(operation), "提示：", 0x30, 1500);
    progress.SetText("");
    progress.SetVisible(false);
}

void LoadListItem() {
    AppState& app = App();
    ListBox& list = Ui<ListBox>(列表框1);
    DrawPanel& panel = Ui<DrawPanel>(画板1);
    std::string item = list.ItemText(list.SelectedIndex());
    app.currentPicturePath = app.currentFolder + "\\" + item;
    panel.SetPicture(ReadWholeFile(app.currentPicturePath));
    app.currentTitle = FileTitle(item, false);
    Ui<StatusBar>(状态条).SetPartText(3, app.currentTitle);
    panel.SetPicture(ReadWholeFile(app.currentPicturePath));
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
        if (!snapshot.empty()) WriteWholeFile(path, snapshot);
        return;
    }
}

}  // namespace varnel

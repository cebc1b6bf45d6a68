#include <cstdlib>

#include "app/operations/watermark_rendering.h"
#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/components.h"
#include "platform/dialogs.h"
#include "platform/file_services.h"
#include "platform/system_services.h"

namespace varnel {

using namespace ui;

namespace {

WatermarkPosition PositionFromEditBoxes() {
    return WatermarkPosition{static_cast<int32_t>(atof(Ui<EditBox>(编辑框1).Text().c_str())),
                             static_cast<int32_t>(atof(Ui<EditBox>(编辑框2).Text().c_str()))};
}

// The run's text on the preview, in bold whatever the style boxes say;
// false when no text could be drawn (no font that can be made, or no text).
bool DrawRunText() {
    AppState& app = App();
    const Gdiplus::RectF drawn = DrawTextWatermark(app.renderer.GetCanvas(), ReadWatermarkSettings(), TextStyle::Bold);
    PresentPreview();
    return drawn.Width > 0 && drawn.Height > 0;
}

// Marks the file at `path` at its own size and puts the result in its place.
ItemOutcome MarkAndReplace(const std::string& path, const FileMarking& marking) {
    ItemOutcome outcome;
    const Bytes original = ReadWholeFile(path);
    if (original.empty()) {
        outcome.failure = kUnreadable;
        return outcome;
    }
    // The preview has just decoded these very bytes, upright.
    BitmapOwner shown(static_cast<Gdiplus::GpBitmap*>(App().renderer.CloneRemembered(original)));
    MarkedFile marked = MarkFile(original, path, marking, shown.bitmap);
    shown.reset();
    if (marked.failure != FileFailure::None) {
        outcome.failure = FailureText(marked.failure);
    } else if (!WriteWholeFile(path, marked.bytes)) {
        outcome.failure = kNotWritten;
    } else {
        outcome.written = 1;
    }
    return outcome;
}

}  // namespace

FileMarking CurrentMarking(TextStyle style, bool fromFile) {
    const AppState& app = App();
    FileMarking marking;
    marking.mode = app.watermarkMode;
    marking.text = ReadWatermarkSettings();
    marking.style = style;
    // The preview stretches a file's picture 14 pixels taller than the panel.
    marking.previewWidth = static_cast<float>(app.previewSize.width);
    marking.previewHeight = static_cast<float>(app.previewSize.height + (fromFile ? kFileOverhang : 0));
    marking.mark = Ui<PictureBox>(图片框3).Picture();
    marking.markAt = app.watermarkPosition;
    return marking;
}

ItemOutcome RunBatchItem(BatchOperation operation, int number, int pauseMilliseconds) {
    AppState& app = App();
    ListBox& list = Ui<ListBox>(列表框1);
    Ui<Label>(标签2).SetText(ProgressText(list.Count(), number));
    list.SetSelectedIndex(number - 1);
    LoadSelectedFile();
    const std::string path = app.currentPicturePath;
    // What the worker made of this file is taken up, and the worker goes on
    // to the next file while this one is worked on.
    app.renderer.TakeUpPrepared(path, app.watermarkMode, app.previewSize);
    if (number < list.Count()) {
        // A name listed twice in a row is this very file, about to be written.
        const std::string next = app.currentFolder + "\\" + list.ItemText(number);
        if (lstrcmpiA(next.c_str(), path.c_str()) != 0) {
            const PictureSurface::Backing backing = Ui<DrawPanel>(画板1).FreshBacking();
            app.renderer.PrepareAhead(next, app.watermarkMode, app.previewSize,
                                      LaidBacking{backing.width, backing.height, backing.fill});
        }
    }
    // The text run shows its own text, once, over the picture alone.
    RenderPreview(operation != BatchOperation::Text);
    ProcessPendingEvents();
    if (pauseMilliseconds > 0) SleepMilliseconds(pauseMilliseconds);
    ItemOutcome outcome;
    switch (operation) {
    case BatchOperation::Split:
        outcome.written = SplitPictureInHalves();
        if (!outcome.written) outcome.failure = FailureText(FileFailure::NotPicture);
        break;
    case BatchOperation::Text: {
        if (!DrawRunText()) {
            outcome.failure = kNoText;
            break;
        }
        FileMarking marking = CurrentMarking(TextStyle::Bold, true);
        marking.mode = WatermarkMode::Text;
        outcome = MarkAndReplace(path, marking);
        break;
    }
    case BatchOperation::Picture:
        outcome = MarkAndReplace(path, CurrentMarking(TextStyle::Bold, true));
        break;
    }
    return outcome;
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

    BatchReport report;
    const int count = list.Count();
    for (int i = 1; i <= count; ++i) {
        const std::string name = list.ItemText(i - 1);
        report.Add(name, RunBatchItem(operation, i, menuVariant ? 500 : 0));
        if (!menuVariant && operation != BatchOperation::Split) SleepMilliseconds(1000);
    }
    // A failure stays on the screen long enough to be read.
    ShowTimedMessage(report.Text(operation), report.Failed() ? 10000 : 1500);
    progress.SetText("");
    progress.SetVisible(false);
}

}  // namespace varnel

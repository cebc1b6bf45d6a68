#include <cstdlib>

#include "app/operations/originals.h"
#include "app/operations/watermark_rendering.h"
#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/bmp_format.h"
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

// The run's folder of originals is made when its first file is replaced.
bool KeepOriginal(const std::string& path, RunPlan& plan) {
    if (plan.backupFolder.empty()) plan.backupFolder = NewBackupFolder(App().currentFolder);
    return !plan.backupFolder.empty() && BackUpOriginal(path, plan.backupFolder);
}

// Marks the file at `path` (its bytes as the preview was shown them) at its
// own size and puts the result in its place, its original kept first when
// the run keeps them.
ItemOutcome MarkAndReplace(const std::string& path, const Bytes& original, const FileMarking& marking,
                           RunPlan* plan) {
    ItemOutcome outcome;
    if (original.empty()) {
        outcome.failure = kUnreadable;
        return outcome;
    }
    // The preview has just decoded these very bytes, upright; that decode is
    // this run's own to draw on now, and the file is written anew anyway.
    DecodeCache::Decoded shown;
    App().renderer.TakeRemembered(original, shown);
    MarkedFile marked = MarkFile(original, path, marking, shown.picture.bitmap, true);
    shown.Clear();
    if (marked.failure != FileFailure::None) {
        outcome.failure = FailureText(marked.failure);
    } else if (plan && !KeepOriginal(path, *plan)) {
        outcome.failure = kNoBackup;
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

ItemOutcome RunBatchItem(BatchOperation operation, int number, int pauseMilliseconds, RunPlan* plan) {
    AppState& app = App();
    ListBox& list = Ui<ListBox>(列表框1);
    Ui<Label>(标签2).SetText(ProgressText(list.Count(), number));
    list.SetSelectedIndex(number - 1);
    LetGoOfLargePicture();
    const Bytes original = LoadSelectedFile();
    const std::string path = app.currentPicturePath;
    // What the worker made of this file is taken up, and the worker goes on
    // to the next file while this one is worked on.
    app.renderer.TakeUpPrepared(path, original, app.watermarkMode, app.previewSize);
    if (number < list.Count()) {
        // A name listed twice in a row is this very file, about to be written.
        const std::string next = app.currentFolder + "\\" + list.ItemText(number);
        if (lstrcmpiA(next.c_str(), path.c_str()) != 0) {
            const PictureSurface::Backing backing = Ui<DrawPanel>(画板1).FreshBacking();
            app.renderer.PrepareAhead(next, app.watermarkMode, app.previewSize,
                                      LaidBacking{backing.width, backing.height});
        }
    }
    // The text run shows its own text, once, over the picture alone.
    RenderPreview(operation != BatchOperation::Text);
    ProcessPendingEvents();
    if (pauseMilliseconds > 0) {
        SleepMilliseconds(pauseMilliseconds);
        // What came in during the pause (a stop, a repaint) is seen before the file is written.
        ProcessPendingEvents();
    }
    ItemOutcome outcome;
    if (HasUnmappedCharacters(path)) {
        // Named in the run's report; a message for each would stop the run.
        outcome.failure = kNameOutsideCodePage;
        return outcome;
    }
    switch (operation) {
    case BatchOperation::Split:
        outcome.written = SplitPictureInHalves(plan ? &plan->backupFolder : nullptr);
        if (outcome.written < 2) {
            outcome.failure = IsWholeBmp24(Ui<DrawPanel>(画板1).Picture()) ? kNotWritten
                                                                          : FailureText(FileFailure::NotPicture);
        }
        break;
    case BatchOperation::Text: {
        if (!DrawRunText()) {
            outcome.failure = kNoText;
            break;
        }
        FileMarking text = plan ? plan->marking : CurrentMarking(TextStyle::Bold, true);
        text.mode = WatermarkMode::Text;
        outcome = MarkAndReplace(path, original, text, plan);
        break;
    }
    case BatchOperation::Picture:
        outcome = MarkAndReplace(path, original, plan ? plan->marking : CurrentMarking(TextStyle::Bold, true), plan);
        break;
    }
    return outcome;
}

bool RunInProgress() { return HasAppState() && App().running; }

void StopRun() {
    if (RunInProgress()) App().stopAsked = true;
}

bool MayCloseNow() {
    if (!RunInProgress()) return true;
    App().closeAsked = true;
    App().stopAsked = true;
    return false;
}

namespace {

// Everything that would change the folder, the list, the picture or the
// settings is shut while a run goes; the stop command is open only then.
void ShutInputs(bool shut) {
    for (int id : {工具条1, 分组框_选项, 列表框1, 画板1, 分组框2}) EnableWindow(Ui<Component>(id).Handle(), !shut);
    const FormDef& window = MainWindow().Def();
    HMENU bar = GetMenu(MainWindow().Handle());
    for (size_t i = 0; i < window.menuCount; ++i) {
        const int command = window.menu[i].command;
        const bool open = command == kMenuAbout || (command == kMenuStop) == shut;
        EnableMenuItem(bar, static_cast<UINT>(command), MF_BYCOMMAND | (open ? MF_ENABLED : MF_GRAYED));
    }
    DrawMenuBar(MainWindow().Handle());
}

}  // namespace

namespace {

// The bar under the progress label, and the window's title, which a
// minimised run shows on the taskbar: the share done and the time left.
void ShowProgress(int done, int total, DWORD startTicks) {
    Ui<ProgressBar>(进度条).SetProgress(done, total);
    std::string title = MainWindow().Def().caption;
    if (done > 0 && total > 0) {
        title += " - " + std::to_string(done * 100 / total) + "%";
        const DWORD elapsed = GetTickCount() - startTicks;
        const unsigned long long left = static_cast<unsigned long long>(elapsed) * (total - done) / done / 1000;
        if (done < total) title += "，约剩 " + std::to_string(left) + " 秒";
    }
    SetWindowTextA(MainWindow().Handle(), title.c_str());
}

}  // namespace

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

    // The files are marked as the settings stand now, whatever happens to
    // the window meanwhile.
    RunPlan plan{CurrentMarking(TextStyle::Bold, true), std::string()};
    app.running = true;
    app.stopAsked = false;
    ShutInputs(true);
    BatchReport report;
    const int count = list.Count();
    int done = 0;
    const DWORD start = GetTickCount();
    Component& label = Ui<Component>(标签2);
    Component& bar = Ui<Component>(进度条);
    bar.Move(label.Left(), label.Top() + label.Height() + 2, label.Width(), 16);
    bar.SetVisible(true);
    ShowProgress(0, count, start);
    for (int i = 1; i <= count; ++i) {
        // A stop asked for while the last file was worked on ends the run here.
        ProcessPendingEvents();
        if (app.stopAsked) break;
        const std::string name = list.ItemText(i - 1);
        report.Add(name, RunBatchItem(operation, i, menuVariant ? 500 : 0, &plan));
        ++done;
        ShowProgress(done, count, start);
        if (!menuVariant && operation != BatchOperation::Split) SleepMilliseconds(1000);
    }
    SetWindowTextA(MainWindow().Handle(), MainWindow().Def().caption);
    bar.SetVisible(false);
    app.running = false;
    ShutInputs(false);
    std::string text = report.Text(operation);
    if (done < count) text += "\n已停止：处理了 " + std::to_string(done) + " / " + std::to_string(count) + " 个文件。";
    progress.SetText("");
    progress.SetVisible(false);
    if (app.closeAsked) {
        // The window was asked to close during the run: it closes now.
        app.closeAsked = false;
        MainWindow().Close();
        return;
    }
    // A failure stays on the screen long enough to be read.
    ShowTimedMessage(text, report.Failed() || done < count ? 10000 : 1500);
}

}  // namespace varnel

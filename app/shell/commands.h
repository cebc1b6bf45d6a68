#pragma once
// Every command and handler the main window's toolbar, menu and events run.
#include <string>

#include "app/operations/batch.h"
#include "app/operations/watermark_settings.h"
#include "app/shell/app_state.h"
#include "app/shell/main_window.h"

namespace varnel {

// Opening folders, dropping files and the file list (opening.cpp).
void OpenPictureFolder();
void ChooseFolder();
void ListPhotoFolder();
void ListFolderFiles(std::string& folder);
std::string FolderOfPath(const std::string& path);
void OnFileDropped(const std::string& path);
// Shows the selected list entry's file in the preview.
void LoadListItem();
// LoadListItem without the rendering, for a run that renders by itself;
// the file's bytes as they were read and shown, so that a run reads each
// file once.
Bytes LoadSelectedFile();

// Preview input and watermark settings (preview_input.cpp).
void PlaceWatermarkAt(int x, int y);
void OnPanelLeftButtonDown(int x, int y, int keys);
void OnPanelResized();
void OnSettingChanged();
void OnStyleBoxClicked(int box);
void OnSliderMoved();

// The settings row and the state as one value (settings.cpp).
WatermarkSettings ReadWatermarkSettings();

// The preview (preview.cpp): renders it from the state and the settings
// and shows it on the panel; shows what the renderer's canvas holds.
void RenderPreview(bool withWatermark = true);
void PresentPreview();
// Sets a picture file's bytes as the panel's picture, decoded by the renderer.
void ShowOnPanel(const Bytes& fileBytes);
// Before a run's next file is loaded: lets go of the panel's picture when
// it is too large to be decoded ahead, so that a run holds one such picture
// at a time. A smaller one's room is kept for the next, which the worker
// has decoded beside it by then.
void LetGoOfLargePicture();

// Watermark commands (watermark_commands.cpp).
void AddTextWatermark();
void AskWatermarkText();
void ApplyPictureWatermark();
void ChooseWatermarkPicture();

// Guide lines (guide_lines.cpp). PlaceGuideLines shows the count-th guide
// line of a family and spaces guides 1..count evenly over the preview.
void PlaceGuideLines(bool vertical, int count, bool widerFifth);
// The preview is copied onto the panel's window directly, over the guide
// lines that lie across it; they are painted again afterwards.
void RepaintGuideLines();
void AddVerticalCutLine();
void AddHorizontalCutLine();

// Cutting (cut_commands.cpp). The halves cut says how many pieces it wrote;
// they are noted for undo in `cutRun` (a batch's one run folder) when given,
// else in a run folder of this cut's own.
int SplitPictureInHalves(std::string* cutRun = nullptr);
void CutPictureByLines();

// Batch runs (batch_commands.cpp). While one runs, the window's other
// commands and inputs are shut; a stop or a close ends it after the file in
// hand.
bool RunInProgress();
void StopRun();
// The window's close guard: closes now, or after the run in progress.
bool MayCloseNow();
void RunBatch(BatchOperation operation, bool menuVariant);
// Selects and loads the number-th (from 1) listed file, waits
// `pauseMilliseconds` (none when 0) and applies the operation to it, writing
// the result back as the batch run does.
// What a whole run keeps from its start: how it marks its files, and the
// folder its originals go to, or a batch cut notes its pieces in (made when
// the first file is replaced or written).
struct RunPlan {
    FileMarking marking;
    std::string backupFolder;
};
// `plan`, when given, is the run's; without one the file is marked by the
// settings as they stand and its original is not kept.
ItemOutcome RunBatchItem(BatchOperation operation, int number, int pauseMilliseconds, RunPlan* plan = nullptr);
// Undoes the last run or cut in the current folder: puts back the
// originals of a watermark run, or removes the pieces a cut wrote.
void UndoLastRun();
// How the files are marked by the current settings: text in `style`, the
// preview's stretch of a picture from a file (`fromFile`) or from bytes.
FileMarking CurrentMarking(TextStyle style, bool fromFile);

// Saving the current picture with its watermark (snapshot_save.cpp).
void SaveSnapshot();

// Messages (messages.cpp).
void ShowTimedMessage(const std::string& text, int milliseconds);
void ShowAboutBox();

}  // namespace varnel

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
// LoadListItem without the rendering, for a run that renders by itself.
void LoadSelectedFile();

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
void RenderPreview();
void PresentPreview();
// Sets a picture file's bytes as the panel's picture, decoded by the renderer.
void ShowOnPanel(const Bytes& fileBytes);

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

// Cutting (cut_commands.cpp).
void SplitPictureInHalves();
void CutPictureByLines();

// Batch runs (batch_commands.cpp).
void RunBatch(BatchOperation operation, bool menuVariant);
// Selects and loads the number-th (from 1) listed file, waits
// `pauseMilliseconds` (none when 0) and applies the operation to it, writing
// the result back as the batch run does.
void RunBatchItem(BatchOperation operation, int number, int pauseMilliseconds);

// Saving the preview (snapshot_save.cpp). The snapshot is the preview at
// the size of the picture it shows; empty when the panel holds no picture.
Bytes PreviewSnapshot();
void SaveSnapshot();

// Messages (messages.cpp).
void ShowTimedMessage(const std::string& text, int milliseconds);
void ShowAboutBox();

}  // namespace varnel

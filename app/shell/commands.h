#pragma once
// Every command and handler the main window's toolbar, menu and events run.
#include <string>

#include "app/shell/app_state.h"
#include "app/shell/main_window.h"

namespace varnel {

// Opening folders, dropping files and the file list.
void OpenPictureFolder();
void ChooseFolder();
void ListPhotoFolder();
void ListFolderFiles(std::string& folder);
std::string FolderOfPath(const std::string& path);
void OnFileDropped(const std::string& path);

// Preview input and watermark settings.
LRESULT CALLBACK PanelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PlaceWatermarkAt(int x, int y);
void OnPanelLeftButtonDown(int x, int y, int keys);
void OnSettingChanged();
void OnStyleBoxClicked(int box);
void OnSliderMoved();

// Watermarks.
void RenderPreview();
void AddTextWatermark();
void AskWatermarkText();
void ApplyPictureWatermark();
void ChooseWatermarkPicture();

// Shows the count-th guide line of a family and spaces guides 1..count evenly
// over the preview.
void PlaceGuideLines(bool vertical, int count, bool widerFifth);

// The preview is copied onto the panel's window directly, over the guide
// lines that lie across it; they are painted again afterwards.
void RepaintGuideLines();

// Cutting.
void SplitPictureInHalves();
void AddVerticalCutLine();
void AddHorizontalCutLine();
void CutPictureByLines();

// Batch runs and saving.
enum class BatchOperation { Split, Text, Picture };
void RunBatch(BatchOperation operation, bool menuVariant);
void LoadListItem();
void SaveSnapshot();

void ShowAboutBox();

}  // namespace varnel

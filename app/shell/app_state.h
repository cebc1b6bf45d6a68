#pragma once
// The one shared state record of the shell.
#include <cstdint>
#include <string>
#include <vector>

#include "app/operations/preview_renderer.h"
#include "app/operations/watermark_settings.h"
#include "app/shell/services.h"
#include "platform/bytes.h"
#include "platform/form.h"

namespace varnel {

struct AppState {
    // First, so they stop last: everything below may hold their objects.
    ImagingSession imaging;
    OleSession ole;

    Form mainWindow;
    PreviewRenderer renderer;

    PreviewSize previewSize;
    WatermarkPosition watermarkPosition;
    WatermarkMode watermarkMode = WatermarkMode::None;
    std::string watermarkText;
    TextStyle fontStyle = TextStyle::Regular;
    std::string currentPicturePath;
    std::string currentFolder;
    std::string browsedFolder;
    std::string currentTitle;
    int32_t verticalCutCount = 0;
    int32_t horizontalCutCount = 0;
    Bytes baseBitmap;
    Bytes watermarkBitmap;
    Bytes composedBitmap;
    std::vector<std::string> fontNames;

    // A run is going: commands that would change the list, the picture or
    // the settings wait; a stop or a close asked for meanwhile ends it after
    // the file in hand.
    bool running = false;
    bool stopAsked = false;
    bool closeAsked = false;
};

// Creates the one instance, starting the services it needs; it lives until
// the exit routine.
void InitAppState();
AppState& App();
bool HasAppState();

// Releases the state in its fixed order; runs once, at normal process end.
void ExitRoutine();
int ExitRoutineRuns();

}  // namespace varnel

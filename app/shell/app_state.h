#pragma once
// The one shared state record of the shell and the operations.
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/canvas/canvas.h"
#include "graphics/objects/image.h"
#include "graphics/objects/window_subclass.h"
#include "platform/bytes.h"

namespace varnel {

struct PreviewSize {
    int32_t width = 0;
    int32_t height = 0;
};

struct WatermarkPosition {
    int32_t x = 0;
    int32_t y = 0;
};

struct AppState {
    // Long-lived graphics objects, constructed empty.
    Canvas previewCanvas;
    Image previewImage;
    WindowSubclass panelSubclass;

    PreviewSize previewSize;
    WatermarkPosition watermarkPosition;
    int32_t watermarkMode = 0;  // 1 text, 2 picture, anything else none
    std::string watermarkText;
    int32_t fontStyle = 0;
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
};

// Creates the one instance; it lives until the exit routine.
void InitAppState();
AppState& App();
bool HasAppState();

// Releases the state in its fixed order; runs once, at normal process end.
void ExitRoutine();
int ExitRoutineRuns();

}  // namespace varnel

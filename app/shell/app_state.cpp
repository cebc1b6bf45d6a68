#include "app/shell/app_state.h"

#include <memory>

namespace varnel {

namespace {
std::unique_ptr<AppState> state;
int exitRuns = 0;

template <typename T>
void ReleaseField(T& field) {
    T().swap(field);
}
}  // namespace

void InitAppState() {
    if (!state) state = std::make_unique<AppState>();
}

AppState& App() { return *state; }
bool HasAppState() { return state != nullptr; }

void ExitRoutine() {
    if (!state) return;
    ++exitRuns;
    AppState& s = *state;
    ReleaseField(s.currentTitle);
    s.previewCanvas.Release();
    ReleaseField(s.currentPicturePath);
    s.previewSize = PreviewSize();
    s.watermarkPosition = WatermarkPosition();
    ReleaseField(s.watermarkText);
    ReleaseField(s.currentFolder);
    ReleaseField(s.baseBitmap);
    ReleaseField(s.watermarkBitmap);
    ReleaseField(s.composedBitmap);
    ReleaseField(s.browsedFolder);
    ReleaseField(s.fontNames);
    // The objects' destructors give back what they hold: the canvas, then the
    // image with its stream, then the subclass record.
    state.reset();
    ReleaseErrorText();
}

int ExitRoutineRuns() { return exitRuns; }

}  // namespace varnel

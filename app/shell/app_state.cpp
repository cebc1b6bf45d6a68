#include "app/shell/app_state.h"

#include <memory>

namespace varnel {

namespace {
// The one instance and how often it was released, for the exit routine.
struct Lifetime {
    std::unique_ptr<AppState> state;
    int exitRuns = 0;
};

Lifetime& Program() {
    static Lifetime lifetime;
    return lifetime;
}

template <typename T>
void ReleaseField(T& field) {
    T().swap(field);
}
}  // namespace

void InitAppState() {
    if (!Program().state) Program().state = std::make_unique<AppState>();
}

AppState& App() { return *Program().state; }
bool HasAppState() { return Program().state != nullptr; }

void ExitRoutine() {
    Lifetime& program = Program();
    if (!program.state) return;
    ++program.exitRuns;
    AppState& s = *program.state;
    ReleaseField(s.currentTitle);
    s.renderer.GetCanvas().Release();
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
    // The members' destructors give back the rest, the renderer (and its
    // worker) before the services they use.
    program.state.reset();
    ReleaseErrorText();
}

int ExitRoutineRuns() { return Program().exitRuns; }

}  // namespace varnel

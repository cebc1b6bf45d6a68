#include "app/shell/startup.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

#include "app/shell/app_state.h"
#include "app/shell/main_window.h"
#include "platform/resource_data.h"
#include "platform/system_services.h"
#include "resources/resource_ids.h"

namespace varnel {

namespace {
void RunExitRoutine() { ExitRoutine(); }
}  // namespace

bool StartUp(int showCommand) {
    // The state starts the imaging service and OLE, and stops them when the
    // exit routine releases it.
    InitAppState();
    static const bool registered = std::atexit(&RunExitRoutine) == 0;
    (void)registered;
    if (!App().imaging.Started()) return false;
    // The sample picture the window opens with decodes while the window and
    // its controls are made.
    App().renderer.DecodeAhead(LoadResourceBytes(IDR_SAMPLE_PICTURE));

    // Common controls, the shell's dialogs and dropping need these on this thread.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);

    return MainWindow().Load(MainWindowDefinition(), showCommand);
}

int RunVarnel(int showCommand) {
    if (!StartUp(showCommand)) {
        MessageBoxA(nullptr, "程序启动失败。", "Varnel1.0", MB_OK | MB_ICONERROR);
        return 1;
    }
    return RunEventLoop();
}

}  // namespace varnel

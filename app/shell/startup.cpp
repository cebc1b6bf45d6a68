#include "app/shell/startup.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstdlib>

#include "app/shell/app_state.h"
#include "app/shell/main_window.h"
#include "graphics/objects/graphics_object.h"
#include "platform/system_services.h"

namespace varnel {

namespace {
void RunExitRoutine() { ExitRoutine(); }
}  // namespace

bool StartUp(int showCommand) {
    InitAppState();
    static bool registered = false;
    if (!registered) registered = std::atexit(&RunExitRoutine) == 0;

    // The library's own start; the program then starts the service for itself.
    StartImagingService();
    static ULONG_PTR token = StartImaging();
    (void)token;

    // Common controls, the shell's dialogs and dropping need these on this thread.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);

    return MainWindow().Load(MainWindowDefinition(), showCommand);
}

int RunVarnel(int showCommand) {
    StartUp(showCommand);
    RunEventLoop();
    return 0;
}

}  // namespace varnel

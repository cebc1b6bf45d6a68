#include "app/shell/commands.h"

namespace varnel {

// Until the preview is drawn from the program's own canvas the panel keeps
// its own painting: every message goes on to the procedure it replaced.
LRESULT CALLBACK PanelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return App().panelSubclass.CallPrevious(window, message, wParam, lParam);
}

void PlaceWatermarkAt(int, int) {}
void OnPanelLeftButtonDown(int, int, int) {}
void OnSettingChanged() {}
void OnStyleBoxClicked(int) {}
void OnSliderMoved() {}

}  // namespace varnel

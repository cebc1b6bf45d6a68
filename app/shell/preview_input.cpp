#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/components.h"

namespace varnel {

using namespace ui;

namespace {
int SignExtend16(unsigned value) { return static_cast<short>(value & 0xFFFF); }
}  // namespace

// Sees every message of the preview panel before the panel does: paints come
// from the program's own canvas, a size change acts as a click at (0, 0), and
// a click places the watermark.
LRESULT CALLBACK PanelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    AppState& app = App();
    switch (message) {
    case WM_PAINT:
        app.panelSubclass.BeginPaint();
        RenderPreview();
        app.panelSubclass.EndPaint();
        break;
    case WM_SIZE: SendMessageA(window, WM_LBUTTONDOWN, 0, 0); break;
    case WM_LBUTTONDOWN:
        PlaceWatermarkAt(SignExtend16(static_cast<unsigned>(lParam)),
                         SignExtend16(static_cast<unsigned>(lParam) >> 16));
        break;
    default: break;
    }
    return app.panelSubclass.CallPrevious(window, message, wParam, lParam);
}

void PlaceWatermarkAt(int x, int y) {
    App().watermarkPosition = WatermarkPosition{x, y};
    Ui<EditBox>(编辑框1).SetText(std::to_string(x));
    Ui<EditBox>(编辑框2).SetText(std::to_string(y));
    RenderPreview();
}

void OnPanelLeftButtonDown(int x, int y, int) {
    App().watermarkPosition = WatermarkPosition{x, y};
    RenderPreview();
}

void OnSettingChanged() { RenderPreview(); }

// The boxes do not combine: the box checked last decides, and italic comes
// with bold.
void OnStyleBoxClicked(int box) {
    if (Ui<CheckBox>(box).Checked()) {
        App().fontStyle = box == 选择框_加粗 ? 1 : box == 选择框_倾斜 ? 3 : 4;
    }
    RenderPreview();
}

void OnSliderMoved() {
    Ui<EditBox>(编辑框3).SetText(std::to_string(Ui<Slider>(滑块条).Position()));
    RenderPreview();
}

}  // namespace varnel

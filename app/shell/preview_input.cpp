#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/components.h"

namespace varnel {

using namespace ui;

void PlaceWatermarkAt(int x, int y) {
    App().watermarkPosition = WatermarkPosition{x, y};
    Ui<EditBox>(编辑框1).SetText(std::to_string(x));
    Ui<EditBox>(编辑框2).SetText(std::to_string(y));
    RenderPreview();
}

// A click puts the watermark's top-left corner at the clicked point.
void OnPanelLeftButtonDown(int x, int y, int) { PlaceWatermarkAt(x, y); }

// A size change of the preview acts as a click at (0, 0), once the window
// has finished starting: the preview has nothing to render before that.
void OnPanelResized() {
    if (!HasAppState() || !App().renderer.GetCanvas().GetMemoryDc()) return;
    PlaceWatermarkAt(0, 0);
}

void OnSettingChanged() { RenderPreview(); }

// The boxes do not combine: the box checked last decides, and italic comes
// with bold.
void OnStyleBoxClicked(int box) {
    if (Ui<CheckBox>(box).Checked()) {
        App().fontStyle = box == 选择框_加粗   ? TextStyle::Bold
                          : box == 选择框_倾斜 ? TextStyle::BoldItalic
                                               : TextStyle::Underline;
    }
    RenderPreview();
}

void OnSliderMoved() {
    Ui<EditBox>(编辑框3).SetText(std::to_string(Ui<Slider>(滑块条).Position()));
    RenderPreview();
}

}  // namespace varnel

#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/components.h"

namespace varnel {

using namespace ui;

WatermarkSettings ReadWatermarkSettings() {
    const AppState& app = App();
    WatermarkSettings settings;
    settings.mode = app.watermarkMode;
    settings.style = app.fontStyle;
    settings.text = app.watermarkText;
    // A pick from the list is reported before the box's text follows it.
    const ComboBox& fonts = Ui<ComboBox>(组合框_字体选择);
    const int picked = fonts.SelectedIndex();
    settings.fontName = picked >= 0 ? fonts.ItemText(picked) : fonts.Text();
    const ComboBox& sizes = Ui<ComboBox>(组合框_大小选择);
    settings.size = sizes.ItemData(sizes.SelectedIndex());
    settings.color = Ui<ColorPicker>(颜色选择器_颜色选择).Color();
    settings.opacity = Ui<Slider>(滑块条).Position();
    settings.position = app.watermarkPosition;
    return settings;
}

}  // namespace varnel

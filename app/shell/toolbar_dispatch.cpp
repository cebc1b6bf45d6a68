#include <cstring>

#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/components.h"

namespace varnel {

namespace {
struct ToolbarCommand {
    const char* caption;
    void (*run)();
};

// "保存" is matched to the same snapshot the menu item saves.
const ToolbarCommand kToolbarCommands[] = {
    {"打开图片", OpenPictureFolder},
    {"保存", SaveSnapshot},
    {"添加文字", AddTextWatermark},
    {"图片水印", ApplyPictureWatermark},
    {"分割图片", SplitPictureInHalves},
    {"批量分割", [] { RunBatch(BatchOperation::Split, false); }},
    {"批量文字水印", [] { RunBatch(BatchOperation::Text, false); }},
    {"批量图片水印", [] { RunBatch(BatchOperation::Picture, false); }},
    {"多线横割", AddVerticalCutLine},
    {"多线纵割", AddHorizontalCutLine},
};
}  // namespace

void OnToolbarButtonClicked(const EventArgs& args) {
    const Toolbar& toolbar = Ui<Toolbar>(ui::工具条1);
    // Each comparison reads the caption anew: a command may change the toolbar.
    for (const ToolbarCommand& command : kToolbarCommands) {
        if (toolbar.ButtonCaption(args.index) == command.caption) command.run();
    }
}

}  // namespace varnel

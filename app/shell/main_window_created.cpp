#include <algorithm>

#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/components.h"
#include "platform/file_services.h"
#include "platform/resource_data.h"
#include "platform/system_services.h"
#include "resources/resource_ids.h"

namespace varnel {

using namespace ui;

namespace {
// Some systems report a face once for every character set it covers; a face
// is listed once, where it first appears.
int CALLBACK CollectFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data) {
    auto* names = reinterpret_cast<std::vector<std::string>*>(data);
    if (std::find(names->begin(), names->end(), font->lfFaceName) == names->end()) {
        names->push_back(font->lfFaceName);
    }
    return 1;
}
}  // namespace

std::vector<std::string> CollectFontNames() {
    std::vector<std::string>& names = App().fontNames;
    names.clear();
    {
        WindowDc screen(nullptr);
        EnumFontsA(screen.get(), nullptr, &CollectFace, reinterpret_cast<LPARAM>(&names));
    }
    std::vector<std::string> copy = names;
    names.clear();
    return copy;
}

void EnsurePhotoFolder() {
    std::string photo = ProgramFolder() + "\\photo";
    if (!FindFirstFileExists(photo)) CreateOneFolder(photo);
}

void OnMainWindowCreated(const EventArgs&) {
    AppState& app = App();
    MainWindow().SetCloseGuard(&MayCloseNow);

    ComboBox& fonts = Ui<ComboBox>(组合框_字体选择);
    for (const std::string& name : CollectFontNames()) {
        if (!name.empty() && name[0] == '@') continue;  // vertical-writing faces
        int index = fonts.AddItem(name);
        if (name == "微软雅黑") fonts.SetSelectedIndex(index);
    }

    EnsurePhotoFolder();

    HWND panel = Ui<DrawPanel>(画板1).Handle();
    app.renderer.GetCanvas().CreateForWindowSized(panel, ScreenWidth(), ScreenHeight());

    app.previewSize = PreviewSize{Ui<Component>(画板1).Width(), Ui<Component>(画板1).Height()};
    app.watermarkPosition = WatermarkPosition{static_cast<int32_t>(app.previewSize.width / 3.0),
                                              static_cast<int32_t>(app.previewSize.height / 2.0)};
    app.watermarkText.clear();

    Ui<DropTarget>(拖放对象1).Register(panel);
    Ui<PictureBox>(图片框3).SetPicture(LoadResourceBytes(IDR_WATERMARK_PICTURE));
    ShowOnPanel(LoadResourceBytes(IDR_SAMPLE_PICTURE));

    app.fontStyle = TextStyle::Bold;
    app.verticalCutCount = 0;
    app.horizontalCutCount = 0;
    RenderPreview();
}

}  // namespace varnel

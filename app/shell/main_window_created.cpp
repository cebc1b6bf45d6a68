#include <algorithm>
#include <iterator>

#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "app/shell/main_window.h"
#include "platform/components.h"
#include "platform/file_services.h"
#include "platform/handles.h"
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

// True when the face exists and has a glyph for each character of the
// watermark's own words: a face without them draws nothing readable.
bool FaceShowsChinese(HDC dc, const std::string& face) {
    LOGFONTA wanted{};
    wanted.lfHeight = -16;
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(wanted.lfFaceName, face.c_str(), LF_FACESIZE);
    FontHandle font(CreateFontIndirectA(&wanted));
    if (!font) return false;
    SelectScope select(dc, font.get());
    // A missing face is quietly replaced by another; that one is not asked about.
    char made[LF_FACESIZE] = {};
    if (!GetTextFaceA(dc, LF_FACESIZE, made) || face != made) return false;
    const wchar_t words[] = L"添加文字";
    WORD glyphs[4] = {};
    if (GetGlyphIndicesW(dc, words, 4, glyphs, GGI_MARK_NONEXISTING_GLYPHS) != 4) return false;
    return std::none_of(std::begin(glyphs), std::end(glyphs), [](WORD glyph) { return glyph == 0xFFFF; });
}

// The face the watermark starts with: the system's own Chinese face, or else
// one that can show Chinese, the open one first; -1 when none can.
int StartFace(const ComboBox& fonts) {
    int fallback = -1;
    WindowDc screen(nullptr);
    for (int i = 0; i < fonts.Count(); ++i) {
        const std::string face = fonts.ItemText(i);
        if (face == "微软雅黑") return i;
        if (fallback >= 0 && face != "文泉驿微米黑") continue;
        if (FaceShowsChinese(screen.get(), face)) fallback = i;
    }
    return fallback;
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
        fonts.AddItem(name);
    }
    fonts.SetSelectedIndex(StartFace(fonts));

    EnsurePhotoFolder();

    app.verticalCutCount = 0;
    app.horizontalCutCount = 0;
    // The start places are laid by the same rules as every resize, so the
    // first resize moves nothing it does not have to; the rules also set
    // the preview's size and the watermark's default place. Before the
    // canvas exists, the preview's own size change is not yet a click.
    OnMainWindowSizeChanged(EventArgs());

    HWND panel = Ui<DrawPanel>(画板1).Handle();
    app.renderer.GetCanvas().CreateForWindowSized(panel, ScreenWidth(), ScreenHeight());

    app.watermarkText.clear();

    Ui<DropTarget>(拖放对象1).Register(panel);
    Ui<PictureBox>(图片框3).SetPicture(LoadResourceBytes(IDR_WATERMARK_PICTURE));
    ShowOnPanel(LoadResourceBytes(IDR_SAMPLE_PICTURE));

    app.fontStyle = TextStyle::Bold;
    RenderPreview();
}

}  // namespace varnel

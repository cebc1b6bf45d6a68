#include "platform/components.h"

#include "platform/form.h"

namespace varnel {

namespace {
constexpr int kImageSize = 48;

const ToolbarButtonDef* ButtonOfCommand(const FormDef& def, int command) {
    for (size_t i = 0; i < def.buttonCount; ++i) {
        if (def.buttons[i].command == command) return &def.buttons[i];
    }
    return nullptr;
}
}  // namespace

bool Toolbar::Create(HWND parent) {
    DWORD style = TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_TOP;
    if (!CreateChild(parent, 0, TOOLBARCLASSNAMEA, "", style)) return false;
    SendMessageA(hwnd_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);

    const FormDef& def = form_.Def();
    images_.reset(ImageList_Create(kImageSize, kImageSize, ILC_COLOR32, static_cast<int>(def.buttonCount), 0));
    if (def.toolbarImagesResource) {
        Bitmap strip(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                                     MAKEINTRESOURCEA(def.toolbarImagesResource), IMAGE_BITMAP, 0,
                                                     0, LR_CREATEDIBSECTION)));
        if (strip) ImageList_Add(images_.get(), strip.handle(), nullptr);
    }
    SendMessageA(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));

    std::vector<TBBUTTON> buttons(def.buttonCount);
    for (size_t i = 0; i < def.buttonCount; ++i) {
        int text = static_cast<int>(
            SendMessageA(hwnd_, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>((std::string(def.buttons[i].caption) + '\0').c_str())));
        buttons[i] = TBBUTTON{};
        buttons[i].iBitmap = def.buttons[i].image;
        buttons[i].idCommand = def.buttons[i].command;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
        buttons[i].iString = text;
    }
    SendMessageA(hwnd_, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageA(hwnd_, TB_AUTOSIZE, 0, 0);
    // The buttons decide the height: a 48-pixel image with its caption below.
    DWORD size = static_cast<DWORD>(SendMessageA(hwnd_, TB_GETBUTTONSIZE, 0, 0));
    MoveWindow(hwnd_, def_.left, def_.top, def_.width, HIWORD(size) + 4, TRUE);
    return true;
}

// A button is one more door to its command: it raises what the menu item of
// the same id raises.
void Toolbar::OnCommand(int id, int) {
    if (ButtonOfCommand(form_.Def(), id)) form_.Raise(id, EventKind::CommandChosen, EventArgs());
}

bool Toolbar::OnNotify(NMHDR* header, LRESULT*) {
    if (header->code != TTN_GETDISPINFOA && header->code != TTN_GETDISPINFOW) return false;
    const ToolbarButtonDef* button = ButtonOfCommand(form_.Def(), static_cast<int>(header->idFrom));
    if (!button) return false;
    const char* tip = button->tooltip ? button->tooltip : "";
    if (header->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        tooltipBuffer_ = tip;
        info->lpszText = &tooltipBuffer_[0];
    } else {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        MultiByteToWideChar(CP_ACP, 0, tip, -1, info->szText, sizeof(info->szText) / sizeof(info->szText[0]));
        info->lpszText = info->szText;
    }
    return true;
}

int Toolbar::ButtonCount() const { return static_cast<int>(SendMessageA(hwnd_, TB_BUTTONCOUNT, 0, 0)); }

int Toolbar::ButtonCommand(int index) const {
    TBBUTTON button{};
    if (!SendMessageA(hwnd_, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button))) return 0;
    return button.idCommand;
}

std::string Toolbar::ButtonCaption(int index) const {
    char buffer[256] = {};
    const int command = ButtonCommand(index);
    if (!command) return std::string();
    LRESULT got =
        SendMessageA(hwnd_, TB_GETBUTTONTEXTA, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(buffer));
    return got > 0 ? std::string(buffer, static_cast<size_t>(got)) : std::string();
}

void Toolbar::ClickButton(int index) {
    const int command = ButtonCommand(index);
    if (!command) return;
    SendMessageA(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd_));
}

}  // namespace varnel

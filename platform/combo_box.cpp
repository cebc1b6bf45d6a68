#include "platform/components.h"

namespace varnel {

namespace {
// The definition gives the closed height; the list drops below it.
constexpr int kDropHeight = 320;

void AddInitialItems(ComboBox& combo, const char* text) {
    if (!text || !*text) return;
    std::string items(text);
    size_t start = 0;
    while (start <= items.size()) {
        size_t end = items.find('\n', start);
        if (end == std::string::npos) end = items.size();
        std::string item = items.substr(start, end - start);
        if (!item.empty()) combo.AddItem(item, atoi(item.c_str()));
        start = end + 1;
    }
}
}  // namespace

bool ComboBox::Create(HWND parent) {
    DWORD style = WS_TABSTOP | WS_VSCROLL | ((def_.flags & kEditable) ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST);
    if (!CreateChild(parent, 0, "COMBOBOX", "", style, def_.height + kDropHeight)) return false;
    // Items come as text; a list of numbers carries each number as its data.
    if (!(def_.flags & kEditable)) {
        AddInitialItems(*this, def_.text);
        if (Count() > 0) SetSelectedIndex(def_.args.selection);
    }
    return true;
}

void ComboBox::OnCommand(int, int code) {
    if (code == CBN_SELCHANGE) Raise(EventKind::SelectionChanged);
}

void ComboBox::Move(int left, int top, int width, int height) {
    (void)height;
    if (hwnd_) MoveWindow(hwnd_, left, top, width, def_.height + kDropHeight, TRUE);
}

int ComboBox::AddItem(const std::string& text) {
    return static_cast<int>(SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int ComboBox::AddItem(const std::string& text, int data) {
    int index = AddItem(text);
    if (index >= 0) SendMessageA(hwnd_, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
    return index;
}

int ComboBox::Count() const { return static_cast<int>(SendMessageA(hwnd_, CB_GETCOUNT, 0, 0)); }

int ComboBox::SelectedIndex() const { return static_cast<int>(SendMessageA(hwnd_, CB_GETCURSEL, 0, 0)); }

void ComboBox::SetSelectedIndex(int index) { SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

int ComboBox::ItemData(int index) const {
    LRESULT data = SendMessageA(hwnd_, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    return data == CB_ERR ? -1 : static_cast<int>(data);
}

std::string ComboBox::ItemText(int index) const {
    LRESULT length = SendMessageA(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return std::string();
    // Room for two bytes a character, whatever unit the length came in.
    std::string text(static_cast<size_t>(length) * 2 + 2, '\0');
    if (SendMessageA(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0])) == CB_ERR) {
        return std::string();
    }
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

std::string ComboBox::Text() const { return Component::Text(); }

}  // namespace varnel

#include "platform/components.h"

namespace varnel {

bool ListBox::Create(HWND parent) {
    return CreateChild(parent, WS_EX_CLIENTEDGE, "LISTBOX", "",
                       WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS) != nullptr;
}

void ListBox::OnCommand(int, int code) {
    if (code == LBN_SELCHANGE) Raise(EventKind::SelectionChanged);
}

void ListBox::Clear() { SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0); }

int ListBox::AddItem(const std::string& text) {
    return static_cast<int>(SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int ListBox::Count() const { return static_cast<int>(SendMessageA(hwnd_, LB_GETCOUNT, 0, 0)); }

int ListBox::SelectedIndex() const { return static_cast<int>(SendMessageA(hwnd_, LB_GETCURSEL, 0, 0)); }

void ListBox::SetSelectedIndex(int index) { SendMessageA(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

std::string ListBox::ItemText(int index) const {
    LRESULT length = SendMessageA(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return std::string();
    // Room for two bytes a character, whatever unit the length came in.
    std::string text(static_cast<size_t>(length) * 2 + 2, '\0');
    if (SendMessageA(hwnd_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0])) == LB_ERR) {
        return std::string();
    }
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

void ListBox::SetRedraw(bool redraw) {
    SendMessageA(hwnd_, WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
    if (redraw) InvalidateRect(hwnd_, nullptr, TRUE);
}

}  // namespace varnel

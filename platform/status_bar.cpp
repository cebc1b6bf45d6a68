#include "platform/components.h"

namespace varnel {

// text: the parts' texts separated by '\n'.
bool StatusBar::Create(HWND parent) {
    // Docked at the bottom of the window, as status bars are.
    hwnd_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(1000 + def_.id)), GetModuleHandleA(nullptr),
                            nullptr);
    if (!hwnd_) return false;
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    const int* widths = def_.args.partWidths;
    int edges[kMaxPartWidths + 1];
    int parts = 0, right = 0;
    for (int i = 0; i < kMaxPartWidths && widths[i] > 0; ++i) {
        right += widths[i];
        edges[parts++] = right;
    }
    edges[parts++] = -1;
    SendMessageA(hwnd_, SB_SETPARTS, static_cast<WPARAM>(parts), reinterpret_cast<LPARAM>(edges));
    std::string texts(def_.text ? def_.text : "");
    size_t start = 0;
    for (int part = 0; part < parts && start <= texts.size(); ++part) {
        size_t end = texts.find('\n', start);
        if (end == std::string::npos) end = texts.size();
        SetPartText(part, texts.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

int StatusBar::PartCount() const { return static_cast<int>(SendMessageA(hwnd_, SB_GETPARTS, 0, 0)); }

std::string StatusBar::PartText(int part) const {
    // The reported length counts characters, not GBK bytes: read into room
    // for two bytes a character and cut at the terminator.
    LRESULT info = SendMessageA(hwnd_, SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0);
    std::string text(static_cast<size_t>(LOWORD(info)) * 2 + 2, '\0');
    SendMessageA(hwnd_, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

void StatusBar::SetPartText(int part, const std::string& text) {
    SendMessageA(hwnd_, SB_SETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace varnel

#include "platform/components.h"

namespace varnel {

namespace {
// The pages' controls report to the tab control; the form must hear them.
LRESULT CALLBACK ForwardToForm(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_DRAWITEM:
        return SendMessageA(GetAncestor(window, GA_ROOT), message, wParam, lParam);
    case WM_CTLCOLORSTATIC:
        // Labels on the page show the page behind them.
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lParam)->hwndFrom != window) {
            return SendMessageA(GetAncestor(window, GA_ROOT), message, wParam, lParam);
        }
        break;
    default: break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
}  // namespace

bool TabControl::Create(HWND parent) {
    if (!CreateChild(parent, WS_EX_CONTROLPARENT, WC_TABCONTROLA, "", WS_CLIPSIBLINGS)) return false;
    SetWindowSubclass(hwnd_, ForwardToForm, 1, 0);
    std::string tabs(def_.text ? def_.text : "");
    int index = 0;
    size_t start = 0;
    while (!tabs.empty() && start <= tabs.size()) {
        size_t end = tabs.find('\n', start);
        if (end == std::string::npos) end = tabs.size();
        std::string caption = tabs.substr(start, end - start);
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = &caption[0];
        SendMessageA(hwnd_, TCM_INSERTITEMA, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&item));
        start = end + 1;
    }
    return true;
}

int TabControl::TabCount() const { return static_cast<int>(SendMessageA(hwnd_, TCM_GETITEMCOUNT, 0, 0)); }

std::string TabControl::TabText(int index) const {
    char buffer[128] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = sizeof(buffer);
    SendMessageA(hwnd_, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

}  // namespace varnel

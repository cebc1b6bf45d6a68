#include "platform/components.h"

#include "platform/form.h"
#include "platform/window_class.h"

namespace varnel {

namespace {
const char kGroupClass[] = "VarnelGroupBox";

// Controls inside a group report to their parent; the group hands those
// reports on to the form, which knows the components.
LRESULT CALLBACK GroupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_DRAWITEM:
        return SendMessageA(GetAncestor(window, GA_ROOT), message, wParam, lParam);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return DefWindowProcA(GetAncestor(window, GA_ROOT), message, wParam, lParam);
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT r;
        GetClientRect(window, &r);
        char caption[128] = {};
        GetWindowTextA(window, caption, sizeof(caption));
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0));
        SelectScope selectFont(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc, &metrics);
        RECT frame = r;
        frame.top += caption[0] ? metrics.tmHeight / 2 : 0;
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
        if (caption[0]) {
            SIZE extent{};
            GetTextExtentPoint32A(dc, caption, lstrlenA(caption), &extent);
            RECT label{8, 0, 8 + extent.cx + 4, metrics.tmHeight};
            FillRect(dc, &label, GetSysColorBrush(COLOR_BTNFACE));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            TextOutA(dc, 10, 0, caption, lstrlenA(caption));
        }
        EndPaint(window, &ps);
        return 0;
    }
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

bool GroupBox::Create(HWND parent) {
    RegisterWindowClass(kGroupClass, GroupProc, CS_HREDRAW | CS_VREDRAW, COLOR_BTNFACE + 1);
    return CreateChild(parent, WS_EX_CONTROLPARENT, kGroupClass, def_.text, WS_CLIPSIBLINGS) != nullptr;
}

}  // namespace varnel

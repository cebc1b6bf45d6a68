#include "platform/components.h"

namespace varnel {

bool Slider::Create(HWND parent) {
    if (!CreateChild(parent, 0, TRACKBAR_CLASSA, "", WS_TABSTOP | TBS_HORZ | TBS_NOTICKS)) return false;
    const SliderArgs& args = def_.args.slider;
    SendMessageA(hwnd_, TBM_SETRANGEMIN, FALSE, args.minimum);
    SendMessageA(hwnd_, TBM_SETRANGEMAX, FALSE, args.maximum);
    SendMessageA(hwnd_, TBM_SETLINESIZE, 0, args.lineStep);
    SendMessageA(hwnd_, TBM_SETPAGESIZE, 0, args.pageStep);
    SendMessageA(hwnd_, TBM_SETPOS, TRUE, args.position);
    return true;
}

void Slider::OnScroll(int code) {
    // Every step of a drag reports a new position; the end of it does not.
    if (code != TB_ENDTRACK) Raise(EventKind::PositionChanged);
}

int Slider::Position() const { return static_cast<int>(SendMessageA(hwnd_, TBM_GETPOS, 0, 0)); }
void Slider::SetPosition(int position) { SendMessageA(hwnd_, TBM_SETPOS, TRUE, position); }
int Slider::Minimum() const { return static_cast<int>(SendMessageA(hwnd_, TBM_GETRANGEMIN, 0, 0)); }
int Slider::Maximum() const { return static_cast<int>(SendMessageA(hwnd_, TBM_GETRANGEMAX, 0, 0)); }
int Slider::LineStep() const { return static_cast<int>(SendMessageA(hwnd_, TBM_GETLINESIZE, 0, 0)); }
int Slider::PageStep() const { return static_cast<int>(SendMessageA(hwnd_, TBM_GETPAGESIZE, 0, 0)); }

}  // namespace varnel

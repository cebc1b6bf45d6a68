#include "platform/components.h"

#include <commdlg.h>

namespace varnel {

bool ColorPicker::Create(HWND parent) {
    color_ = def_.args.color;
    return CreateChild(parent, 0, "BUTTON", "", WS_TABSTOP | BS_OWNERDRAW) != nullptr;
}

void ColorPicker::OnCommand(int, int code) {
    if (code == BN_CLICKED) Choose();
}

bool ColorPicker::OnDrawItem(DRAWITEMSTRUCT* item) {
    RECT r = item->rcItem;
    DrawFrameControl(item->hDC, &r, DFC_BUTTON,
                     DFCS_BUTTONPUSH | ((item->itemState & ODS_SELECTED) ? DFCS_PUSHED : 0));
    InflateRect(&r, -4, -4);
    Brush swatch(CreateSolidBrush(color_));
    FillRect(item->hDC, &r, swatch.handle());
    FrameRect(item->hDC, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return true;
}

void ColorPicker::SetColor(COLORREF color) {
    color_ = color;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void ColorPicker::Choose() {
    CHOOSECOLORA choice{};
    choice.lStructSize = sizeof(choice);
    choice.hwndOwner = GetAncestor(hwnd_, GA_ROOT);
    choice.rgbResult = color_;
    choice.lpCustColors = custom_;
    choice.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorA(&choice) || choice.rgbResult == color_) return;
    SetColor(choice.rgbResult);
    Raise(EventKind::ColorChanged);
}

}  // namespace varnel

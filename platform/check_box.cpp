#include "platform/components.h"

namespace varnel {

bool CheckBox::Create(HWND parent) {
    return CreateChild(parent, 0, "BUTTON", def_.text, WS_TABSTOP | BS_AUTOCHECKBOX) != nullptr;
}

void CheckBox::OnCommand(int, int code) {
    if (code == BN_CLICKED) Raise(EventKind::Clicked);
}

bool CheckBox::Checked() const { return SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::SetChecked(bool checked) {
    SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace varnel

#include "platform/components.h"

namespace varnel {

bool Label::Create(HWND parent) {
    return CreateChild(parent, 0, "STATIC", def_.text, SS_LEFT | SS_NOPREFIX | SS_NOTIFY) != nullptr;
}

void Label::OnCommand(int, int code) {
    if (code == STN_CLICKED) Raise(EventKind::Clicked);
}

}  // namespace varnel

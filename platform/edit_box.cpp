#include "platform/components.h"

namespace varnel {

bool EditBox::Create(HWND parent) {
    return CreateChild(parent, WS_EX_CLIENTEDGE, "EDIT", def_.text, WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT) !=
           nullptr;
}

}  // namespace varnel

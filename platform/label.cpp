#include "platform/components.h"

namespace varnel {

bool Label::Create(HWND parent) {
    return CreateChild(parent, 0, "STATIC", def_.text, SS_LEFT | SS_NOPREFIX) != nullptr;
}

}  // namespace varnel

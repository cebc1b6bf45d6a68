#include "platform/components.h"

#include <commdlg.h>

namespace varnel {

bool FileDialog::Create(HWND parent) {
    owner_ = parent;
    return true;
}

bool FileDialog::ShowOpen(std::string& path) {
    char buffer[MAX_PATH * 4] = {};
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner_ ? GetAncestor(owner_, GA_ROOT) : nullptr;
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = sizeof(buffer);
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&dialog)) return false;
    path = buffer;
    return true;
}

}  // namespace varnel

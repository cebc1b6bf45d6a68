#include "platform/dialogs.h"

#include <shlobj.h>

namespace varnel {

namespace {
struct ItemList {
    PIDLIST_ABSOLUTE p;
    ~ItemList() {
        if (p) CoTaskMemFree(p);
    }
};
}  // namespace

std::string BrowseForFolder(HWND owner, const std::string& prompt) {
    char display[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pszDisplayName = display;
    info.lpszTitle = prompt.c_str();
    info.ulFlags = BIF_EDITBOX | BIF_RETURNONLYFSDIRS;
    ItemList chosen{SHBrowseForFolderA(&info)};
    if (!chosen.p) return std::string();
    char path[MAX_PATH * 2] = {};
    if (!SHGetPathFromIDListA(chosen.p, path)) return std::string();
    return path;
}

}  // namespace varnel

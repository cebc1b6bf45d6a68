#include "platform/components.h"

#include <shellapi.h>

namespace varnel {

bool DropTarget::Create(HWND) { return true; }

DropTarget::~DropTarget() {
    if (area_ && IsWindow(area_)) RemoveWindowSubclass(area_, &DropTarget::Hook, reinterpret_cast<UINT_PTR>(this));
}

// The area can be any window, not only one of the program's own classes: it
// is watched the platform's one way, comctl32's subclass.
bool DropTarget::Register(HWND window) {
    if (!window) return false;
    if (area_ && IsWindow(area_)) RemoveWindowSubclass(area_, &DropTarget::Hook, reinterpret_cast<UINT_PTR>(this));
    area_ = window;
    DragAcceptFiles(window, TRUE);
    return SetWindowSubclass(window, &DropTarget::Hook, reinterpret_cast<UINT_PTR>(this),
                             reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

LRESULT CALLBACK DropTarget::Hook(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if (message != WM_DROPFILES) return DefSubclassProc(window, message, wParam, lParam);
    auto* target = reinterpret_cast<DropTarget*>(data);
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::string> paths;
    for (UINT i = 0; i < count; ++i) {
        UINT length = DragQueryFileA(drop, i, nullptr, 0);
        std::string path(length + 1, '\0');
        DragQueryFileA(drop, i, &path[0], length + 1);
        path.resize(length);
        paths.push_back(path);
    }
    DragFinish(drop);
    for (const std::string& path : paths) {
        EventArgs args;
        args.path = path;
        target->Raise(EventKind::FileDropped, args);
    }
    return 0;
}

}  // namespace varnel

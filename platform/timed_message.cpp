#include <windows.h>

#include "platform/dialogs.h"

namespace varnel {

namespace {

using MessageBoxTimeoutFunction = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT, WORD, DWORD);

MessageBoxTimeoutFunction FindMessageBoxTimeout() {
    FARPROC proc = GetProcAddress(GetModuleHandleA("user32.dll"), "MessageBoxTimeoutA");
    return reinterpret_cast<MessageBoxTimeoutFunction>(reinterpret_cast<void*>(proc));
}

// The box a timer of ours is to close; the timer's id is this record's
// address, so the record lives on the stack of the call that shows the box.
struct PendingClose {
    const std::string* caption;
    HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND window, LPARAM data) {
    auto* pending = reinterpret_cast<PendingClose*>(data);
    char name[16] = {};
    char caption[256] = {};
    GetClassNameA(window, name, sizeof(name));
    GetWindowTextA(window, caption, sizeof(caption));
    if (lstrcmpA(name, "#32770") == 0 && *pending->caption == caption && IsWindowVisible(window)) {
        pending->found = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK CloseTimedBox(HWND owner, UINT, UINT_PTR id, DWORD) {
    KillTimer(owner, id);
    auto* pending = reinterpret_cast<PendingClose*>(id);
    EnumThreadWindows(GetCurrentThreadId(), &FindBox, reinterpret_cast<LPARAM>(pending));
    if (pending->found) PostMessageA(pending->found, WM_CLOSE, 0, 0);
}

}  // namespace

// Some systems ignore the box's own timeout; a timer of ours closes it then.
void ShowTimedMessage(HWND owner, const std::string& text, const std::string& caption, UINT style,
                      int milliseconds) {
    PendingClose pending{&caption};
    const UINT_PTR id = reinterpret_cast<UINT_PTR>(&pending);
    const bool timed = owner && SetTimer(owner, id, static_cast<UINT>(milliseconds > 0 ? milliseconds : 1),
                                         &CloseTimedBox) != 0;
    if (MessageBoxTimeoutFunction timeout = FindMessageBoxTimeout()) {
        // Language 0 is the user's own: language 1 asks for Arabic buttons,
        // which show as empty boxes and mirror the box on other systems.
        timeout(owner, text.c_str(), caption.c_str(), style, 0, static_cast<DWORD>(milliseconds));
    } else {
        MessageBoxA(owner, text.c_str(), caption.c_str(), style);
    }
    if (timed) KillTimer(owner, id);
}

}  // namespace varnel

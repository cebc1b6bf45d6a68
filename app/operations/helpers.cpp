#include "app/operations/helpers.h"

#include "app/operations/path_text.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <map>

#include "app/shell/main_window.h"
#include "platform/handles.h"
#include "platform/system_services.h"

namespace varnel {

namespace {

using MessageBoxTimeoutFunction = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT, WORD, DWORD);

MessageBoxTimeoutFunction FindMessageBoxTimeout() {
    FARPROC proc = GetProcAddress(GetModuleHandleA("user32.dll"), "MessageBoxTimeoutA");
    return reinterpret_cast<MessageBoxTimeoutFunction>(reinterpret_cast<void*>(proc));
}

// Some systems ignore the box's own timeout; a timer of ours closes it then.
std::map<UINT_PTR, std::string>& PendingCloses() {
    static std::map<UINT_PTR, std::string> pending;
    return pending;
}

struct BoxSearch {
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<BoxSearch*>(data);
    char name[16] = {};
    char caption[256] = {};
    GetClassNameA(window, name, sizeof(name));
    GetWindowTextA(window, caption, sizeof(caption));
    if (lstrcmpA(name, "#32770") == 0 && *search->caption == caption && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK CloseTimedBox(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto it = PendingCloses().find(id);
    if (it == PendingCloses().end()) return;
    BoxSearch search{&it->second, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &FindBox, reinterpret_cast<LPARAM>(&search));
    PendingCloses().erase(it);
    if (search.found) PostMessageA(search.found, WM_CLOSE, 0, 0);
}

}  // namespace

void ShowTimedMessage(const std::string& text, const std::string& caption, UINT style, int milliseconds) {
    HWND owner = MainWindow().Handle();
    UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(milliseconds > 0 ? milliseconds : 1), &CloseTimedBox);
    if (timer) PendingCloses()[timer] = caption;
    static MessageBoxTimeoutFunction timed = FindMessageBoxTimeout();
    if (timed) {
        // Language 0 is the user's own: language 1 asks for Arabic buttons,
        // which show as empty boxes and mirror the box on other systems.
        timed(owner, text.c_str(), caption.c_str(), style, 0, static_cast<DWORD>(milliseconds));
    } else {
        MessageBoxA(owner, text.c_str(), caption.c_str(), style);
    }
    if (timer && PendingCloses().erase(timer)) KillTimer(nullptr, timer);
}

void Delay(double amount, int unit) {
    static const double kMultipliers[] = {1, 1000, 60000, 3600000};
    double multiplier = unit >= 0 && unit <= 3 ? kMultipliers[unit] : 1;
    LARGE_INTEGER due;
    due.QuadPart = static_cast<LONGLONG>(amount * multiplier * -10000.0);
    KernelHandle timer(CreateWaitableTimerA(nullptr, FALSE, nullptr));
    if (timer && SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, FALSE)) {
        HANDLE handle = timer.get();
        for (;;) {
            DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT);
            if (result == WAIT_OBJECT_0) return;
            if (result == WAIT_FAILED) break;
            ProcessPendingEvents();
        }
    }
    // Without a timer, wait by the clock, still handling events.
    DWORD total = static_cast<DWORD>(amount * multiplier);
    for (DWORD start = GetTickCount(); GetTickCount() - start < total;) {
        ProcessPendingEvents();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool OpenFolderAndSelect(const std::string& path, bool edit) {
    if (!FileExists(path)) return false;
    PIDLIST_ABSOLUTE item = ILCreateFromPathA(path.c_str());
    if (!item) return false;
    HRESULT result = SHOpenFolderAndSelectItems(item, 0, nullptr, edit ? OFASI_EDIT : 0);
    ILFree(item);
    return SUCCEEDED(result);
}

bool FileExists(const std::string& path) { return PathFileExistsA(path.c_str()) != FALSE; }

namespace {
bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }
}  // namespace

size_t LastSeparator(const std::string& path) { return LastSeparator(path, &IsLeadByte); }

bool EndsWithSeparator(const std::string& path) { return EndsWithSeparator(path, &IsLeadByte); }

std::string FileTitle(const std::string& path, bool keepExtension) {
    std::string name = PathFindFileNameA(path.c_str());
    if (EndsWithSeparator(name)) return std::string();
    if (keepExtension) return name;
    return name.substr(0, name.size() - FileExtension(name).size());
}

std::string FileExtension(const std::string& path) { return PathFindExtensionA(path.c_str()); }

}  // namespace varnel

#include "platform/window_class.h"

namespace varnel {

void RegisterWindowClass(const char* name, WNDPROC procedure, UINT style, int background, LPCSTR cursor) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExA(GetModuleHandleA(nullptr), name, &existing)) return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = cursor ? LoadCursor(nullptr, cursor) : nullptr;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background));
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
}

}  // namespace varnel

#pragma once
#include <windows.h>

namespace varnel {

// Registers a window class of this program once; later calls with the same
// name do nothing. `background` is a system colour index + 1, or 0 for none.
void RegisterWindowClass(const char* name, WNDPROC procedure, UINT style, int background, LPCSTR cursor = IDC_ARROW);

}  // namespace varnel

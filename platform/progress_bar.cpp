#include "platform/components.h"

namespace varnel {

bool ProgressBar::Create(HWND parent) { return CreateChild(parent, 0, PROGRESS_CLASSA, "", PBS_SMOOTH) != nullptr; }

void ProgressBar::SetProgress(int done, int total) {
    SendMessageA(hwnd_, PBM_SETRANGE32, 0, total > 0 ? total : 1);
    SendMessageA(hwnd_, PBM_SETPOS, static_cast<WPARAM>(done), 0);
}

int ProgressBar::Position() const { return static_cast<int>(SendMessageA(hwnd_, PBM_GETPOS, 0, 0)); }

}  // namespace varnel

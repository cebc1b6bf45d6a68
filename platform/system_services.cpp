#include "platform/system_services.h"

#include <windows.h>

#include <random>

#include "platform/form.h"

namespace varnel {

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

int RandomInteger(int low, int high) {
    static std::mt19937 generator(static_cast<unsigned>(GetTickCount()) ^
                                  static_cast<unsigned>(GetCurrentProcessId() << 16));
    if (high < low) return low;
    std::uniform_int_distribution<int> pick(low, high);
    return pick(generator);
}

void SleepMilliseconds(int milliseconds) {
    if (milliseconds > 0) Sleep(static_cast<DWORD>(milliseconds));
}

namespace {

void Dispatch(MSG& message) {
    if (Form* form = Form::Active()) {
        if (form->TranslateShortcut(message)) return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

}  // namespace

void ProcessPendingEvents() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        Dispatch(message);
    }
}

int RunEventLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) Dispatch(message);
    return static_cast<int>(message.wParam);
}

}  // namespace varnel

// rand_s is declared only on request, before the C library header is first read.
#define _CRT_RAND_S

#include "platform/system_services.h"

#include <windows.h>

#include <stdlib.h>

#include "platform/form.h"
#include "platform/handles.h"

namespace varnel {

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

int RandomInteger(int low, int high) {
    if (high < low) return low;
    // The system's generator keeps no state of ours; drawing again above
    // the last whole multiple of the range keeps every value equally likely.
    const unsigned long long range = static_cast<unsigned long long>(high) - low + 1;
    const unsigned long long limit = (1ULL << 32) - (1ULL << 32) % range;
    for (;;) {
        unsigned int value = 0;
        if (rand_s(&value) != 0) return low;
        if (value < limit) return low + static_cast<int>(value % range);
    }
}

void SleepMilliseconds(int milliseconds) {
    if (milliseconds > 0) Sleep(static_cast<DWORD>(milliseconds));
}

namespace {

void Dispatch(MSG& message) {
    if (Form* form = Form::OfWindow(message.hwnd)) {
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

void Delay(double amount, int unit) {
    static constexpr double kMultipliers[] = {1, 1000, 60000, 3600000};
    const double multiplier = unit >= 0 && unit <= 3 ? kMultipliers[unit] : 1;
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

int RunEventLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) Dispatch(message);
    return static_cast<int>(message.wParam);
}

}  // namespace varnel

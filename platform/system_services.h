#pragma once
// Screen, randomness, sleeping and the message pump of the one UI thread.

namespace varnel {

int ScreenWidth();
int ScreenHeight();

// A uniform random integer from low to high, both included.
int RandomInteger(int low, int high);

// Blocks the thread; window messages wait meanwhile.
void SleepMilliseconds(int milliseconds);

// Dispatches every waiting window message of this thread, then returns.
// A quit request met on the way is put back for the main loop.
void ProcessPendingEvents();

// Waits while window events go on being handled; unit 0 ms, 1 s, 2 min, 3 h.
void Delay(double amount, int unit);

// Runs the event loop until the main window is closed; returns its exit code.
int RunEventLoop();

}  // namespace varnel

#pragma once

namespace varnel {

// Prepares the shared state, starts the imaging service and loads the main
// window; false when the window could not be made.
[[nodiscard]] bool StartUp(int showCommand);

// The whole program: start-up, the event loop until the window closes;
// the loop's exit code, or 1 when start-up failed.
int RunVarnel(int showCommand);

}  // namespace varnel

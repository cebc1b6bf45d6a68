#pragma once

namespace varnel {

// Prepares the shared state, starts the imaging service and loads the main
// window; false when the window could not be made.
bool StartUp(int showCommand);

// The whole program: start-up, the event loop until the window closes, 0.
int RunVarnel(int showCommand);

}  // namespace varnel

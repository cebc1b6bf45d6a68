#include <doctest.h>

#include "tests/shell/shell_fixture.h"

using namespace varnel;

// Runs last (files run in name order): it ends the shared state.
TEST_CASE("closing the window ends the loop and the exit routine runs once") {
    Form& window = test::StartedMainWindow();
    window.SetQuitOnClose(true);
    window.Close();
    MSG message;
    bool quit = false;
    for (int i = 0; i < 200 && !quit; ++i) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) quit = true;
            DispatchMessageA(&message);
        }
        Sleep(5);
    }
    CHECK(quit);
    CHECK(window.Handle() == nullptr);
    int before = ExitRoutineRuns();
    ExitRoutine();
    ExitRoutine();
    CHECK(ExitRoutineRuns() == before + 1);
    CHECK_FALSE(HasAppState());
}

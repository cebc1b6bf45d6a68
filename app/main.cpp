#include <windows.h>

#include "app/shell/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) { return varnel::RunVarnel(showCommand); }

#pragma once
// The imaging service's flat interface, with the platform's own record types.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

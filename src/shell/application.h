#pragma once
#include <windows.h>

// The process entry: returns 0 after a normal close, 1 when the editing component cannot be loaded.
int RunApplication(HINSTANCE instance);

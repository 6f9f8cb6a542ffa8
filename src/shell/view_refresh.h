#pragma once
#include <windows.h>

// The shell's handler of change notes (installed with SetChangeHandler when the main window is
// created): brings the title, the painted areas, the layout, the menus, an open search and the
// crash snapshot up to date.
void FollowChange(unsigned what, HWND editor);

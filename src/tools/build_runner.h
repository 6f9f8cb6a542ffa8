#pragma once
// The build runner: runs the active tab's file with the tool for its language and shows the output
// in a tab of its own.
#include <windows.h>

// Build (Ctrl+B) runs from a message posted to the main window, so that whatever started it (a key
// in a tab's editor, a menu) is no longer on the stack while the build waits.
constexpr UINT kRunBuildMessage = WM_APP + 0x60;
void RequestBuild();
// Handles kRunBuildMessage: runs the active tab's file and shows its output in a new tab.
void RunBuild();
// Ctrl+Break: ends the running build with every process it started.
void CancelBuild();

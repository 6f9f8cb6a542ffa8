#pragma once
// The build runner: runs the active tab's file with the tool for its language and shows the output
// in a tab of its own.
#include <windows.h>

#include <string>

// Build (Ctrl+B) runs from a message posted to the main window, so that whatever started it (a key
// in a tab's editor, a menu) is no longer on the stack while the build waits.
constexpr UINT kRunBuildMessage = WM_APP + 0x60;
void RequestBuild();
// Handles kRunBuildMessage: runs the active tab's file and shows its output in a new tab.
void RunBuild();
// What the status bar says of the build: "Building … 0:07" while one runs, its exit code while the
// last build's output tab is active (`activeEditor`), else "".
std::wstring BuildStatusText(HWND activeEditor);
// Ctrl+Break: ends the running build with every process it started.
void CancelBuild();

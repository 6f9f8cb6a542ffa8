#pragma once
#include <windows.h>

#include <string>
// The tool commands on the active tab: comment toggling and the selection commands; and the build
// runner.

// Ctrl+/: line or block comments by the tab's language, as one undo step. Nothing for plain text,
// read-only tabs and hex mode.
void ToggleComment();
void ExpandSelectionCommand();
void ShrinkSelectionCommand();
void SingleSelectionCommand();
void SplitSelectionIntoLines();

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

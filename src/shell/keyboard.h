#pragma once
#include <windows.h>

// Subclass procedure of every tab's editor: shortcuts, chords, macro recording, Ctrl+D,
// Ctrl+wheel zoom and mouse-driven rectangular selection, before the component sees the input.
LRESULT CALLBACK EditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Subclasses a new editor window with EditorProc; returns the component's own procedure.
WNDPROC SubclassEditor(HWND editorWindow);
// The shared key table for keys pressed with Ctrl (Alt is read from the keyboard state).
void HandleCtrlKey(unsigned virtualKey, bool shiftDown);
// Whether the WM_KEYDOWN or WM_CHAR being handled is typing with AltGr (IsAltGrTyping), judged by
// the keyboard state; Ctrl then counts as not held.
bool IsAltGrInput(UINT message, WPARAM wParam);
// Escape: closes the open menu, the quick-open popup, distraction-free mode or the search panel,
// or reduces several selections of `editor` to one. False when none of these applied.
bool HandleEscape(HWND editor);
// Ctrl+D: selects the word at the caret when nothing is selected, then adds the next occurrence.
void SelectNextOccurrence(HWND editor);
// Plays the recorded macro into the active tab.
void PlayMacro();
// Turns recording on (emptying the macro) or off.
void ToggleMacroRecording();

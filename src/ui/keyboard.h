#pragma once
#include <windows.h>

// Subclass procedure of every tab's editor: shortcuts and chords before the component sees keys.
LRESULT CALLBACK EditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Subclasses a new editor window with EditorProc; returns the component's own procedure.
WNDPROC SubclassEditor(HWND editorWindow);
// The shared key table for keys pressed with Ctrl held.
void HandleCtrlKey(unsigned virtualKey, bool shiftDown);
// True for the keys that HandleCtrlKey owns when pressed with Ctrl.
bool IsCtrlTableKey(unsigned virtualKey);

#pragma once
// The scroll bars and, for a tab in hex mode, the byte view.
#include <windows.h>

#include <string>

#include "app/geometry.h"

void PaintEditorArea(HDC dc);
void PaintStatusBar(HDC dc);
// The part of the status bar that a caret move or a typed key changes: its left-hand text, up to
// the segments on the right as they were last painted (the whole bar before the first paint).
Rect StatusBarTextRect();

// What the left-hand status text starts with: column mode first, then the macro-recording mark.
std::wstring StatusModePrefixes(bool columnMode, bool recording);

#pragma once
#include <windows.h>

#include <string>

// The scroll bars and, for a tab in hex mode, the byte view.
void PaintEditorArea(HDC dc);
void PaintStatusBar(HDC dc);

// What the left-hand status text starts with: column mode first, then the macro-recording mark.
std::wstring StatusModePrefixes(bool columnMode, bool recording);

#pragma once
#include <windows.h>

// The scroll bars and, for a tab in hex mode, the byte view.
void PaintEditorArea(HDC dc);
void PaintStatusBar(HDC dc);

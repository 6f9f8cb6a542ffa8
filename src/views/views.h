#pragma once
// The scroll bars and, for a tab in hex mode, the byte view.
#include <windows.h>

#include <cstdint>
#include <string>

#include "base/geometry.h"

void PaintEditorArea(HDC dc);
void PaintStatusBar(HDC dc);
// The part of the status bar that a caret move or a typed key changes: its left-hand text, up to
// the segments on the right as they were last painted (the whole bar before the first paint).
Rect StatusBarTextRect();

// What the left-hand status text starts with: column mode first, then the macro-recording mark.
std::wstring StatusModePrefixes(bool columnMode, bool recording);

// The left-hand status text of a hex tab: the caret's offset in hexadecimal and decimal, and the
// value of the byte under it (`byteValue` -1 when there is none, as in an empty file).
std::wstring HexCaretStatusText(uint64_t offset, int byteValue, const std::wstring& offsetWord,
                                const std::wstring& byteWord);

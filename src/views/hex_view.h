#pragma once
// The hex view of the active tab: painting into the editor area and the input the tab's hidden
// editor forwards while the tab is in hex mode. The rules themselves live in document/hex_model.h.
#include <windows.h>

struct Document;

void PaintHexView(HDC dc);
// Input of the active tab in hex mode; each returns true when it handled the message.
bool HexKey(unsigned key, bool ctrl, bool shift);
bool HexChar(wchar_t character);
void HexClick(int x, int y);  // relative to the editor area
void HexWheel(int delta);
void HexUndo(Document& doc);
void HexRedo(Document& doc);
// Switches the active tab between text and bytes (refusing, with a message, when leaving would
// lose bytes).
void ToggleHexMode();

// Posted to the main window when the bytes of a mapping could not be read; its handler calls
// ReportHexReadFailure (once per mapping).
constexpr UINT kHexReadFailed = WM_APP + 0x48;
void ReportHexReadFailure();

#pragma once
// ui.ini: window, language, look, panel and search-option state as "key=integer" lines.

#include <string>

#include "syntax/palette.h"  // kThemeCount, kSchemeCount

struct UiState {
    int startMaximized = 0;  // written as 1 when the window is maximized or full screen
    int uiLanguage = 4;      // 0..19, 4 is English
    int theme = 0;           // 0..2
    int colorScheme = 0;     // 0..5
    int sidebarVisible = 1;  // the flags hold 0 or 1
    int statusBarVisible = 1;
    int matchCase = 0;
    int wholeWord = 0;
    int regex = 0;
    int allFiles = 0;
};

const int kUiLanguageCount = 20;

// Reads the file's bytes into `state`. An empty file changes nothing; a file without any "=" is
// the older form whose only value is the maximized flag ("1" anywhere); otherwise each key is
// taken at its first occurrence and a value out of range leaves its field unchanged.
void ReadUiState(const std::string& bytes, UiState& state);
// The same over text that is already decoded.
void ReadUiStateText(const std::wstring& text, UiState& state);

// The exact bytes of the file: UTF-8 with a byte-order mark, lines ending in CR LF.
std::string FormatUiState(const UiState& state);

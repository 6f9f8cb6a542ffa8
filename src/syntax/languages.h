#pragma once
// The languages the editor colours: detection from file names, lexers and style colours.
#include <windows.h>
#include <string>
#include <vector>

#include "syntax/palette.h"

// LanguageId from a file name: 0 plain text, 1 C/C++, 2 C#, 3 Python, 4 JavaScript/TypeScript,
// 5 JSON, 6 HTML, 7 CSS, 8 Markdown, 9 XML. Anything else counts as plain text.
int DetectLanguage(const std::wstring& path);
// Short name shown in the status bar ("Plain", "C/C++", ...); unknown values give "Plain".
const wchar_t* LanguageDisplayName(int language);
// The lexer number for a language (1 null, 2 python, 3 cpp, 4 hypertext, 5 xml, 38 css,
// 98 markdown, 120 json).
int LexerForLanguage(int language);

// The palette colours a lexer style can take.
enum class ColourRole { Text, Editor, LineNumber, Keyword, String, Property, Type, Comment, Number };

struct StyleRole {
    int style;
    ColourRole role;
};

struct KeywordSet {
    int set;
    const char* words;  // ASCII, single spaces, handed to the lexer as it stands
};

// Everything a language sets on an editor beyond the default and line-number styles, in the order
// it is sent: lexer, keyword sets, then style foregrounds.
struct LexerSetup {
    int lexer;
    std::vector<KeywordSet> keywords;
    std::vector<StyleRole> styles;
};

LexerSetup LexerSetupFor(int language);
Colour RoleColour(const Palette& colours, ColourRole role);

// Documents longer than this keep their styles uncleared and their lexer untouched.
constexpr long long kMaxStyledLength = 0x800000;

// Default style (palette text and editor colours, settings font), style reset, line-number style,
// then the language's lexer, keywords and style colours.
void ApplyLanguageStyles(HWND editor, int language);

#pragma once
#include <windows.h>
#include <string>

// LanguageId from a file name: 0 plain text, 1 C/C++, 2 C#, 3 Python, 4 JavaScript/TypeScript,
// 5 JSON, 6 HTML, 7 CSS, 8 Markdown, 9 XML.
int DetectLanguage(const std::wstring& path);
// The lexer number for a language (1 null, 2 python, 3 cpp, 4 hypertext, 5 xml, 38 css,
// 98 markdown, 120 json).
int LexerForLanguage(int language);
// Default style, line-number style and lexer of one editor for a language, in palette colours.
void ApplyLanguageStyles(HWND editor, int language);

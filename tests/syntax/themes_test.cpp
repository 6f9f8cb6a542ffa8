// Syntax styles and palette changes on real editing-component windows.
#include "syntax/themes.h"

#include <gtest/gtest.h>

#include "support/component.h"

#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/editor.h"
#include "document/document.h"
#include "syntax/languages.h"
#include "syntax/palette.h"

namespace {

using editor::Send;

Colour Fore(HWND ed, int style) { return static_cast<Colour>(Send(ed, editor::kStyleGetFore, style)); }
Colour Back(HWND ed, int style) { return static_cast<Colour>(Send(ed, editor::kStyleGetBack, style)); }

std::string LexerLanguage(HWND ed) {
    char name[64] = {};
    Send(ed, editor::kGetLexerLanguage, 0, reinterpret_cast<LPARAM>(name));
    return name;
}

// Style of the first character of `word` in the text, after lexing all of it.
int StyleOf(HWND ed, const std::string& word) {
    const std::string text = editor::GetText(ed);
    const size_t at = text.find(word);
    if (at == std::string::npos) return -1;
    Send(ed, editor::kColourise, 0, static_cast<LPARAM>(-1));
    return static_cast<int>(Send(ed, editor::kGetStyleAt, at));
}

class Styling : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadComponentForTests()); }

    HWND NewEditor(const std::string& text = {}) {
        HWND ed = CreateWindowExW(0, L"Scintilla", L"", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr, nullptr, nullptr);
        EXPECT_NE(ed, nullptr);
        Send(ed, editor::kSetCodePage, 65001);
        editor::SetText(ed, text);
        windows.push_back(ed);
        return ed;
    }

    void TearDown() override {
        documents.clear();
        for (HWND ed : windows) DestroyWindow(ed);
        palette = StartPalette();
        app.theme = 0;
        app.colorScheme = 0;
    }

    std::vector<HWND> windows;
};

TEST_F(Styling, CppWordsTakeTheSchemeColoursOfTheirLists) {
    palette = PaletteFor(0, 1);
    HWND ed = NewEditor("int main() { size_t n = 0; std::vector<int> v; return 42; } // done\n");
    ApplyLanguageStyles(ed, 1);

    EXPECT_EQ("cpp", LexerLanguage(ed));
    // (The colours of the C++, JSON and Markdown styles are the end-to-end test's, test_syntax_look.sh.)
    // Cleared styles took the default background; none was given one of its own.
    EXPECT_EQ(palette.editorColor, Back(ed, 5));

    // "int" is in both lists: the keyword list wins.
    EXPECT_EQ(5, StyleOf(ed, "int main"));
    EXPECT_EQ(5, StyleOf(ed, "return"));
    EXPECT_EQ(16, StyleOf(ed, "size_t"));
    EXPECT_EQ(16, StyleOf(ed, "vector"));
    EXPECT_EQ(11, StyleOf(ed, "main"));
    EXPECT_EQ(2, StyleOf(ed, "// done"));
}

TEST_F(Styling, PythonStylesReachTheirWords) {
    HWND py = NewEditor("@cached\ndef f(x):\n    return len(x)  # n\n");
    ApplyLanguageStyles(py, 3);
    EXPECT_EQ("python", LexerLanguage(py));
    EXPECT_EQ(5, StyleOf(py, "def"));
    EXPECT_EQ(5, StyleOf(py, "len"));
    EXPECT_EQ(15, StyleOf(py, "@cached"));
    EXPECT_EQ(palette.typeColor, Fore(py, 15));
    EXPECT_EQ(palette.commentColor, Fore(py, StyleOf(py, "# n")));
}

// Over 8 MiB the lexer and the language's styles stay as they are; the text, all drawn in style 0,
// follows the palette so that a theme switch does not leave the old colours behind.
TEST_F(Styling, DocumentsOverEightMiBKeepTheirLexerAndFollowThePalette) {
    const Colour marker = Hex(0x123456);
    HWND atLimit = NewEditor(std::string(0x800000, 'x'));
    HWND over = NewEditor(std::string(0x800001, 'x'));
    for (HWND ed : {atLimit, over}) {
        editor::SetLexer(ed, 1);
        Send(ed, editor::kStyleSetFore, 5, marker);
        Send(ed, editor::kStyleSetBack, 0, marker);
    }
    palette = PaletteFor(1, 0);
    ApplyLanguageStyles(atLimit, 1);
    ApplyLanguageStyles(over, 1);

    EXPECT_EQ(palette.keywordColor, Fore(atLimit, 5));
    EXPECT_EQ(palette.editorColor, Back(atLimit, 0));
    EXPECT_EQ("cpp", LexerLanguage(atLimit));

    EXPECT_EQ(marker, Fore(over, 5));
    EXPECT_EQ(palette.textColor, Fore(over, 0));
    EXPECT_EQ(palette.editorColor, Back(over, 0));
    EXPECT_EQ("null", LexerLanguage(over));
    EXPECT_EQ(palette.textColor, Fore(over, 32));
    EXPECT_EQ(palette.editorColor, Back(over, 32));
    EXPECT_EQ(palette.lineNumberColor, Fore(over, 33));
    EXPECT_EQ(palette.editorColor, Back(over, 33));
}

// Two tabs as the tab list holds them; the second is in hex mode, its editor hidden.
class Themes : public Styling {
protected:
    void OpenTabs() {
        cpp = NewEditor("int x = 1;\n");
        json = NewEditor("{\"a\": true}");
        Document first, second;
        first.editor = cpp;
        first.language = 1;
        second.editor = json;
        second.language = 5;
        second.hexMode = 1;
        documents.push_back(std::move(first));
        documents.push_back(std::move(second));
        ApplyThemeAndScheme();
    }
    HWND cpp = nullptr, json = nullptr;
};

// A scheme change recolours every tab and keeps the theme; a theme change and back restores every
// background, the scheme staying in its variant for the background.
TEST_F(Themes, SchemeAndThemeChangesRecolourEveryTab) {
    OpenTabs();
    const Palette monokai = PaletteFor(0, 0), nord = PaletteFor(0, 3), light = PaletteFor(1, 3);
    ASSERT_NE(monokai.keywordColor, nord.keywordColor);
    ASSERT_NE(nord.editorColor, light.editorColor);
    EXPECT_EQ(monokai.keywordColor, Fore(cpp, 5));
    EXPECT_EQ(monokai.keywordColor, Fore(json, 11));

    app.colorScheme = 3;  // Nord
    ApplyThemeAndScheme();
    EXPECT_EQ(nord.keywordColor, palette.keywordColor);
    EXPECT_EQ(nord.keywordColor, Fore(cpp, 5));
    EXPECT_EQ(nord.keywordColor, Fore(json, 11));
    EXPECT_EQ(nord.typeColor, Fore(cpp, 16));
    EXPECT_EQ(nord.stringColor, Fore(json, 2));
    for (HWND ed : {cpp, json}) {
        EXPECT_EQ(monokai.editorColor, Back(ed, 32));
        EXPECT_EQ(monokai.textColor, Fore(ed, 32));
        EXPECT_EQ(monokai.lineNumberColor, Fore(ed, 33));
    }
    EXPECT_EQ("cpp", LexerLanguage(cpp));
    EXPECT_EQ("json", LexerLanguage(json));

    app.theme = 1;
    ApplyThemeAndScheme();
    for (HWND ed : {cpp, json}) {
        EXPECT_EQ(light.editorColor, Back(ed, 32));
        EXPECT_EQ(light.editorColor, Back(ed, 0));
        EXPECT_EQ(light.textColor, Fore(ed, 32));
    }
    EXPECT_EQ(light.panelColor, palette.panelColor);
    EXPECT_EQ(light.keywordColor, Fore(cpp, 5));

    app.theme = 0;
    ApplyThemeAndScheme();
    for (HWND ed : {cpp, json}) {
        for (int style : {32, 0, 5, 33}) EXPECT_EQ(nord.editorColor, Back(ed, style)) << style;
    }
    EXPECT_EQ(nord.selectionColor, palette.selectionColor);
}

}  // namespace

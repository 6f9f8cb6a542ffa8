#include "syntax/languages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(DetectLanguage, OnlyAsciiCaseIsFoldedAndTheLastEndingDecides) {
    EXPECT_EQ(1, DetectLanguage(L"MAIN.CPP"));
    EXPECT_EQ(1, DetectLanguage(L"main.Cpp"));
    EXPECT_EQ(1, DetectLanguage(L"main.cc"));
    EXPECT_EQ(0, DetectLanguage(L"main.cxx"));
    EXPECT_EQ(0, DetectLanguage(L"main.hh"));
    EXPECT_EQ(1, DetectLanguage(L"C:\\Code\\\u00C4RGER.H"));
    // A full-width letter is not an ASCII capital.
    EXPECT_EQ(0, DetectLanguage(L"main.\uFF23PP"));
    EXPECT_EQ(0, DetectLanguage(L""));
    EXPECT_EQ(0, DetectLanguage(L"cpp"));
    EXPECT_EQ(0, DetectLanguage(L"main.c.bak"));
}

TEST(DetectLanguage, SimilarEndingsDoNotShadowEachOther) {
    EXPECT_EQ(2, DetectLanguage(L"Program.cs"));
    EXPECT_EQ(7, DetectLanguage(L"site.css"));  // ".cs" must not claim it
    EXPECT_EQ(1, DetectLanguage(L"x.c"));
    EXPECT_EQ(5, DetectLanguage(L"app.json"));  // ".js" must not claim it
    EXPECT_EQ(4, DetectLanguage(L"app.js"));
    EXPECT_EQ(4, DetectLanguage(L"app.TS"));
    EXPECT_EQ(0, DetectLanguage(L"app.jsx"));
    EXPECT_EQ(0, DetectLanguage(L"app.tsx"));
    EXPECT_EQ(0, DetectLanguage(L"app.mjs"));
    EXPECT_EQ(6, DetectLanguage(L"index.html"));
    EXPECT_EQ(6, DetectLanguage(L"INDEX.HTM"));
    EXPECT_EQ(8, DetectLanguage(L"notes.md"));
    EXPECT_EQ(0, DetectLanguage(L"notes.markdown"));
    EXPECT_EQ(9, DetectLanguage(L"pom.xml"));
    EXPECT_EQ(3, DetectLanguage(L"setup.py"));
    EXPECT_EQ(0, DetectLanguage(L"setup.pyw"));
}

TEST(DetectLanguage, OnlyTheEndOfThePathCounts) {
    EXPECT_EQ(0, DetectLanguage(L"C:\\work\\tools.py\\Makefile"));
    EXPECT_EQ(0, DetectLanguage(L"/home/me/site.css/README"));
    EXPECT_EQ(3, DetectLanguage(L"C:\\work.cpp\\run.py"));
}

TEST(LanguageTables, UnknownLanguagesGetTheNullLexerAndNothingElse) {
    for (int language : {0, -1, 10, 1000}) {
        const LexerSetup setup = LexerSetupFor(language);
        EXPECT_EQ(1, setup.lexer) << language;
        EXPECT_TRUE(setup.keywords.empty()) << language;
        EXPECT_TRUE(setup.styles.empty()) << language;
        EXPECT_STREQ(L"Plain", LanguageDisplayName(language));
    }
}

TEST(LanguageTables, LexersAndDisplayNames) {
    const struct {
        int language, lexer;
        const wchar_t* name;
    } cases[] = {{1, 3, L"C/C++"}, {2, 3, L"C#"},   {3, 2, L"Python"},    {4, 3, L"JS/TS"}, {5, 120, L"JSON"},
                 {6, 4, L"HTML"},  {7, 38, L"CSS"}, {8, 98, L"Markdown"}, {9, 5, L"XML"}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.lexer, LexerSetupFor(c.language).lexer) << c.language;
        EXPECT_EQ(c.lexer, LexerForLanguage(c.language)) << c.language;
        EXPECT_STREQ(c.name, LanguageDisplayName(c.language));
    }
}

// Whatever the theme and scheme, each style a language colours is drawn in a colour that differs
// from the editor background, and styles of different roles in one language differ from each other.
TEST(LanguageTables, StylesGiveDistinctReadableColoursInEveryThemeAndScheme) {
    for (int language = 1; language <= 9; ++language) {
        const std::vector<StyleRole> styles = LexerSetupFor(language).styles;
        ASSERT_FALSE(styles.empty()) << language;
        for (int theme = 0; theme < kThemeCount; ++theme) {
            for (int scheme = 0; scheme < kSchemeCount; ++scheme) {
                const Palette p = PaletteFor(theme, scheme);
                for (const StyleRole& a : styles) {
                    SCOPED_TRACE(testing::Message() << "language " << language << " theme " << theme << " scheme "
                                                    << scheme << " style " << a.style);
                    EXPECT_NE(p.editorColor, RoleColour(p, a.role));
                    EXPECT_NE(p.lineNumberColor, RoleColour(p, a.role));
                    for (const StyleRole& b : styles) {
                        if (a.role == b.role) continue;
                        EXPECT_NE(RoleColour(p, a.role), RoleColour(p, b.role)) << b.style;
                    }
                }
            }
        }
    }
}

// The lexer splits a keyword list on white space; anything but single ASCII spaces would hide words.
TEST(LanguageTables, KeywordListsAreSingleSpacedAscii) {
    for (int language = 1; language <= 9; ++language) {
        for (const KeywordSet& set : LexerSetupFor(language).keywords) {
            const std::string list = set.words;
            ASSERT_FALSE(list.empty()) << language;
            EXPECT_EQ(std::string::npos, list.find("  ")) << language;
            EXPECT_NE(' ', list.front());
            EXPECT_NE(' ', list.back());
            for (char ch : list) EXPECT_TRUE(ch == ' ' || (ch > ' ' && ch < 0x7F)) << static_cast<int>(ch);
        }
    }
}

}  // namespace

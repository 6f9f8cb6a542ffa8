#include "syntax/languages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Each language's endings map back to it in any ASCII case and after any folder and name; an ending
// that merely starts or ends like one of them (".css" and ".cs", ".json" and ".js") maps elsewhere.
TEST(DetectLanguage, EachEndingMapsBackToItsLanguage) {
    const struct {
        int language;
        std::vector<const wchar_t*> endings;
    } languages[] = {{1, {L"c", L"cpp", L"cc", L"h", L"hpp"}}, {2, {L"cs"}}, {3, {L"py"}}, {4, {L"js", L"ts"}},
                     {5, {L"json"}}, {6, {L"html", L"htm"}}, {7, {L"css"}}, {8, {L"md"}}, {9, {L"xml"}}};
    const wchar_t* const notOurs[] = {L"cxx", L"hh", L"jsx", L"tsx", L"mjs", L"markdown", L"pyw", L"bak", L""};
    const wchar_t* const before[] = {L"main.", L"C:\\work.cpp\\run.", L"/home/me/site.css/x.", L"\u00C4RGER.", L"a.b."};
    const auto upper = [](std::wstring text) {
        for (wchar_t& c : text) c = c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c;
        return text;
    };
    for (const auto& entry : languages) {
        for (const wchar_t* ending : entry.endings) {
            for (const wchar_t* path : before) {
                for (const std::wstring& e : {std::wstring(ending), upper(ending)}) {
                    EXPECT_EQ(entry.language, DetectLanguage(path + e)) << path << e;
                    EXPECT_EQ(0, DetectLanguage(path + e + L".bak")) << path << e;
                    EXPECT_EQ(0, DetectLanguage(path + e + L"\\Makefile")) << path << e;
                }
            }
        }
    }
    for (const wchar_t* ending : notOurs) EXPECT_EQ(0, DetectLanguage(std::wstring(L"main.") + ending)) << ending;
    // Only ASCII letters fold: a full-width C is not a C.
    EXPECT_EQ(0, DetectLanguage(L"main.\uFF23PP"));
    EXPECT_EQ(0, DetectLanguage(L"cpp"));
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

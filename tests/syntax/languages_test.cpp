#include "syntax/languages.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A table as "style:role" pairs in sending order, so a wrong number, role or order shows at once.
std::string Describe(const std::vector<StyleRole>& styles) {
    std::string out;
    for (const StyleRole& s : styles) {
        static const char kRoles[] = "TELKSPYCN";  // Text Editor LineNumber Keyword String Property tYpe Comment Number
        if (!out.empty()) out += ' ';
        out += std::to_string(s.style) + kRoles[static_cast<int>(s.role)];
    }
    return out;
}

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }
bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

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

TEST(LanguageTables, StyleRolesInSendingOrder) {
    const char* cFamily = "5K 16Y 6S 7S 4N 1C 2C 3C 15C 9Y 10T 11T";
    EXPECT_EQ(cFamily, Describe(LexerSetupFor(1).styles));
    EXPECT_EQ(cFamily, Describe(LexerSetupFor(2).styles));
    EXPECT_EQ(cFamily, Describe(LexerSetupFor(4).styles));
    // 15 is where the lexer puts decorators.
    EXPECT_EQ("5K 14Y 15Y 3S 4S 6S 7S 2N 1C 12C 10T 11T", Describe(LexerSetupFor(3).styles));
    EXPECT_EQ("0T 1N 2S 3S 4P 11K", Describe(LexerSetupFor(5).styles));
    EXPECT_EQ("0T 1Y 2C 3P 6S 7S 9C 46K 48S 49S 42C 43C 121K 119S 120S 124C 125C 127T",
              Describe(LexerSetupFor(6).styles));
    EXPECT_EQ("0T 9C 1Y 2P 6T 5T", Describe(LexerSetupFor(7).styles));
    EXPECT_EQ("0T 6P 7P 8P 9P 10P 11P 18Y", Describe(LexerSetupFor(8).styles));
    EXPECT_EQ("0T 1Y 3P 6S 9C", Describe(LexerSetupFor(9).styles));
}

TEST(LanguageTables, KeywordSetsPerLanguage) {
    for (int language : {1, 2, 4}) {
        const LexerSetup setup = LexerSetupFor(language);
        ASSERT_EQ(2u, setup.keywords.size()) << language;
        EXPECT_EQ(0, setup.keywords[0].set);
        EXPECT_EQ(1, setup.keywords[1].set);
        // One list serves the whole family.
        EXPECT_STREQ(LexerSetupFor(1).keywords[0].words, setup.keywords[0].words);
    }
    const std::string a = LexerSetupFor(1).keywords[0].words;
    const std::string b = LexerSetupFor(1).keywords[1].words;
    EXPECT_TRUE(StartsWith(a, "auto break case char const continue ")) << a;
    EXPECT_TRUE(EndsWith(a, " interface abstract sealed override event delegate get set")) << a;
    EXPECT_NE(std::string::npos, a.find(" nullptr bool import function var let typeof instanceof "));
    EXPECT_TRUE(StartsWith(b, "int char double float ")) << b;
    EXPECT_TRUE(EndsWith(b, " size_t wchar_t wstring string vector map")) << b;

    ASSERT_EQ(1u, LexerSetupFor(3).keywords.size());
    EXPECT_EQ(0, LexerSetupFor(3).keywords[0].set);
    const std::string c = LexerSetupFor(3).keywords[0].words;
    EXPECT_TRUE(StartsWith(c, "def class return if elif else ")) << c;
    EXPECT_TRUE(EndsWith(c, " print len range str int float list dict open")) << c;

    ASSERT_EQ(1u, LexerSetupFor(5).keywords.size());
    EXPECT_STREQ("true false null", LexerSetupFor(5).keywords[0].words);
    for (int language : {6, 7, 8, 9}) EXPECT_TRUE(LexerSetupFor(language).keywords.empty()) << language;

    // The lexer splits on white space; anything but single ASCII spaces would hide words.
    for (const std::string& list : {a, b, c}) {
        EXPECT_EQ(std::string::npos, list.find("  "));
        EXPECT_NE(' ', list.front());
        EXPECT_NE(' ', list.back());
        for (char ch : list) EXPECT_TRUE(ch == ' ' || (ch > ' ' && ch < 0x7F)) << static_cast<int>(ch);
    }
}

TEST(LanguageTables, RolesReadTheirPaletteColour) {
    const Palette p = PaletteFor(1, 2);
    EXPECT_EQ(p.textColor, RoleColour(p, ColourRole::Text));
    EXPECT_EQ(p.editorColor, RoleColour(p, ColourRole::Editor));
    EXPECT_EQ(p.lineNumberColor, RoleColour(p, ColourRole::LineNumber));
    EXPECT_EQ(p.keywordColor, RoleColour(p, ColourRole::Keyword));
    EXPECT_EQ(p.stringColor, RoleColour(p, ColourRole::String));
    EXPECT_EQ(p.propertyColor, RoleColour(p, ColourRole::Property));
    EXPECT_EQ(p.typeColor, RoleColour(p, ColourRole::Type));
    EXPECT_EQ(p.commentColor, RoleColour(p, ColourRole::Comment));
    EXPECT_EQ(p.numberColor, RoleColour(p, ColourRole::Number));
}

}  // namespace

// The editing component, loaded for real: the lexer numbers the program uses must select the
// matching lexers of the lexer library.
#include "base/editor.h"

#include <gtest/gtest.h>

#include "support/component.h"

#include <string>

namespace {

std::string LexerLanguage(HWND window) {
    char name[64] = {};
    editor::Send(window, 4012 /* SCI_GETLEXERLANGUAGE */, 0, reinterpret_cast<LPARAM>(name));
    return name;
}

class EditorComponent : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadComponentForTests()); }
    void SetUp() override {
        window = CreateWindowExW(0, L"Scintilla", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override { DestroyWindow(window); }
    HWND window = nullptr;
};

TEST_F(EditorComponent, LexerNumbersSelectTheirLexers) {
    const struct {
        int id;
        const char* name;
    } cases[] = {{1, "null"}, {2, "python"}, {3, "cpp"},       {4, "hypertext"},
                 {5, "xml"},  {38, "css"},   {98, "markdown"}, {120, "json"}};
    for (const auto& c : cases) {
        EXPECT_TRUE(editor::SetLexer(window, c.id)) << c.id;
        EXPECT_EQ(c.name, LexerLanguage(window)) << c.id;
    }
}

TEST_F(EditorComponent, UnknownLexerNumberKeepsTheCurrentLexer) {
    ASSERT_TRUE(editor::SetLexer(window, 3));
    EXPECT_FALSE(editor::SetLexer(window, 4001));
    EXPECT_FALSE(editor::SetLexer(window, 0));
    EXPECT_EQ("cpp", LexerLanguage(window));
}

TEST_F(EditorComponent, TextRoundTripsAsUtf8) {
    editor::Send(window, editor::kSetCodePage, 65001);
    // A zero byte inside the text must not cut it.
    const std::string text = std::string("a\xC3\xBC\0b\r\n", 7) + "\xE4\xB8\xAD\xF0\x9F\x98\x80";
    editor::SetText(window, "old text");
    editor::SetText(window, text);
    EXPECT_EQ(text, editor::GetText(window));
    EXPECT_EQ(0, editor::Send(window, editor::kGetCurrentPos));
    EXPECT_EQ(static_cast<long long>(text.size()), editor::Length(window));
    EXPECT_EQ(2, editor::LineCount(window));
    editor::Send(window, editor::kSetSel, text.size(), static_cast<LPARAM>(text.size()));
    editor::AddText(window, "xyz", 2);
    editor::AddText(window, "!", 1);
    EXPECT_EQ(text + "xy!", editor::GetText(window));
}

}  // namespace

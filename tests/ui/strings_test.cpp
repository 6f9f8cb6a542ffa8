#include "base/strings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "base/app_state.h"

namespace {

// Words that other languages really do write as English does.
const std::set<std::wstring> kSharedWords = {L"OK",         L"Zoom",          L"File",    L"Edit",     L"Ln",
                                             L"Col",        L"Documentation", L"Project", L"Help",     L"Font",
                                             L"Version %s", L"Offset",        L"Byte",    L"%1 in %2", L"%d file"};

// Languages written in a script other than Latin: an entry of pure ASCII there is an English leftover.
const std::set<int> kNonLatinLanguages = {0, 2, 7, 9, 10, 12, 15, 16, 18};

StringTable TableAt(int index) { return static_cast<StringTable>(index); }

std::wstring Text(int language, int table, int entry) { return LocalizedTextFor(language, TableAt(table), entry); }
std::wstring English(int table, int entry) { return Text(kEnglishLanguage, table, entry); }

// The printf directives of a text in order, and its line breaks: a translation must keep both, or
// formatting it reads the wrong arguments. Numbered pieces ("%1", "%2") may come in any order.
std::wstring FormatShape(const std::wstring& text) {
    std::wstring shape;
    std::set<wchar_t> numbered;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n') {
            shape += L"|n";
        } else if (text[i] == L'%') {
            if (i + 1 < text.size() && text[i + 1] >= L'1' && text[i + 1] <= L'9') {
                numbered.insert(text[++i]);
                continue;
            }
            shape += L'%';
            if (i + 1 < text.size()) shape += text[++i];
        }
    }
    for (wchar_t n : numbered) shape += std::wstring(L"%") + n;
    return shape;
}

bool IsAscii(const std::wstring& text) {
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c <= 0x7F; });
}

// The shortcut part of a key-binding line: up to and including the two blanks, or "Ctrl+," for the
// line that has none.
std::wstring ShortcutPart(const std::wstring& line) {
    std::size_t blanks = line.find(L"  ");
    return blanks == std::wstring::npos ? line.substr(0, 6) : line.substr(0, blanks + 2);
}

}  // namespace

TEST(StringTables, EveryEntryIsPresentAndTrimmed) {
    std::set<std::wstring> names;
    for (int lang = 0; lang < kInterfaceLanguageCount; ++lang) {
        names.insert(LanguageName(lang));
        for (int t = 0; t < kStringTableCount; ++t) {
            for (int e = 0; e < StringTableEntryCount(TableAt(t)); ++e) {
                const std::wstring text = Text(lang, t, e);
                ASSERT_FALSE(text.empty()) << "language " << lang << " table " << t << " entry " << e;
                EXPECT_NE(L' ', text.front()) << "language " << lang << " table " << t << " entry " << e;
                EXPECT_NE(L' ', text.back()) << "language " << lang << " table " << t << " entry " << e;
            }
        }
    }
    // Every language has a name of its own in the Language menu.
    EXPECT_EQ(static_cast<size_t>(kInterfaceLanguageCount), names.size());
    EXPECT_EQ(0u, names.count(L""));
}

TEST(StringTables, TranslationsKeepFormatDirectivesAndLineBreaks) {
    for (int lang = 0; lang < kInterfaceLanguageCount; ++lang) {
        for (int t = 0; t < kStringTableCount; ++t) {
            for (int e = 0; e < StringTableEntryCount(TableAt(t)); ++e) {
                EXPECT_EQ(FormatShape(English(t, e)), FormatShape(Text(lang, t, e)))
                    << "language " << lang << " table " << t << " entry " << e;
            }
        }
    }
    // The line break ends the first part, so the path starts a line of its own.
    for (int lang = 0; lang < kInterfaceLanguageCount; ++lang) {
        EXPECT_EQ(L'\n', Text(lang, static_cast<int>(StringTable::ExternalChange), 0).back()) << lang;
        EXPECT_EQ(L'\n', Text(lang, static_cast<int>(StringTable::FileErrors), 0).back()) << lang;
        EXPECT_EQ(L'\n', Text(lang, static_cast<int>(StringTable::FileErrors), 1).back()) << lang;
    }
}

TEST(StringTables, KeyBindingShortcutsAreTheSameInEveryLanguage) {
    const int table = static_cast<int>(StringTable::KeyBindingLines);
    for (int e = 0; e < StringTableEntryCount(StringTable::KeyBindingLines); ++e) {
        const std::wstring shortcut = ShortcutPart(English(table, e));
        for (int lang = 0; lang < kInterfaceLanguageCount; ++lang) {
            const std::wstring line = Text(lang, table, e);
            ASSERT_EQ(shortcut, line.substr(0, shortcut.size())) << "language " << lang << " line " << e;
            EXPECT_GT(line.size(), shortcut.size()) << "language " << lang << " line " << e;
            EXPECT_NE(L' ', line[shortcut.size()]) << "language " << lang << " line " << e;
        }
    }
}

TEST(StringTables, NoEnglishLeftInOtherLanguages) {
    for (int lang = 0; lang < kInterfaceLanguageCount; ++lang) {
        if (lang == kEnglishLanguage) continue;
        for (int t = 0; t < kStringTableCount; ++t) {
            int same = 0;
            const int entries = StringTableEntryCount(TableAt(t));
            for (int e = 0; e < entries; ++e) {
                const std::wstring text = Text(lang, t, e);
                if (text == English(t, e)) {
                    ++same;
                    EXPECT_TRUE(kSharedWords.count(text))
                        << "untranslated: language " << lang << " table " << t << " entry " << e;
                }
                if (kNonLatinLanguages.count(lang) && text != L"OK") {
                    EXPECT_FALSE(IsAscii(text)) << "language " << lang << " table " << t << " entry " << e;
                }
            }
            if (entries > 1) {
                EXPECT_LT(same, entries) << "language " << lang << " table " << t;
            }
        }
    }
}

TEST(StringTables, MenuTextsFitAMenu) {
    const StringTable menuTables[] = {
        StringTable::General,          StringTable::MenuLabels,    StringTable::TabMenuLabels,
        StringTable::HexModeLabel,     StringTable::PrintLabel,    StringTable::ClearListLabel,
        StringTable::RecentFilesLabel, StringTable::NoRecentFiles, StringTable::LineEndingsLabel,
        StringTable::EncodingLabel,    StringTable::IndentLabels,  StringTable::ColumnModeLabel,
        StringTable::WordWrapLabel,    StringTable::GotoLine,      StringTable::ZoomLabel,
    };
    for (int lang = 0; lang < kInterfaceLanguageCount; ++lang) {
        for (StringTable table : menuTables) {
            for (int e = 0; e < StringTableEntryCount(table); ++e) {
                EXPECT_LE(std::wstring(LocalizedTextFor(lang, table, e)).size(), 32u)
                    << "language " << lang << " table " << static_cast<int>(table) << " entry " << e;
            }
        }
    }
}

TEST(StringTables, UntitledWordLeavesRoomForTheNumber) {
    // Untitled tabs are numbered by reading the digits after this word.
    for (int lang = 0; lang < kInterfaceLanguageCount; ++lang) {
        const std::wstring word = LocalizedTextFor(lang, StringTable::UntitledName, 0);
        ASSERT_FALSE(word.empty()) << lang;
        EXPECT_EQ(std::wstring::npos, std::wstring(L"0123456789 ").find(word.back())) << lang;
    }
}

TEST(StringTables, OutOfRangeLookupsAreEmpty) {
    EXPECT_STREQ(L"", LocalizedTextFor(-1, StringTable::General, 0));
    EXPECT_STREQ(L"", LocalizedTextFor(kInterfaceLanguageCount, StringTable::General, 0));
    EXPECT_STREQ(L"", LocalizedTextFor(kEnglishLanguage, StringTable::General, -1));
    EXPECT_STREQ(L"", LocalizedTextFor(kEnglishLanguage, StringTable::General, 16));
    EXPECT_STREQ(L"", LocalizedTextFor(kEnglishLanguage, StringTable::HexModeLabel, 1));
    EXPECT_STREQ(L"", LocalizedTextFor(kEnglishLanguage, TableAt(kStringTableCount), 0));
    EXPECT_STREQ(L"", LocalizedTextFor(kEnglishLanguage, TableAt(-1), 0));
    EXPECT_STREQ(L"", LanguageName(-1));
    EXPECT_STREQ(L"", LanguageName(kInterfaceLanguageCount));
    EXPECT_STREQ(L"", KeyBindingsCaption(kInterfaceLanguageCount));
}

TEST(StringTables, MessagesSpeakTheInterfaceLanguage) {
    // The Chinese interface keeps its texts word for word; the English one reads no CJK at all.
    EXPECT_EQ(L"\u662F\u5426\u5C06\u66F4\u6539\u4FDD\u5B58\u5230 a.txt\uFF1F",
              MessageIn(2, MessageText::SaveChangesQuestion, L"a.txt"));
    EXPECT_EQ(L"\u65E0\u6CD5\u4FDD\u5B58\u6587\u4EF6\u3002\u8BF7\u68C0\u67E5\u6587\u4EF6\u6743\u9650\u3001"
              L"\u5360\u7528\u72B6\u6001\u548C\u76EE\u6807\u76EE\u5F55\u3002",
              MessageIn(2, MessageText::SaveFailed));
    const int count = StringTableEntryCount(StringTable::Messages);
    for (int e = 0; e < count; ++e) {
        const std::wstring english = MessageIn(kEnglishLanguage, static_cast<MessageText>(e), L"x");
        for (wchar_t c : english) EXPECT_TRUE(c < 0x2E80 || c > 0xFFEF) << "entry " << e;
    }
    // The piece goes in as it is, even when it holds a directive of its own.
    EXPECT_EQ(L"Save changes to 100%s.txt?", MessageIn(kEnglishLanguage, MessageText::SaveChangesQuestion, L"100%s.txt"));
    EXPECT_EQ(L"Read-only", MessageIn(kEnglishLanguage, MessageText::ReadOnlyMark, L"ignored"));
    // The texts follow the interface language as it is now.
    const int saved = app.uiLanguage;
    app.uiLanguage = 3;
    EXPECT_EQ(L"Projekt gespeichert", MessageFor(MessageText::ProjectSaved));
    EXPECT_STREQ(L"Datei", LocalizedText(StringTable::General, 0));
    app.uiLanguage = kInterfaceLanguageCount;
    EXPECT_STREQ(L"", LocalizedText(StringTable::General, 0));
    app.uiLanguage = saved;
}

TEST(StringTables, SystemLanguageChoosesTheInterfaceLanguage) {
    EXPECT_EQ(3, InterfaceLanguageOfLangId(0x0407));   // German (Germany)
    EXPECT_EQ(3, InterfaceLanguageOfLangId(0x0C07));   // German (Austria)
    EXPECT_EQ(2, InterfaceLanguageOfLangId(0x0804));   // Chinese (PRC)
    EXPECT_EQ(14, InterfaceLanguageOfLangId(0x0416));  // Portuguese (Brazil)
    EXPECT_EQ(12, InterfaceLanguageOfLangId(0x0429));  // Persian
    EXPECT_EQ(4, InterfaceLanguageOfLangId(0x0809));   // English (United Kingdom)
    EXPECT_EQ(4, InterfaceLanguageOfLangId(0x0436));   // Afrikaans: none of the twenty
    // Every interface language is reachable.
    std::set<int> reached;
    for (int id = 0; id < 0x400; ++id) reached.insert(InterfaceLanguageOfLangId(static_cast<unsigned short>(id)));
    EXPECT_EQ(static_cast<size_t>(kInterfaceLanguageCount), reached.size());
}

// Nouns after a number, as the grammars of the languages have them (not as the table writes them).
TEST(StringTables, PluralFormsFollowEachLanguagesRule) {
    const int english = kEnglishLanguage, french = 6, polish = 13, russian = 15, ukrainian = 18, japanese = 9;
    EXPECT_EQ(0, PluralCategory(english, 1));
    for (long long n : {0, 2, 5, 11, 21, 101}) EXPECT_EQ(2, PluralCategory(english, n)) << n;
    EXPECT_EQ(0, PluralCategory(french, 0));
    EXPECT_EQ(0, PluralCategory(french, 1));
    EXPECT_EQ(2, PluralCategory(french, 2));
    for (int slavic : {russian, ukrainian}) {
        for (long long n : {1, 21, 101, 1001}) EXPECT_EQ(0, PluralCategory(slavic, n)) << n;
        for (long long n : {2, 3, 4, 22, 34, 104}) EXPECT_EQ(1, PluralCategory(slavic, n)) << n;
        for (long long n : {0, 5, 11, 12, 14, 25, 111, 112}) EXPECT_EQ(2, PluralCategory(slavic, n)) << n;
    }
    EXPECT_EQ(0, PluralCategory(polish, 1));
    for (long long n : {2, 3, 4, 22, 23, 24, 102}) EXPECT_EQ(1, PluralCategory(polish, n)) << n;
    for (long long n : {0, 5, 11, 12, 13, 14, 21, 25, 112}) EXPECT_EQ(2, PluralCategory(polish, n)) << n;

    EXPECT_EQ(L"1 file", CountedText(english, StringTable::SearchTexts, 10, 1));
    EXPECT_EQ(L"2 files", CountedText(english, StringTable::SearchTexts, 10, 2));
    EXPECT_EQ(L"21 совпадение", CountedText(russian, StringTable::SearchTexts, 7, 21));
    EXPECT_EQ(L"3 совпадения", CountedText(russian, StringTable::SearchTexts, 7, 3));
    EXPECT_EQ(L"11 совпадений", CountedText(russian, StringTable::SearchTexts, 7, 11));
    EXPECT_EQ(L"22 wyniki", CountedText(polish, StringTable::SearchTexts, 7, 22));
    EXPECT_EQ(L"25 wyników", CountedText(polish, StringTable::SearchTexts, 7, 25));
    EXPECT_EQ(L"5 件一致", CountedText(japanese, StringTable::SearchTexts, 7, 5));
}

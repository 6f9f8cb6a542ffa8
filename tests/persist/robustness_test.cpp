// Feeds every reader many randomly damaged versions of valid files. Besides not crashing, the
// values must stay in their ranges, and whatever was read must survive its own writer unchanged.

#include <algorithm>
#include <cstring>
#include <numeric>
#include <random>

#include <gtest/gtest.h>

#include "persist/json_text.h"
#include "persist/recovery_file.h"
#include "persist/session_file.h"
#include "persist/settings_file.h"
#include "persist/ui_state_file.h"
#include "support/mutator.h"

namespace {

const int kRounds = 100000;

}  // namespace

TEST(Robustness, SettingsReader) {
    Settings full;
    full.fontSize = 20, full.tabWidth = 4, full.zoom = -7, full.wordWrap = true, full.newEnc = 3;
    full.fontFace = L"A \"B\" \\C";
    for (int i = 0; i < 10; ++i) full.recent.push_back(L"C:\\dir]" + std::to_wstring(i) + L"\\f\"[.txt");
    Mutator mutator({FormatSettings(Settings()), FormatSettings(full)});

    for (int round = 0; round < kRounds; ++round) {
        const std::string bytes = mutator.Next();
        Settings s;
        ReadSettings(bytes, s);
        ASSERT_TRUE(s.fontSize >= 8 && s.fontSize <= 32) << round;
        ASSERT_TRUE(s.tabWidth >= 1 && s.tabWidth <= 16) << round;
        ASSERT_TRUE(s.zoom >= -20 && s.zoom <= 40) << round;
        ASSERT_TRUE(s.newEnc >= 0 && s.newEnc <= 6) << round;
        ASSERT_LE(s.recent.size(), kMaxRecentFiles) << round;
        for (const std::wstring& entry : s.recent) ASSERT_FALSE(entry.empty()) << round;

        Settings back;
        back.fontSize = 9;  // the written file must carry every value itself
        ReadSettings(FormatSettings(s), back);
        ASSERT_EQ(FormatSettings(back), FormatSettings(s)) << round;
    }
}

TEST(Robustness, UiStateReader) {
    UiState other;
    other.startMaximized = 1, other.uiLanguage = 17, other.theme = 2, other.colorScheme = 5;
    other.sidebarVisible = 0, other.regex = 1, other.allFiles = 1;
    Mutator mutator({FormatUiState(UiState()), FormatUiState(other), std::string(kUtf8Bom) + "1"});

    for (int round = 0; round < kRounds; ++round) {
        UiState s;
        ReadUiState(mutator.Next(), s);
        ASSERT_TRUE(s.uiLanguage >= 0 && s.uiLanguage < kUiLanguageCount) << round;
        ASSERT_TRUE(s.theme >= 0 && s.theme < kThemeCount) << round;
        ASSERT_TRUE(s.colorScheme >= 0 && s.colorScheme < kSchemeCount) << round;
        for (int flag :
             {s.startMaximized, s.sidebarVisible, s.statusBarVisible, s.matchCase, s.wholeWord, s.regex, s.allFiles}) {
            ASSERT_TRUE(flag == 0 || flag == 1) << round;
        }

        UiState back = other;
        ReadUiState(FormatUiState(s), back);
        ASSERT_EQ(FormatUiState(back), FormatUiState(s)) << round;
    }
}

TEST(Robustness, SessionReader) {
    Session session;
    session.active = 2;
    session.entries = {{L"C:\\a]}.txt", L""},
                       {L"", L"line\none\t\"quoted\" {braces} [x] \\u0041\x01"},
                       {L"\\\\host\\share\\b.txt", L""},
                       {L"", L"\u00e9\u4e2d"}};
    Mutator mutator({FormatSession(session), FormatSession(Session())});

    for (int round = 0; round < kRounds; ++round) {
        const std::string bytes = mutator.Next();
        Session s;
        const bool any = ReadSession(bytes, s);
        ASSERT_EQ(any, !s.entries.empty()) << round;
        const std::wstring text = DecodeStoredText(bytes);
        ASSERT_LE(s.entries.size(), static_cast<size_t>(std::count(text.begin(), text.end(), L'{'))) << round;
        if (any) {
            std::vector<int> tabs(s.entries.size());
            std::iota(tabs.begin(), tabs.end(), 0);
            const int tab = RestoredActiveTab(s.active, tabs, static_cast<int>(tabs.size()));
            ASSERT_TRUE(tab >= 0 && tab < static_cast<int>(s.entries.size())) << round;
        }

        Session back;
        ReadSession(FormatSession(s), back);
        ASSERT_EQ(back.entries.size(), s.entries.size()) << round;
        if (!any) continue;
        ASSERT_EQ(back.active, s.active) << round;
        for (size_t i = 0; i < s.entries.size(); ++i) {
            ASSERT_EQ(back.entries[i].path, s.entries[i].path) << round;
            // A tab with a path is stored by its path alone.
            ASSERT_EQ(back.entries[i].text, s.entries[i].path.empty() ? s.entries[i].text : L"") << round;
        }
    }
}

TEST(Robustness, RecoveryIndexReader) {
    RecoveryEntry entry;
    entry.path = L"C:\\a]}\\\"b\".txt";
    entry.title = L"\"b\".txt";
    entry.file = L"tab-12.txt";
    entry.caret = 99, entry.encoding = 4, entry.fileTime = 5, entry.fileSize = 6;
    RecoveryEntry skipped;
    skipped.skipped = 1;
    Mutator mutator({FormatRecoveryIndex({entry, skipped}), FormatRecoveryIndex({entry})});

    for (int round = 0; round < kRounds; ++round) {
        std::vector<RecoveryEntry> entries;
        if (!ReadRecoveryIndex(mutator.Next(), entries)) continue;
        for (const RecoveryEntry& e : entries) {
            ASSERT_TRUE(e.encoding >= 0 && e.encoding <= 6 && e.lineEnding >= 0 && e.lineEnding <= 3) << round;
            ASSERT_GE(e.caret, 0) << round;
            // Only a plain name inside the snapshot folder is ever opened.
            ASSERT_EQ(e.file.find_first_of(L"\\/:"), std::wstring::npos) << round;
            ASSERT_EQ(e.file.empty(), e.skipped != 0) << round;
        }
        std::vector<RecoveryEntry> back;
        ASSERT_TRUE(ReadRecoveryIndex(FormatRecoveryIndex(entries), back)) << round;
        ASSERT_EQ(FormatRecoveryIndex(back), FormatRecoveryIndex(entries)) << round;
    }
}

// The changed bytes of a hex tab's snapshot: nine bytes per change (offset, then value). A file
// whose size is not a whole number of records is refused with nothing read; anything else reads
// as the last value given for each offset, and writes back to what it read.
TEST(Robustness, HexChangesReader) {
    const std::unordered_map<uint64_t, uint8_t> some = {{0, 0x41}, {1, 0}, {0xFFFFFFFFFFFFFFFFull, 0xFF}, {1ull << 40, 7}};
    std::unordered_map<uint64_t, uint8_t> many;
    for (uint64_t i = 0; i < 50; ++i) many[i * 4099] = static_cast<uint8_t>(i);
    Mutator mutator = Mutator::ForBytes({FormatHexChanges(some), FormatHexChanges(many), FormatHexChanges({})},
                                        {std::string(8, '\xFF'), std::string(9, '\0'), std::string(1, '\x80')});

    for (int round = 0; round < kRounds; ++round) {
        const std::string bytes = mutator.Next();
        std::unordered_map<uint64_t, uint8_t> changes = some;
        const bool read = ReadHexChanges(bytes, changes);
        ASSERT_EQ(read, bytes.size() % 9 == 0) << round;
        if (!read) {
            ASSERT_TRUE(changes.empty()) << round;
            continue;
        }
        ASSERT_LE(changes.size(), bytes.size() / 9) << round;
        for (size_t at = 0; at < bytes.size(); at += 9) {
            uint64_t offset = 0;
            std::memcpy(&offset, bytes.data() + at, 8);  // little-endian, as the format is
            ASSERT_EQ(changes.count(offset), 1u) << round;
        }
        if (!bytes.empty()) {
            uint64_t lastOffset = 0;
            std::memcpy(&lastOffset, bytes.data() + bytes.size() - 9, 8);
            ASSERT_EQ(changes.at(lastOffset), static_cast<uint8_t>(bytes.back())) << round;
        }
        std::unordered_map<uint64_t, uint8_t> back;
        ASSERT_TRUE(ReadHexChanges(FormatHexChanges(changes), back)) << round;
        ASSERT_EQ(back, changes) << round;
    }
}

TEST(Robustness, RandomBytes) {
    std::mt19937 rng(777);
    for (int round = 0; round < kRounds; ++round) {
        std::string bytes(rng() % 64, '\0');
        static const char alphabet[] = "\"\\[]{}:=1-u \xEF\xBB\xBF\xFF\xFE";
        for (char& c : bytes) c = alphabet[rng() % (sizeof alphabet - 1)];
        Settings settings;
        ReadSettings(bytes, settings);
        UiState ui;
        ReadUiState(bytes, ui);
        Session session;
        ReadSession(bytes, session);
        const std::wstring text = DecodeStoredText(bytes);
        for (size_t pos = 0; pos <= text.size(); ++pos) JsonUnescape(text, pos);
        ASSERT_TRUE(settings.fontSize >= 8 && settings.fontSize <= 32);
        ASSERT_TRUE(ui.uiLanguage >= 0 && ui.uiLanguage < kUiLanguageCount);
    }
}

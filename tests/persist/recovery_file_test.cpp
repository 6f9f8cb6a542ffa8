#include "persist/recovery_file.h"

#include <gtest/gtest.h>

namespace {

std::vector<RecoveryEntry> TwoTabs() {
    RecoveryEntry file;
    file.path = L"C:\\work\\a \"b\".cpp";
    file.title = L"a \"b\".cpp";
    file.file = L"tab-3.txt";
    file.encoding = 2, file.lineEnding = 1, file.language = 3, file.caret = 1234567890123;
    file.fileTime = 133000000000000000ull, file.fileSize = 42;
    RecoveryEntry untitled;
    untitled.title = L"New File 1";
    untitled.skipped = 1;
    return {file, untitled};
}

}  // namespace

TEST(RecoveryIndex, WritesExactBytesAndReadsThemBack) {
    const std::string bytes = FormatRecoveryIndex(TwoTabs());
    EXPECT_EQ(bytes,
              "\xEF\xBB\xBF{\"tabs\": [\n"
              "{\"path\": \"C:\\\\work\\\\a \\\"b\\\".cpp\", \"title\": \"a \\\"b\\\".cpp\", \"file\": \"tab-3.txt\", "
              "\"encoding\": 2, \"lineEnding\": 1, \"language\": 3, \"caret\": 1234567890123, \"modified\": 1, "
              "\"skipped\": 0, \"fileTime\": 133000000000000000, \"fileSize\": 42},\n"
              "{\"path\": \"\", \"title\": \"New File 1\", \"file\": \"\", \"encoding\": 0, \"lineEnding\": 0, "
              "\"language\": 0, \"caret\": 0, \"modified\": 1, \"skipped\": 1, \"fileTime\": 0, \"fileSize\": 0}\n"
              "]}\n");
    std::vector<RecoveryEntry> back;
    ASSERT_TRUE(ReadRecoveryIndex(bytes, back));
    EXPECT_EQ(FormatRecoveryIndex(back), bytes);
}

// A snapshot that is not whole is never offered (nor deleted): cut short, a field missing or out
// of range, or a text file name that would leave the folder.
TEST(RecoveryIndex, AnythingButAWholeIndexIsRefused) {
    const std::string good = FormatRecoveryIndex(TwoTabs());
    std::vector<RecoveryEntry> entries;
    for (size_t cut = 0; cut < good.size() - 1; ++cut)
        EXPECT_FALSE(ReadRecoveryIndex(good.substr(0, cut), entries)) << cut;
    auto with = [&](const std::string& from, const std::string& to) {
        std::string bytes = good;
        bytes.replace(bytes.find(from), from.size(), to);
        return bytes;
    };
    EXPECT_FALSE(ReadRecoveryIndex(with("\"encoding\": 2", "\"encoding\": 7"), entries));
    EXPECT_FALSE(ReadRecoveryIndex(with("\"caret\": 1234567890123", "\"caret\": -1"), entries));
    EXPECT_FALSE(ReadRecoveryIndex(with(", \"fileSize\": 42", ""), entries));
    EXPECT_FALSE(ReadRecoveryIndex(with("tab-3.txt", "..\\\\..\\\\settings.json"), entries));
    EXPECT_FALSE(ReadRecoveryIndex(with("tab-3.txt", ""), entries));
    EXPECT_FALSE(ReadRecoveryIndex(FormatRecoveryIndex({}), entries));
    EXPECT_TRUE(ReadRecoveryIndex(with("\n]}", "\n]}\ntrailing junk"), entries));
}

TEST(RecoveryIndex, HexTabsAndTheirChangedBytes) {
    std::vector<RecoveryEntry> entries = TwoTabs();
    const std::string text = FormatRecoveryIndex(entries);
    EXPECT_EQ(std::string::npos, text.find("\"hex\"")) << "text tabs are written as before";
    entries[0].hex = 2;
    const std::string hex = FormatRecoveryIndex(entries);
    EXPECT_NE(std::string::npos, hex.find("\"fileSize\": 42, \"hex\": 2}"));
    std::vector<RecoveryEntry> back;
    ASSERT_TRUE(ReadRecoveryIndex(hex, back));
    EXPECT_EQ(2, back[0].hex);
    EXPECT_EQ(0, back[1].hex);
    std::string bad = hex;
    bad.replace(bad.find("\"hex\": 2"), 9, "\"hex\": 3");
    EXPECT_FALSE(ReadRecoveryIndex(bad, back));

    const std::unordered_map<uint64_t, uint8_t> changes = {{0x1122334455ull, 0xAB}, {7, 0}};
    const std::string bytes = FormatHexChanges(changes);
    EXPECT_EQ(std::string("\x07\0\0\0\0\0\0\0\0\x55\x44\x33\x22\x11\0\0\0\xAB", 18), bytes);
    // (Reading them back, and refusing a file cut inside a record, are the robustness test's.)
}

TEST(RecoveryClock, QuietPeriodOrAtMostEveryThirtySeconds) {
    SnapshotClock clock;
    EXPECT_FALSE(SnapshotDue(clock, 100000));
    NoteSnapshotChange(clock, 1000);
    EXPECT_FALSE(SnapshotDue(clock, 1000 + kRecoveryQuietMs - 1));
    EXPECT_TRUE(SnapshotDue(clock, 1000 + kRecoveryQuietMs));
    // Steady typing keeps putting it off, but not past the longest delay.
    for (uint64_t t = 1000; t < 1000 + kRecoveryMaxDelayMs; t += 500) {
        NoteSnapshotChange(clock, t);
        EXPECT_FALSE(SnapshotDue(clock, t + 100)) << t;
    }
    EXPECT_TRUE(SnapshotDue(clock, 1000 + kRecoveryMaxDelayMs));
    NoteSnapshotTaken(clock);
    EXPECT_FALSE(SnapshotDue(clock, 1000000));
}

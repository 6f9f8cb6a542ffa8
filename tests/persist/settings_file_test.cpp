#include "persist/settings_file.h"

#include <gtest/gtest.h>

#include "persist/json_text.h"
#include "support/mutator.h"

namespace {

std::string Bom(const std::string& text) { return std::string(kUtf8Bom) + text; }

Settings Read(const std::string& text, Settings settings = Settings()) {
    ReadSettings(Bom(text), settings);
    return settings;
}

Settings NonDefault() {
    Settings s;
    s.fontSize = 14, s.tabWidth = 8, s.zoom = -3, s.wordWrap = true, s.newEnc = 5;
    s.fontFace = L"Fira \"Code\" \\ Mono";
    s.recent = {L"C:\\a]b\\x.txt", L"D:\\[\"q\"].cpp", L"C:\\\u00e9\u4e2d.txt"};
    return s;
}

// Two settings are the same when their files are (the file's bytes are pinned below).
void ExpectSame(const Settings& a, const Settings& b) { EXPECT_EQ(FormatSettings(a), FormatSettings(b)); }

}  // namespace

TEST(SettingsFile, DefaultFileBytes) {
    EXPECT_EQ(FormatSettings(Settings()),
              "\xEF\xBB\xBF{\n  \"fontSize\": 11,\n  \"tabWidth\": 2,\n  \"zoom\": 0,\n  \"wrap\": false,\n"
              "  \"newEnc\": 0,\n  \"fontFace\": \"Consolas\"\n}\n");
}

TEST(SettingsFile, FullFileBytes) {
    EXPECT_EQ(FormatSettings(NonDefault()),
              "\xEF\xBB\xBF{\n  \"fontSize\": 14,\n  \"tabWidth\": 8,\n  \"zoom\": -3,\n  \"wrap\": true,\n"
              "  \"newEnc\": 5,\n  \"fontFace\": \"Fira \\\"Code\\\" \\\\ Mono\",\n  \"recent\": [\n"
              "    \"C:\\\\a]b\\\\x.txt\",\n    \"D:\\\\[\\\"q\\\"].cpp\",\n    \"C:\\\\\xC3\xA9\xE4\xB8\xAD.txt\"\n"
              "  ]\n}\n");
}

TEST(SettingsFile, RoundTrip) {
    Settings read;
    ReadSettings(FormatSettings(NonDefault()), read);
    ExpectSame(read, NonDefault());

    Settings back = NonDefault();
    ReadSettings(FormatSettings(Settings()), back);
    ExpectSame(back, Settings());
}

TEST(SettingsFile, MissingEmptyOrBomOnlyKeepsValuesButDropsWrapAndRecent) {
    Settings expected = NonDefault();
    expected.wordWrap = false;
    expected.recent.clear();

    Settings missing = NonDefault();
    ApplyMissingSettingsFile(missing);
    ExpectSame(missing, expected);
    for (const std::string& bytes : {std::string(), std::string(kUtf8Bom), std::string("\xFF\xFE")}) {
        Settings s = NonDefault();
        ReadSettings(bytes, s);
        ExpectSame(s, expected);
    }
    ExpectSame(Read(""), Settings());
}

TEST(SettingsFile, NumbersNeedTheExactKeyTextAndAreClamped) {
    Settings s = Read("{\"fontSize\":20, \"tabWidth\" : 4}");
    EXPECT_EQ(s.fontSize, 11);
    EXPECT_EQ(s.tabWidth, 2);

    EXPECT_EQ(Read("\"fontSize\": 40").fontSize, 32);
    EXPECT_EQ(Read("\"fontSize\": 3").fontSize, 8);
    EXPECT_EQ(Read("\"zoom\": -25").zoom, -20);
    EXPECT_EQ(Read("\"zoom\": 41").zoom, 40);
    EXPECT_EQ(Read("\"tabWidth\": 0").tabWidth, 1);
    EXPECT_EQ(Read("\"newEnc\": 9").newEnc, 6);
    EXPECT_EQ(Read("\"newEnc\": -1").newEnc, 0);
    EXPECT_EQ(Read("\"fontSize\": big").fontSize, 8);
    EXPECT_EQ(Read("\"tabWidth\": wide").tabWidth, 1);
    EXPECT_EQ(Read("\"fontSize\": 99999999999999999999").fontSize, 32);
    EXPECT_EQ(Read("\"fontSize\": -99999999999999999999").fontSize, 8);
    EXPECT_EQ(Read("\"zoom\": 4294967296").zoom, 40);
    EXPECT_EQ(Read("\"fontSize\":    \n+17pt").fontSize, 17);
    EXPECT_EQ(Read("\"fontSize\": 12, \"fontSize\": 20").fontSize, 12);
    EXPECT_EQ(Read("junk\"zoom\": 5\"fontSize\": 9 more junk").zoom, 5);
}

TEST(SettingsFile, WrapNeedsItsExactText) {
    EXPECT_TRUE(Read("\"wrap\": true").wordWrap);
    EXPECT_TRUE(Read("\"wrap\": false, \"wrap\": true").wordWrap);
    Settings on;
    on.wordWrap = true;
    EXPECT_FALSE(Read("\"wrap\":true", on).wordWrap);
    EXPECT_FALSE(Read("\"wrap\": TRUE", on).wordWrap);
    EXPECT_FALSE(Read("\"wrap\": 1", on).wordWrap);
}

TEST(SettingsFile, FontFace) {
    EXPECT_EQ(Read("\"fontFace\": \"Cascadia Mono\"").fontFace, L"Cascadia Mono");
    EXPECT_EQ(Read("\"fontFace\": \"A\\/B\\q\"").fontFace, L"A/B\\q");
    EXPECT_EQ(Read("\"fontFace\": \"\"").fontFace, L"");
    EXPECT_EQ(Read("\"fontFace\": \"Never closed").fontFace, L"Consolas");
    EXPECT_EQ(Read("\"fontFace\": \"Ends in \\\"").fontFace, L"Consolas");
    EXPECT_EQ(Read("\"fontFace\":\"Tight\"").fontFace, L"Consolas");
    EXPECT_EQ(Read("\"fontFace\": \"Two\nLines\"").fontFace, L"Two\nLines");
}

TEST(SettingsFile, RecentList) {
    std::string twelve = "\"recent\": [";
    for (int i = 1; i <= 12; ++i) twelve += "\"f" + std::to_string(i) + "\", \"\", ";
    twelve += "]";
    Settings s = Read(twelve);
    ASSERT_EQ(s.recent.size(), 10u);
    EXPECT_EQ(s.recent.front(), L"f1");
    EXPECT_EQ(s.recent.back(), L"f10");

    EXPECT_EQ(Read("\"recent\": [\"a\", \"a\", \"b\"]").recent, (std::vector<std::wstring>{L"a", L"a", L"b"}));
    EXPECT_EQ(Read("\"recent\":[\"x]y\",\"C:\\\\d\\\\\"]").recent, (std::vector<std::wstring>{L"x]y", L"C:\\d\\"}));
    EXPECT_EQ(Read("\"recent\": [\"C:\\tmp\\new\"]").recent, (std::vector<std::wstring>{L"C:\\tmp\\new"}));
    EXPECT_EQ(Read("\"recent\": [ 5, \"ok\" junk ]").recent, (std::vector<std::wstring>{L"ok"}));
}

TEST(SettingsFile, BrokenRecentListReadsEmpty) {
    Settings had;
    had.recent = {L"old"};
    EXPECT_TRUE(Read("\"recent\": [\"a\", \"b\"", had).recent.empty());  // unterminated list
    EXPECT_TRUE(Read("\"recent\": [\"a\", \"b]", had).recent.empty());   // "]" only inside a string
    EXPECT_TRUE(Read("\"recent\": \"a\"", had).recent.empty());
    EXPECT_TRUE(Read("\"recent\" [\"a\"]", had).recent.empty());
    EXPECT_TRUE(Read("[\"a\"] \"recent\":", had).recent.empty());
}

TEST(SettingsFile, KeysInAnyOrderAndUtf16Files) {
    Settings s;
    ReadSettings(Utf16Le("{ \"recent\": [\"C:\\\\\xC3\xA9.txt\"], \"newEnc\": 2, \"wrap\": true, \"zoom\": 7 }"), s);
    EXPECT_EQ(s.newEnc, 2);
    EXPECT_EQ(s.zoom, 7);
    EXPECT_TRUE(s.wordWrap);
    EXPECT_EQ(s.recent, (std::vector<std::wstring>{L"C:\\\u00e9.txt"}));

    std::string be = "\xFE\xFF";
    for (char c : std::string("\"zoom\": 9")) be += std::string(1, '\0') + c;
    Settings t;
    ReadSettings(be, t);
    EXPECT_EQ(t.zoom, 9);
}

TEST(RecentFiles, AddRecentPath) {
    std::vector<std::wstring> list = {L"a", L"b", L"c", L"d", L"e"};
    EXPECT_TRUE(AddRecentPath(list, L"d"));
    EXPECT_EQ(list, (std::vector<std::wstring>{L"d", L"a", L"b", L"c", L"e"}));
    EXPECT_TRUE(AddRecentPath(list, L"D"));  // case-sensitive: another entry
    EXPECT_EQ(list.size(), 6u);
    EXPECT_FALSE(AddRecentPath(list, L""));
    EXPECT_EQ(list.size(), 6u);

    std::vector<std::wstring> full;
    for (int i = 0; i < 10; ++i) AddRecentPath(full, L"f" + std::to_wstring(i));
    AddRecentPath(full, L"eleventh");
    ASSERT_EQ(full.size(), 10u);
    EXPECT_EQ(full.front(), L"eleventh");
    EXPECT_EQ(full.back(), L"f1");

    std::vector<std::wstring> doubled = {L"x", L"y", L"x"};  // as a hand-edited file may leave it
    AddRecentPath(doubled, L"x");
    EXPECT_EQ(doubled, (std::vector<std::wstring>{L"x", L"y"}));
}

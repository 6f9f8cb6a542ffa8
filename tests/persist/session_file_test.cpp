#include "persist/session_file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "persist/json_text.h"
#include "support/mutator.h"

namespace {

Session Make(int active, std::vector<SessionEntry> entries) {
    Session s;
    s.active = active;
    s.entries = std::move(entries);
    return s;
}

bool Same(const Session& a, const Session& b) {
    const auto same = [](const SessionEntry& x, const SessionEntry& y) { return x.path == y.path && x.text == y.text; };
    return a.active == b.active &&
           std::equal(a.entries.begin(), a.entries.end(), b.entries.begin(), b.entries.end(), same);
}

Session Read(const std::string& text, bool expectEntries = true) {
    Session s;
    EXPECT_EQ(ReadSession(std::string(kUtf8Bom) + text, s), expectEntries) << text;
    return s;
}

}  // namespace

TEST(SessionFile, FileTabThenUntitledTabBytes) {
    const Session s = Make(1, {{L"C:\\src\\main.cpp", L""}, {L"", L"a\nb"}});
    EXPECT_EQ(FormatSession(s),
              "\xEF\xBB\xBF{\n  \"active\": 1,\n  \"tabs\": [\n    { \"path\": \"C:\\\\src\\\\main.cpp\" },\n"
              "    { \"path\": \"\", \"text\": \"a\\nb\" }\n  ]\n}\n");
    Session back;
    ASSERT_TRUE(ReadSession(FormatSession(s), back));
    EXPECT_TRUE(Same(back, s));
}

TEST(SessionFile, EmptySessionBytes) {
    EXPECT_EQ(FormatSession(Session()), "\xEF\xBB\xBF{\n  \"active\": 0,\n  \"tabs\": [\n  ]\n}\n");
    Session back;
    EXPECT_FALSE(ReadSession(FormatSession(Session()), back));
}

// Control characters, backslashes, quotes, pairs and lone surrogates all come back as they were.
TEST(SessionFile, ControlCharactersBackslashesAndSurrogatesSurvive) {
    std::wstring text = L"x\x01y\x1b\tz\r\n\"q\"\\";
    text += L'\0';
    text += L"\u00e9";
    text += static_cast<wchar_t>(0xD83D);  // a pair, spelled out so that it is UTF-16 everywhere
    text += static_cast<wchar_t>(0xDE00);
    const std::wstring high(1, static_cast<wchar_t>(0xD800)), low(1, static_cast<wchar_t>(0xDFFF));
    const Session s = Make(0, {{L"", text}, {L"\\\\server\\share\\a\"b" + high, L""}, {L"", low}});
    const std::string bytes = FormatSession(s);
    EXPECT_NE(bytes.find("x\\u0001y\\u001b\\tz\\r\\n\\\"q\\\"\\\\\\u0000"), std::string::npos);
    EXPECT_NE(bytes.find("\"\\\\\\\\server\\\\share\\\\a\\\"b"), std::string::npos);
    Session back;
    ASSERT_TRUE(ReadSession(bytes, back));
    EXPECT_TRUE(Same(back, s));
}

TEST(SessionFile, CollectSession) {
    const std::vector<SessionEntry> tabs = {
        {L"", L""}, {L"C:\\a.txt", L"unsaved edits"}, {L"", L"scratch"}, {L"", L""}, {L"D:\\b.txt", L""}};
    Session s = CollectSession(tabs, 4);
    EXPECT_TRUE(Same(s, Make(2, {{L"C:\\a.txt", L""}, {L"", L"scratch"}, {L"D:\\b.txt", L""}})));
    EXPECT_EQ(CollectSession(tabs, 3).active, 0);  // the active tab is an empty untitled one
    EXPECT_EQ(CollectSession(tabs, -1).active, 0);
    EXPECT_EQ(CollectSession(tabs, 2).active, 1);
    EXPECT_TRUE(CollectSession({{L"", L""}}, 0).entries.empty());
}

TEST(SessionFile, ReadsHandEditedEntries) {
    Session s =
        Read("{\"tabs\":[{\"path\":\"C:\\\\x.txt\"},{},{ \"text\" : \"hi\" , \"path\" : \"\" }, {\"path\": 7}]}");
    EXPECT_TRUE(Same(s, Make(0, {{L"C:\\x.txt", L""}, {L"", L""}, {L"", L"hi"}, {L"", L""}})));
    EXPECT_EQ(Read("\"active\": 99, \"tabs\": [{}]").active, 99);
    EXPECT_EQ(Read("\"active\":\n -1 \"tabs\": [{}]").active, -1);
    EXPECT_EQ(Read("\"active\": 99999999999999, \"tabs\": [{}]").active, 2147483647);
    EXPECT_EQ(Read("\"active\" : 3, \"tabs\": [{}]").active, 0);
}

TEST(SessionFile, NothingToOffer) {
    Read("", false);
    Read("{ \"active\": 0 }", false);
    Read("{ \"tabs\": }", false);
    Read("{ \"tabs\": [ ] }", false);
    Read("{ \"tabs\": [ { \"path\": \"a\" ", false);
    Session s;
    EXPECT_FALSE(ReadSession(std::string("\xFF\xFE"), s));
    EXPECT_FALSE(ReadSession(std::string(), s));
}

TEST(SessionFile, BracketsAndBracesInsideStrings) {
    Session s = Read("{\"tabs\": [ { \"path\": \"C:\\\\]}[{\\\"\" }, { \"path\": \"\", \"text\": \"}]\\\\\" } ] }");
    EXPECT_TRUE(Same(s, Make(0, {{L"C:\\]}[{\"", L""}, {L"", L"}]\\"}})));
}

TEST(SessionFile, TruncatedFileKeepsTheCompleteEntries) {
    const Session full = Make(1, {{L"C:\\a.txt", L""}, {L"", L"text"}, {L"C:\\c.txt", L""}});
    std::string bytes = FormatSession(full);
    const size_t cut = bytes.find("C:\\\\c.txt");
    ASSERT_NE(cut, std::string::npos);
    Session back;
    ASSERT_TRUE(ReadSession(bytes.substr(0, cut), back));
    EXPECT_TRUE(Same(back, Make(1, {{L"C:\\a.txt", L""}, {L"", L"text"}})));
    // Cut right after an entry: the list has no "]" but everything before the cut is complete.
    ASSERT_TRUE(ReadSession(bytes.substr(0, bytes.rfind('}', bytes.size() - 3) + 1), back));
    EXPECT_TRUE(Same(back, full));
}

TEST(SessionFile, ShortAndBrokenEscapes) {
    Session s = Read("\"tabs\": [ { \"path\": \"\", \"text\": \"a\\uZZ41\\ud83d\\ude00\\q\" } ]");
    ASSERT_EQ(s.entries.size(), 1u);
    EXPECT_EQ(s.entries[0].text,
              std::wstring(L"aA") + static_cast<wchar_t>(0xD83D) + static_cast<wchar_t>(0xDE00) + L"\\q");
    // A \u cut short by the end of the object stays as written.
    s = Read("\"tabs\": [ { \"path\": \"\", \"text\": \"b\\u1\"}");
    ASSERT_EQ(s.entries.size(), 1u);
    EXPECT_EQ(s.entries[0].text, L"b\\u1\"");
}

TEST(SessionFile, Utf16File) {
    Session s;
    ASSERT_TRUE(ReadSession(Utf16Le("{\"tabs\": [{\"path\": \"C:\\\\u.txt\"}]}"), s));
    EXPECT_TRUE(Same(s, Make(0, {{L"C:\\u.txt", L""}})));
}

TEST(SessionFile, RestoredActiveTabIsTheTabTheActiveEntryBecame) {
    // Entries a, a folder (no tab), c, d became tabs 0, -, 1, 2.
    const std::vector<int> tabs = {0, -1, 1, 2};
    EXPECT_EQ(1, RestoredActiveTab(2, tabs, 3));
    EXPECT_EQ(1, RestoredActiveTab(1, tabs, 3));  // the folder: the next entry's tab
    EXPECT_EQ(0, RestoredActiveTab(0, tabs, 3));
    EXPECT_EQ(2, RestoredActiveTab(99, tabs, 3));
    EXPECT_EQ(2, RestoredActiveTab(-1, tabs, 3));
    EXPECT_EQ(0, RestoredActiveTab(1, {0, -1}, 1));  // nothing opened after it: the last tab
    EXPECT_EQ(-1, RestoredActiveTab(0, {-1}, 0));
}

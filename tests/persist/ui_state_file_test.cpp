#include "persist/ui_state_file.h"

#include <gtest/gtest.h>

#include "persist/json_text.h"
#include "support/mutator.h"

namespace {

UiState Read(const std::string& bytes, UiState state = UiState()) {
    ReadUiState(bytes, state);
    return state;
}

// Two states are the same when their files are (every value is written).
bool Same(const UiState& a, const UiState& b) { return FormatUiState(a) == FormatUiState(b); }

UiState NonDefault() {
    UiState s;
    s.startMaximized = 1, s.uiLanguage = 19, s.theme = 2, s.colorScheme = 5, s.sidebarVisible = 0;
    s.statusBarVisible = 0, s.matchCase = 1, s.wholeWord = 1, s.regex = 1, s.allFiles = 1;
    return s;
}

}  // namespace

TEST(UiStateFile, DefaultFileBytes) {
    EXPECT_EQ(FormatUiState(UiState()),
              "\xEF\xBB\xBFmaximized=0\r\nlang=4\r\ntheme=0\r\nscheme=0\r\nsidebar=1\r\nstatus=1\r\n"
              "findCase=0\r\nfindWord=0\r\nfindRegex=0\r\nfindAllFiles=0\r\n");
}

TEST(UiStateFile, FlagsAreWrittenAsZeroOrOne) {
    UiState s = NonDefault();
    s.startMaximized = 2;
    s.matchCase = -3;
    EXPECT_EQ(FormatUiState(s),
              "\xEF\xBB\xBFmaximized=1\r\nlang=19\r\ntheme=2\r\nscheme=5\r\nsidebar=0\r\nstatus=0\r\n"
              "findCase=1\r\nfindWord=1\r\nfindRegex=1\r\nfindAllFiles=1\r\n");
}

TEST(UiStateFile, RoundTrip) {
    EXPECT_TRUE(Same(Read(FormatUiState(NonDefault())), NonDefault()));
    EXPECT_TRUE(Same(Read(FormatUiState(UiState()), NonDefault()), UiState()));
}

TEST(UiStateFile, EmptyFileChangesNothing) {
    for (const std::string& bytes : {std::string(), std::string(kUtf8Bom), std::string("\xFE\xFF")}) {
        EXPECT_TRUE(Same(Read(bytes, NonDefault()), NonDefault()));
    }
}

TEST(UiStateFile, OlderOneValueForm) {
    UiState expected;
    expected.startMaximized = 1;
    EXPECT_TRUE(Same(Read("1"), expected));
    EXPECT_TRUE(Same(Read("\xEF\xBB\xBF" "1\r\n"), expected));
    EXPECT_TRUE(Same(Read("210"), expected));

    UiState other = NonDefault(), otherOff = NonDefault();  // only the maximized flag is touched
    otherOff.startMaximized = 0;
    EXPECT_TRUE(Same(Read("0", other), otherOff));
    EXPECT_EQ(Read("\r\n", other).startMaximized, 0);
}

// An index out of its range, negative or beyond 32 bits included, leaves the old value; a flag reads
// any positive number as on and leaves the old value for a negative one.
TEST(UiStateFile, RangesAndSigns) {
    const struct {
        const char* key;
        int UiState::*field;
        int count;  // 0 for a flag
    } keys[] = {{"lang", &UiState::uiLanguage, kUiLanguageCount}, {"theme", &UiState::theme, kThemeCount},
                {"scheme", &UiState::colorScheme, kSchemeCount},  {"sidebar", &UiState::sidebarVisible, 0},
                {"maximized", &UiState::startMaximized, 0}};
    const UiState before = NonDefault();
    for (const auto& k : keys) {
        for (long long v : {-99999999999LL, -4294967292LL, -1LL, 0LL, 1LL, 2LL, 3LL, 5LL, 6LL, 19LL, 20LL, 4294967300LL}) {
            const int old = before.*k.field;
            const int expected = k.count ? (v >= 0 && v < k.count ? static_cast<int>(v) : old) : (v < 0 ? old : v > 0);
            EXPECT_EQ(expected, Read(std::string(k.key) + "=" + std::to_string(v), before).*k.field) << k.key << v;
        }
    }
    EXPECT_EQ(Read("status=x").statusBarVisible, 0);  // no digits read as 0
}

TEST(UiStateFile, KeysMatchAnywhereAtTheirFirstOccurrence) {
    EXPECT_EQ(Read("xlang=9").uiLanguage, 9);
    EXPECT_EQ(Read("lang=3\r\nlang=5").uiLanguage, 3);
    EXPECT_EQ(Read("lang=\t 7").uiLanguage, 7);
    EXPECT_EQ(Read("lang =7").uiLanguage, 4);
    EXPECT_EQ(Read("LANG=7").uiLanguage, 4);
    UiState s = Read("; comment\r\n\r\nfindRegex=1 findCase=1theme=1\nscheme=2");
    EXPECT_EQ(s.regex, 1);
    EXPECT_EQ(s.matchCase, 1);
    EXPECT_EQ(s.theme, 1);
    EXPECT_EQ(s.colorScheme, 2);
    EXPECT_EQ(s.startMaximized, 0);
}

TEST(UiStateFile, Utf16File) {
    UiState s = Read(Utf16Le("lang=2\r\nfindWord=1\r\n"));
    EXPECT_EQ(s.uiLanguage, 2);
    EXPECT_EQ(s.wholeWord, 1);
}

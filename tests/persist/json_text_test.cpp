#include "persist/json_text.h"

#include <climits>
#include <random>

#include <gtest/gtest.h>

namespace {

std::wstring Units(std::initializer_list<unsigned> units) {
    std::wstring text;
    for (unsigned u : units) text += static_cast<wchar_t>(u);
    return text;
}

// Random UTF-16 text weighted towards the units escaping cares about.
std::wstring RandomUtf16(std::mt19937& rng, size_t maxLength) {
    static const unsigned interesting[] = {0,   8,    9,   10,  12,   13,   0x1F,   0x20,
                                           '"', '\\', '/', 'u', 0x7F, 0xE9, 0xFFFD, 0xFEFF};
    std::wstring text;
    const size_t length = rng() % (maxLength + 1);
    while (text.size() < length) {
        const unsigned pick = rng() % 6;
        if (pick == 0) {
            text += static_cast<wchar_t>(interesting[rng() % (sizeof interesting / sizeof *interesting)]);
        } else if (pick == 1) {
            text += static_cast<wchar_t>(0xD800 + rng() % 0x400);  // pair
            text += static_cast<wchar_t>(0xDC00 + rng() % 0x400);
        } else if (pick == 2) {
            text += static_cast<wchar_t>(0xD800 + rng() % 0x800);  // lone half of either kind
        } else {
            text += static_cast<wchar_t>(rng() % 0x10000);
        }
    }
    return text;
}

}  // namespace

TEST(JsonEscape, NamedAndNumericEscapes) {
    EXPECT_EQ(JsonEscape(L""), L"\"\"");
    EXPECT_EQ(JsonEscape(L"a\tb\nc\rd\"e\\f/"), L"\"a\\tb\\nc\\rd\\\"e\\\\f/\"");
    EXPECT_EQ(JsonEscape(Units({8, 12, 0, 0x1F, 0x1B})), L"\"\\u0008\\u000c\\u0000\\u001f\\u001b\"");
    EXPECT_EQ(JsonEscape(Units({0x7F, 0xE9, 0x4E2D})), L"\"" + Units({0x7F, 0xE9, 0x4E2D}) + L"\"");
}

TEST(JsonEscape, SurrogatePairsStayRawLoneHalvesAreEscaped) {
    EXPECT_EQ(JsonEscape(Units({0xD83D, 0xDE00})), L"\"" + Units({0xD83D, 0xDE00}) + L"\"");
    EXPECT_EQ(JsonEscape(Units({'a', 0xD83D})), L"\"a\\ud83d\"");
    EXPECT_EQ(JsonEscape(Units({0xDE00, 0xD83D})), L"\"\\ude00\\ud83d\"");
    EXPECT_EQ(JsonEscape(Units({0xD83D, 'x', 0xDE00})), L"\"\\ud83dx\\ude00\"");
}

TEST(JsonUnescape, Escapes) {
    EXPECT_EQ(JsonUnescape(L"\"a\\\"b\\/c\\\\d\\be\\ff\\ng\\rh\\ti\"", 0), L"a\"b/c\\d\be\ff\ng\rh\ti");
    EXPECT_EQ(JsonUnescape(L"\"\\u0041\\u00e9\\u00E9\\ud83d\\ude00\"", 0), Units({'A', 0xE9, 0xE9, 0xD83D, 0xDE00}));
    EXPECT_EQ(JsonUnescape(L"\"\\q\\x\"", 0), L"\\q\\x");  // unknown escapes keep both characters
    EXPECT_EQ(JsonUnescape(L"xx\"value\" tail \"", 2), L"value");
}

TEST(JsonUnescape, NonHexDigitsCountAsZeroAndAllFourPlacesAreConsumed) {
    EXPECT_EQ(JsonUnescape(L"\"\\uZZ41\"", 0), L"A");
    EXPECT_EQ(JsonUnescape(L"\"\\u-1g2\"", 0), Units({0x0102}));
    // The quotation mark in the third place is swallowed, so the string runs on to the next one.
    EXPECT_EQ(JsonUnescape(L"\"\\u12\"xy\"", 0), Units({0x1200}) + L"y");
}

TEST(JsonUnescape, EndsOfText) {
    EXPECT_EQ(JsonUnescape(L"\"unterminated", 0), L"unterminated");
    EXPECT_EQ(JsonUnescape(L"\"ends in \\", 0), L"ends in \\");
    EXPECT_EQ(JsonUnescape(L"\"short \\u12", 0), L"short \\u12");
    EXPECT_EQ(JsonUnescape(L"\"short \\u", 0), L"short \\u");
    EXPECT_EQ(JsonUnescape(L"\"exact \\u0041", 0), L"exact A");
    EXPECT_EQ(JsonUnescape(L"\"", 0), L"");
    EXPECT_EQ(JsonUnescape(L"abc", 3), L"");
    EXPECT_EQ(JsonUnescape(L"abc", std::wstring::npos), L"");
    EXPECT_EQ(JsonUnescape(L"", 0), L"");
}

TEST(JsonEscape, RoundTripsRandomUtf16ThroughUtf8) {
    std::mt19937 rng(20240611);
    for (int i = 0; i < 3000; ++i) {
        const std::wstring text = RandomUtf16(rng, 40);
        const std::wstring escaped = JsonEscape(text);
        ASSERT_EQ(JsonUnescape(escaped, 0), text);
        for (wchar_t c : escaped) ASSERT_GE(static_cast<unsigned>(c), 0x20u);
        // The escaped form survives the UTF-8 file unchanged, lone surrogates included.
        ASSERT_EQ(WideFromUtf8(Utf8FromWide(escaped)), escaped);
    }
}

TEST(Utf8, FromWide) {
    EXPECT_EQ(Utf8FromWide(Units({'a', 0xE9, 0x20AC, 0xD83D, 0xDE00})), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8FromWide(Units({0xD83D, 'a', 0xDE00})), "\xEF\xBF\xBD" "a\xEF\xBF\xBD");
    EXPECT_EQ(Utf8FromWide(Units({0})), std::string(1, '\0'));
}

TEST(Utf8, ToWideReplacesMalformedBytes) {
    const std::wstring bad = Units({0xFFFD});
    EXPECT_EQ(WideFromUtf8("a\xC3\xA9\xF0\x9F\x98\x80"), Units({'a', 0xE9, 0xD83D, 0xDE00}));
    EXPECT_EQ(WideFromUtf8("\xC0\x80"), bad + bad);  // overlong
    EXPECT_EQ(WideFromUtf8("\xE2\x82" "A"), bad + L"A");  // truncated, next byte read again
    EXPECT_EQ(WideFromUtf8("\xED\xA0\x80"), bad + bad + bad);            // encoded surrogate
    EXPECT_EQ(WideFromUtf8("\xF4\x90\x80\x80"), bad + bad + bad + bad);  // above U+10FFFF
    EXPECT_EQ(WideFromUtf8("\x80\xFF"), bad + bad);
    EXPECT_EQ(WideFromUtf8("x\xF0\x9F\x98"), L"x" + bad);
}

TEST(DecodeStoredText, ByteOrderMarks) {
    EXPECT_EQ(DecodeStoredText(""), L"");
    EXPECT_EQ(DecodeStoredText("\xEF\xBB\xBF"), L"");
    EXPECT_EQ(DecodeStoredText("\xFF\xFE"), L"");
    EXPECT_EQ(DecodeStoredText("\xEF\xBB\xBF" "a=1"), L"a=1");
    EXPECT_EQ(DecodeStoredText(std::string("\xFF\xFE" "a\0\xE9\0" "b", 7)), Units({'a', 0xE9}));  // odd byte dropped
    EXPECT_EQ(DecodeStoredText(std::string("\xFE\xFF\0a\xD8\x3D\xDE\x00", 8)), Units({'a', 0xD83D, 0xDE00}));
    EXPECT_EQ(DecodeStoredText("\xEF\xBB"), Units({0xFFFD}));
}

TEST(ParseLeadingInt, StandardConversion) {
    EXPECT_EQ(ParseLeadingInt(L"42", 0), 42);
    EXPECT_EQ(ParseLeadingInt(L"x: \t\r\n -17,", 2), -17);
    EXPECT_EQ(ParseLeadingInt(L"+8px", 0), 8);
    EXPECT_EQ(ParseLeadingInt(L"abc", 0), 0);
    EXPECT_EQ(ParseLeadingInt(L"- 5", 0), 0);
    EXPECT_EQ(ParseLeadingInt(L"--5", 0), 0);
    EXPECT_EQ(ParseLeadingInt(L"7", 1), 0);
    EXPECT_EQ(ParseLeadingInt(L"7", 99), 0);
    EXPECT_EQ(ParseLeadingInt(L"2147483647", 0), INT_MAX);
    EXPECT_EQ(ParseLeadingInt(L"-2147483648", 0), INT_MIN);
    EXPECT_EQ(ParseLeadingInt(L"2147483648", 0), INT_MAX);
    // (Far larger numbers, which must not wrap around into small ones, are the settings file's tests.)
}

TEST(KeyLookup, FirstOccurrenceAndStringValues) {
    int value = -5;
    EXPECT_FALSE(FindIntAfterKey(L"\"size\":3", L"\"size\": ", value));
    EXPECT_EQ(value, -5);
    EXPECT_TRUE(FindIntAfterKey(L"\"size\": 3, \"size\": 4", L"\"size\": ", value));
    EXPECT_EQ(value, 3);
    EXPECT_TRUE(FindIntAfterKey(L"end \"size\": ", L"\"size\": ", value));
    EXPECT_EQ(value, 0);

    EXPECT_EQ(FindJsonStringValue(L"{ \"path\" :\n \"a\\\\b\" }", L"\"path\""), L"a\\b");
    EXPECT_EQ(FindJsonStringValue(L"{ \"path\" \"a\" }", L"\"path\""), L"");
    EXPECT_EQ(FindJsonStringValue(L"{ \"path\": 5 }", L"\"path\""), L"");
    EXPECT_EQ(FindJsonStringValue(L"{ \"text\": \"a\" }", L"\"path\""), L"");
}

TEST(KeyLookup, FindOutsideStrings) {
    EXPECT_EQ(FindOutsideStrings(L"\"a]b\" ]", 0, L']'), 6u);
    EXPECT_EQ(FindOutsideStrings(L"\"a\\\"]\" ]", 0, L']'), 7u);
    EXPECT_EQ(FindOutsideStrings(L"\"a\\\\\" ]", 0, L']'), 6u);
    EXPECT_EQ(FindOutsideStrings(L"\"never closed ]", 0, L']'), std::wstring::npos);
    EXPECT_EQ(FindOutsideStrings(L"\"ends in \\", 0, L']'), std::wstring::npos);
    EXPECT_EQ(FindOutsideStrings(L"]", 5, L']'), std::wstring::npos);
}

TEST(KeyLookup, ReadQuotedValue) {
    std::wstring value;
    size_t next = 0;
    const std::wstring text = L"\"C:\\\\a\\/b\\\"c\\n\\x\" rest";
    ASSERT_TRUE(ReadQuotedValue(text, 1, text.size(), value, next));
    EXPECT_EQ(value, L"C:\\a/b\"c\\n\\x");
    EXPECT_EQ(text.substr(next), L" rest");
    EXPECT_FALSE(ReadQuotedValue(text, 1, 8, value, next));  // the closing mark lies beyond `end`
    EXPECT_FALSE(ReadQuotedValue(L"\"ab\\", 1, 99, value, next));
    EXPECT_FALSE(ReadQuotedValue(L"\"ab\\\"", 1, 99, value, next));
    EXPECT_EQ(EscapeQuotesAndBackslashes(L"a\"b\\c\n"), L"a\\\"b\\\\c\n");
}

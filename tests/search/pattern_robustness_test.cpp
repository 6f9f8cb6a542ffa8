// The find box's expressions come from the user as typed (or pasted): random and damaged patterns
// through the matcher's preparation and matching. Each one either does not compile (no hits) or
// gives hits inside the line, and a runaway one ends at its limits.
#include <gtest/gtest.h>

#include <cwctype>
#include <random>
#include <string>

#include "search/search_model.h"
#include "search/text_match.h"

namespace {

const wchar_t* const kTokens[] = {
    L"(",     L")",       L"[",       L"]",      L"{",     L"}",       L"{2,}",     L"{99999}", L"*",      L"+",
    L"?",     L"*?",      L"++",      L"|",      L"\\",    L"^",       L"$",        L".",       L"(?:",    L"(?i)",
    L"(?=",   L"(?<!",    L"(?<n>",   L"\\k<n>", L"\\1",   L"\\9",     L"(?R)",     L"(?1)",    L"\\p{L}", L"\\P{",
    L"\\b",   L"\\d",     L"\\w+",    L"\\Q",    L"\\E",   L"\\u0041", L"\\u{1F600}", L"\\x{D800}", L"\\c", L"[^]",
    L"[]",    L"[a-",     L"(a*)*",   L"(a|aa)+", L"\\",   L"\xD800",  L"\U0001F600", L"\u00E9",  L"a",      L"needle"};

const std::wstring kLines[] = {L"", L"a", L"needle in a haystack", L"\u00C9t\u00E9 \u6587\u4EF6 \U0001F600 end",
                               std::wstring(L"a\xD800") + L"b", std::wstring(300, L'a') + L"!"};

std::wstring RandomPattern(std::mt19937& rng) {
    std::wstring pattern;
    for (int n = static_cast<int>(rng() % 8); n >= 0; --n) pattern += kTokens[rng() % std::size(kTokens)];
    if (rng() % 4 == 0 && !pattern.empty()) pattern.resize(rng() % pattern.size());  // cut mid-token
    return pattern;
}

void ExpectSaneHit(const LineMatch& m, const std::wstring& line, bool mayBeEmpty) {
    if (!m.found) return;
    ASSERT_GE(m.column, 0);
    ASSERT_GE(m.length, mayBeEmpty ? 0 : 1);
    ASSERT_LE(static_cast<size_t>(m.column) + static_cast<size_t>(m.length), line.size());
}

TEST(PatternRobustness, RandomExpressionsCompileOrFindNothing) {
    std::mt19937 rng(31337);
    for (int round = 0; round < 100000; ++round) {
        const std::wstring pattern = RandomPattern(rng);
        const int flags = kFindRegex | (rng() % 2 ? kFindMatchCase : 0) | (rng() % 4 == 0 ? kFindWholeWord : 0);
        LineMatcher matcher;
        PrepareLineMatcher(matcher, pattern, flags);
        if (pattern.empty()) {
            ASSERT_FALSE(matcher.usable) << round;
        }
        const std::wstring& line = kLines[rng() % std::size(kLines)];
        const LineMatch m = MatchLine(line, matcher);
        if (!matcher.usable) {
            ASSERT_FALSE(m.found) << round;
        }
        ASSERT_NO_FATAL_FAILURE(ExpectSaneHit(m, line, false)) << round;
        LineMatch group;
        if (MatchLineGroup(line, matcher, static_cast<int>(rng() % 3), group)) {
            ASSERT_NO_FATAL_FAILURE(ExpectSaneHit(group, line, true)) << round;
        }
    }
}

// A literal with its punctuation escaped is found as an expression exactly where the plain search
// finds it (ASCII text, so both fold case alike).
TEST(PatternRobustness, EscapedLiteralsMatchLikePlainSearch) {
    std::mt19937 rng(4242);
    const std::wstring alphabet = L"aAbB.*+?()[]{}|^$\\/- ";
    for (int round = 0; round < 20000; ++round) {
        std::wstring literal, escaped, line;
        for (int n = 1 + static_cast<int>(rng() % 4); n > 0; --n) {
            const wchar_t c = alphabet[rng() % alphabet.size()];
            literal += c;
            if (!std::iswalnum(c) && c != L' ') escaped += L'\\';
            escaped += c;
        }
        for (int n = static_cast<int>(rng() % 30); n > 0; --n) line += alphabet[rng() % alphabet.size()];
        if (rng() % 2) line.insert(rng() % (line.size() + 1), literal);
        const int flags = rng() % 2 ? kFindMatchCase : 0;
        LineMatcher plain, expression;
        PrepareLineMatcher(plain, literal, flags);
        PrepareLineMatcher(expression, escaped, flags | kFindRegex);
        ASSERT_TRUE(expression.usable) << round;
        const LineMatch a = MatchLine(line, plain), b = MatchLine(line, expression);
        ASSERT_EQ(a.found, b.found) << round;
        if (!a.found) continue;
        ASSERT_EQ(a.column, b.column) << round;
        ASSERT_EQ(a.length, b.length) << round;
    }
}

}  // namespace

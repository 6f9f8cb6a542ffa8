#pragma once
// Matching the text of files that are not open in a tab: plain text (letters A-Z compared without
// case unless the case flag is set) line by line, or a regular expression over the text's UTF-8
// form with the same engine, dialect and budget as the search in open tabs (regex_search.h).
// Single wide lines can also be matched on PCRE2's 16-bit engine (symbol extraction). Positions
// and lengths are in UTF-16 units.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "search/regex_search.h"
#include "search/search_model.h"

// Letters A to Z become a to z; every other unit (byte or UTF-16) stays as it is.
template <typename Unit>
constexpr Unit FoldAscii(Unit c) {
    return c >= 'A' && c <= 'Z' ? static_cast<Unit>(c + 32) : c;
}

// The index of the lowest set bit of a nonzero mask, such as a byte-compare mask (the compilers'
// own intrinsics differ).
inline int LowestSetBit(unsigned mask) {
    int bit = 0;
    for (; !(mask & 1u); mask >>= 1) ++bit;
    return bit;
}

struct LineMatcherEngine;  // the compiled expression and its match state

// One query, prepared once per search and used for every file.
struct LineMatcher {
    std::wstring query;
    bool caseless = true;
    bool wholeWord = false;
    bool regex = false;
    bool usable = false;  // false for an empty query or an expression that does not compile
    LineMatcherEngine* engine = nullptr;  // one wide line at a time
    RegexPattern pattern;                 // whole texts in UTF-8

    LineMatcher() = default;
    LineMatcher(const LineMatcher&) = delete;
    LineMatcher& operator=(const LineMatcher&) = delete;
    ~LineMatcher();
};

// Flags: the search-flag word (kFindMatchCase, kFindWholeWord, kFindRegex).
void PrepareLineMatcher(LineMatcher& matcher, const std::wstring& query, int flags);

struct LineMatch {
    bool found = false;
    int column = 0;
    int length = 0;
};

// The first match of one line (without its line end). A regular expression whose first match is
// empty, or whose matching hits a limit, gives no match.
LineMatch MatchLine(std::wstring_view line, const LineMatcher& matcher);

// For a regular expression: the leftmost match of the line (empty matches count here) and the
// span of capture group `group` in it, found = false when that group took no part. False when the
// line does not match, a limit was reached, or the matcher is not a usable expression.
bool MatchLineGroup(std::wstring_view line, const LineMatcher& matcher, int group, LineMatch& captured);

// Word characters for the whole-word rule: alphanumeric to the runtime, or "_".
bool IsWordCharacter(wchar_t c);

// Appends one hit per matching line of `text` until `hits` holds kMaxHits or the budget (none
// when null) runs out. Plain text: lines end at LF, trailing CRs are not part of a line.
// Expressions: lines end at LF, CR LF or a lone CR, as in a tab. Lone surrogates in `text` are read
// as U+FFFD.
void SearchTextLines(std::wstring& text, const LineMatcher& matcher, const std::wstring& path,
                     const std::wstring& title, std::vector<SearchHit>& hits, SearchBudget* budget = nullptr);

// The same hits as SearchTextLines over the decoded bytes of a file, for bytes that decode as
// UTF-8 (well-formed, with or without a mark), matched where they lie: only the lines that hold a
// match are decoded. False, with nothing added, when the bytes are not such text; the caller then
// decodes the whole file.
bool SearchUtf8Lines(const uint8_t* bytes, size_t length, const LineMatcher& matcher, const std::wstring& path,
                     const std::wstring& title, std::vector<SearchHit>& hits, SearchBudget* budget = nullptr);

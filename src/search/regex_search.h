#pragma once
// Regular expressions over UTF-8 text in place: the editing component's own bytes and the bytes of
// files alike, so that one expression finds the same matches wherever the text lies. The engine
// is PCRE2 (8-bit, UTF, invalid bytes allowed); every search runs within a budget and stops,
// saying so, when a pattern costs more than the budget allows.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "search/search_model.h"

// What one search may spend: match attempts (start positions tried) in total, and for the
// searches a user waits for, a moment on the clock. Each attempt is also held to the engine's
// step, depth and memory limits; reaching one of those stops the search too, as its result
// could not be trusted.
struct SearchBudget {
    uint64_t deadlineMs = 0;  // milliseconds of the steady clock after which the search stops; 0: none
    uint64_t maxAttempts = UINT64_MAX;
    uint64_t attempts = 0;
    bool stopped = false;  // the search ended early: the pattern was too costly
};

// About a second from now: the budget of a search the user is waiting for.
SearchBudget InteractiveBudget();
uint64_t SteadyMilliseconds();

struct RegexEngine;  // the compiled expression and its match state

// One expression, compiled once per search.
struct RegexPattern {
    bool usable = false;  // false for an empty or invalid expression
    bool wholeWord = false;
    RegexEngine* engine = nullptr;

    RegexPattern() = default;
    RegexPattern(const RegexPattern&) = delete;
    RegexPattern& operator=(const RegexPattern&) = delete;
    ~RegexPattern();
};

// `query` is UTF-8 as typed; flags the search-flag word (case, whole word). "\<" and "\>" mean a
// word's start and end; lines end at LF, CR LF or a lone CR, as in the editing component.
void CompileRegex(RegexPattern& pattern, std::string_view query, int flags);

// Why the engine refuses an expression: its own message (English, as the engine words it) and
// where in the query (UTF-16 units before the point it stopped at). `valid` for an expression it
// compiles, and for an empty one.
struct RegexError {
    bool valid = true;
    long long position = 0;
    std::wstring message;
};
RegexError DescribeRegexError(std::string_view query, int flags);

// The expression with "\<" and "\>" written in PCRE2's terms (outside classes and \Q...\E).
std::string RewriteWordAnchors(std::string_view query);

// One match: byte offsets into the text, and the spans of its groups (-1 for a group that took no
// part); groups[0] is the whole match.
struct RegexMatch {
    long long start = -1, end = -1;
    std::vector<std::pair<long long, long long>> groups;
};

// The leftmost non-empty match that begins at or after `from` (text before `from` is seen by
// lookbehind and anchors). False when there is none or the budget ran out (then budget.stopped).
bool FindRegex(const RegexPattern& pattern, std::string_view text, size_t from, SearchBudget& budget,
               RegexMatch& match);

// The last match found going forwards from `low` whose start lies before `high`.
bool FindLastRegex(const RegexPattern& pattern, std::string_view text, size_t low, size_t high,
                   SearchBudget& budget, RegexMatch& match);

// The matches of the whole text, left to right, none overlapping.
std::vector<RegexMatch> AllRegexMatches(const RegexPattern& pattern, std::string_view text, SearchBudget& budget);

// A replacement with its group references filled in: "\0" to "\9" (the form ConvertReplacement
// makes of "$0" to "$9") and the escapes "\n", "\r", "\t" and "\\".
std::string ExpandReplacement(std::string_view replacement, std::string_view text, const RegexMatch& match);

// Where the line of a byte position lies, counting LF, CR LF and lone CR as line ends.
struct TextLine {
    long long number = 0;  // 0-based
    long long start = 0, end = 0;  // end: where its line end begins
    long long next = 0;            // start of the next line (the text's length for the last)
};

// Walks forwards through a text's lines; positions asked for must not decrease.
struct LineCursor {
    std::string_view text;
    long long counted = 0;  // line starts before this position are counted in `number`
    long long number = 0;
    long long lineStart = 0;
    TextLine LineOf(long long position);
};

// Where the lines of a search come from: a LineCursor over the bytes, or for a tab the
// component's own line index (the same lines, found without a scan).
using LineOfPosition = std::function<TextLine(long long position)>;

// The UTF-16 units of UTF-8 bytes as the program decodes them.
int Utf16Length(std::string_view utf8);

// Appends one hit per line that holds a match, the line's first one, until `hits` holds kMaxHits
// or the budget runs out. `positions` says whether the hits keep their byte positions (a tab's).
// Matches begin and end within the first `searchEnd` bytes; the lines are read from all of `text`.
void CollectRegexHits(const RegexPattern& pattern, std::string_view text, size_t searchEnd,
                      const LineOfPosition& lineOf, const SearchHit& source, bool positions,
                      std::vector<SearchHit>& hits, SearchBudget& budget);

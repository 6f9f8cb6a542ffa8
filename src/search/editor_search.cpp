#include "search/editor_search.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/editor.h"
#include "base/encoding.h"
#include "search/text_match.h"

namespace {

using editor::Send;

long long Msg(HWND ed, UINT message, long long w = 0, long long l = 0) {
    return static_cast<long long>(Send(ed, message, static_cast<WPARAM>(w), static_cast<LPARAM>(l)));
}

// Sci_TextRangeFull: 64-bit positions on every platform.
struct TextRangeFull {
    intptr_t cpMin, cpMax;
    char* text;
};

std::wstring LineText(HWND ed, long long start, long long end) {
    if (end <= start) return {};
    std::string bytes(static_cast<size_t>(end - start) + 1, '\0');
    TextRangeFull range{static_cast<intptr_t>(start), static_cast<intptr_t>(end), bytes.data()};
    Send(ed, editor::kGetTextRangeFull, 0, reinterpret_cast<LPARAM>(&range));
    bytes.resize(static_cast<size_t>(end - start));
    return Utf8ToWide(bytes);
}

long long QueryStep(const std::string& query) { return std::max<long long>(1, static_cast<long long>(query.size())); }

// Where a plain search without case may start matching, in UTF-8 text: the component compares an
// ASCII character by its lower case and any other character by its case folding. So when the
// query begins with an ASCII character, a match begins at that character in either case or at
// the lead byte of a non-ASCII character (whatever it folds to); nowhere else. The text between
// is skipped by a byte scan and the component searches from each such place on, so the matches
// it reports are its own, found where it would have found them.
struct MatchStarts {
    const uint8_t* text = nullptr;  // the component's own bytes, [0, end)
    uint8_t lower = 0, upper = 0;   // the query's first character in either case
    std::string folded;             // the query in lower case when all of it is ASCII, else empty
    bool usable = false;
};

MatchStarts PlainMatchStarts(HWND ed, const std::string& query, int flags, long long end) {
    MatchStarts starts;
    if (flags & (kFindMatchCase | kFindRegex)) return starts;  // the component's own scan is quick there
    const auto first = static_cast<unsigned char>(query[0]);
    if (first >= 0x80 || query.find_first_of("\r\n") != std::string::npos) return starts;
    if (Msg(ed, editor::kGetCodePage) != 65001) return starts;
    starts.text = reinterpret_cast<const uint8_t*>(Msg(ed, editor::kGetRangePointer, 0, end));
    if (!starts.text) return starts;
    const bool letter = (first | 0x20) >= 'a' && (first | 0x20) <= 'z';
    starts.lower = static_cast<uint8_t>(letter ? first | 0x20 : first);
    starts.upper = static_cast<uint8_t>(letter ? first & ~0x20 : first);
    if (std::all_of(query.begin(), query.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        starts.folded = query;
        for (char& c : starts.folded) c = static_cast<char>(FoldAscii(static_cast<uint8_t>(c)));
    }
    starts.usable = true;
    return starts;
}

bool MayStartMatch(const MatchStarts& starts, uint8_t c) { return c == starts.lower || c == starts.upper || c >= 0xC0; }

// The first place in [from, end) where a match may begin, or end.
long long NextMatchStart(const MatchStarts& starts, long long from, long long end) {
    const uint8_t* s = starts.text;
    const __m128i lower = _mm_set1_epi8(static_cast<char>(starts.lower));
    const __m128i upper = _mm_set1_epi8(static_cast<char>(starts.upper));
    const __m128i leadBits = _mm_set1_epi8(static_cast<char>(0xC0));
    long long i = from;
    for (; i + 16 <= end; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, lower), _mm_cmpeq_epi8(x, upper)),
                                         _mm_cmpeq_epi8(_mm_and_si128(x, leadBits), leadBits));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        if (mask) break;
    }
    for (; i < end; ++i)
        if (MayStartMatch(starts, s[i])) return i;
    return end;
}

// A line end at or after `from` + a stretch, so that each search of the component covers a
// bounded stretch and no match is cut (a query never holds a line feed).
long long StretchEnd(const MatchStarts& starts, long long from, long long end) {
    constexpr long long kStretch = 64 * 1024;
    if (end - from <= kStretch) return end;
    const void* lf = std::memchr(starts.text + from + kStretch, '\n', static_cast<size_t>(end - from - kStretch));
    return lf ? static_cast<const uint8_t*>(lf) - starts.text + 1 : end;
}

// Whether an ASCII query may match at an ASCII candidate `i`: up to the text's first non-ASCII
// character (which may fold to anything) its bytes must be the query's in lower case, as ASCII
// characters fold to their lower case.
bool MayMatchAt(const MatchStarts& starts, long long i, long long end) {
    for (size_t k = 0; k < starts.folded.size(); ++k, ++i) {
        if (i >= end) return false;
        if (starts.text[i] >= 0x80) return true;
        if (FoldAscii(starts.text[i]) != static_cast<uint8_t>(starts.folded[k])) return false;
    }
    return true;
}

std::string_view EditorText(HWND ed, long long length) {
    const char* bytes = length > 0 ? editor::RangePointer(ed, 0, length) : nullptr;
    return bytes ? std::string_view(bytes, static_cast<size_t>(length)) : std::string_view();
}

// The component's own line index: the lines the editor shows.
TextLine EditorLine(HWND ed, long long position, long long length) {
    TextLine line;
    line.number = Msg(ed, editor::kLineFromPosition, position);
    line.start = Msg(ed, editor::kPositionFromLine, line.number);
    line.end = Msg(ed, editor::kGetLineEndPosition, line.number);
    line.next = Msg(ed, editor::kPositionFromLine, line.number + 1);
    if (line.next < line.end) line.next = length;
    return line;
}

// The budget to use: the caller's, or a fresh interactive one.
SearchBudget& BudgetOr(SearchBudget* budget, SearchBudget& local) {
    if (budget) return *budget;
    local = InteractiveBudget();
    return local;
}

// Replaces [first, last) by `text` in one edit.
void ReplaceStretch(HWND ed, long long first, long long last, const std::string& text) {
    Msg(ed, editor::kSetTargetRange, first, last);
    Msg(ed, editor::kReplaceTarget, static_cast<long long>(text.size()), reinterpret_cast<long long>(text.data()));
}

}  // namespace

long long SearchEditorRange(HWND ed, const std::string& query, long long from, long long to, int flags) {
    Msg(ed, editor::kSetSearchFlags, flags);
    Msg(ed, editor::kSetTargetRange, from, to);
    return Msg(ed, editor::kSearchInTarget, static_cast<long long>(query.size()),
               reinterpret_cast<long long>(query.data()));
}

long long SearchEditorForward(HWND ed, const std::string& query, long long from, long long to, int flags) {
    const MatchStarts starts = PlainMatchStarts(ed, query, flags, to);
    if (!starts.usable) return SearchEditorRange(ed, query, from, to, flags);
    for (long long pos = from;;) {
        pos = NextMatchStart(starts, pos, to);
        if (pos >= to) return -1;
        if (!starts.folded.empty() && starts.text[pos] < 0x80) {
            // An ASCII candidate is tried alone: a match of it holds at most four bytes for each
            // byte of the query, whatever the text folds.
            if (MayMatchAt(starts, pos, to)) {
                const long long window = std::min<long long>(to, pos + 4 * static_cast<long long>(query.size()) + 4);
                const long long m = SearchEditorRange(ed, query, pos, window, flags);
                if (m >= 0) return m;
            }
            ++pos;
            continue;
        }
        const long long stretchEnd = StretchEnd(starts, pos, to);
        const long long m = SearchEditorRange(ed, query, pos, stretchEnd, flags);
        if (m >= 0) return m;
        pos = stretchEnd;
    }
}

void CollectEditorHits(HWND ed, const std::string& query, int flags, long long limit, const HitSource& source,
                       std::vector<SearchHit>& hits, SearchBudget& budget) {
    if (!ed || query.empty() || hits.size() >= kMaxHits || budget.stopped) return;
    const long long length = Msg(ed, editor::kGetLength);
    const long long end = limit > 0 ? std::min(length, limit) : length;
    if (end < 1) return;
    const auto tabKey = reinterpret_cast<uintptr_t>(ed);
    if (flags & kFindRegex) {
        RegexPattern pattern;
        CompileRegex(pattern, query, flags);
        SearchHit from;
        from.path = source.path;
        from.title = source.title;
        from.docIndex = source.docIndex;
        from.tabKey = tabKey;
        CollectRegexHits(
            pattern, EditorText(ed, length), static_cast<size_t>(end),
            [&](long long position) { return EditorLine(ed, position, length); }, from, true, hits, budget);
        return;
    }
    long long pos = 0;
    for (;;) {
        const long long m = SearchEditorForward(ed, query, pos, end, flags);
        if (m < 0) break;
        const long long targetEnd = Msg(ed, editor::kGetTargetEnd);
        const long long line = Msg(ed, editor::kLineFromPosition, m);
        const bool lineHasHit = !hits.empty() && hits.back().docIndex == source.docIndex &&
                                hits.back().line == line + 1 && hits.back().path == source.path;
        if (!lineHasHit) {
            const long long lineStart = Msg(ed, editor::kPositionFromLine, line);
            SearchHit hit;
            hit.path = source.path;
            hit.title = source.title;
            hit.docIndex = source.docIndex;
            hit.tabKey = tabKey;
            hit.line = static_cast<int>(line + 1);
            hit.matchStart = m;
            hit.matchEnd = targetEnd;
            hit.column = static_cast<int>(Msg(ed, editor::kCountCharacters, lineStart, m));
            hit.matchLength = static_cast<int>(Msg(ed, editor::kCountCharacters, m, targetEnd));
            hit.lineText = LineText(ed, lineStart, Msg(ed, editor::kGetLineEndPosition, line));
            hits.push_back(std::move(hit));
        }
        // Further matches of this line would add nothing: go on at the next line.
        long long next = Msg(ed, editor::kPositionFromLine, line + 1);
        if (next < 0) next = length;
        pos = std::max(next, targetEnd);
        if (targetEnd <= m) pos = std::max(pos, m + QueryStep(query));
        if (hits.size() >= kMaxHits || pos >= end) break;
    }
}

namespace {

// The match to select, as [start, end), or false.
bool FindRegexInEditor(HWND ed, const std::string& query, int flags, bool forward, long long from,
                       SearchBudget& budget, long long& start, long long& end) {
    RegexPattern pattern;
    CompileRegex(pattern, query, flags);
    if (!pattern.usable) return false;
    const long long length = Msg(ed, editor::kGetLength);
    const std::string_view text = EditorText(ed, length);
    RegexMatch m;
    bool found = false;
    if (forward) {
        const long long caret = from >= 0 ? std::min(from, length) : Msg(ed, editor::kGetCurrentPos);
        found = FindRegex(pattern, text, static_cast<size_t>(caret), budget, m);
        if (!found && !budget.stopped) found = FindRegex(pattern, text, 0, budget, m) && m.start < caret;
    } else {
        const auto selectionStart = static_cast<size_t>(Msg(ed, editor::kGetSelectionStart));
        found = FindLastRegex(pattern, text, 0, selectionStart, budget, m);
        if (!found && !budget.stopped) found = FindLastRegex(pattern, text, selectionStart, text.size(), budget, m);
    }
    start = m.start;
    end = m.end;
    return found;
}

}  // namespace

bool FindInEditor(HWND ed, const std::string& query, int flags, bool forward, SearchBudget* budget, long long from) {
    if (!ed || query.empty()) return false;
    const long long length = Msg(ed, editor::kGetLength);
    long long m = -1, e = -1;
    if (flags & kFindRegex) {
        SearchBudget local;
        if (!FindRegexInEditor(ed, query, flags, forward, from, BudgetOr(budget, local), m, e)) return false;
    } else {
        if (forward) {
            const long long caret = from >= 0 ? std::min(from, length) : Msg(ed, editor::kGetCurrentPos);
            m = SearchEditorForward(ed, query, caret, length, flags);
            if (m < 0) m = SearchEditorForward(ed, query, 0, caret, flags);
        } else {
            // From the selection start: the match selected by the last search is not found again.
            const long long selectionStart = Msg(ed, editor::kGetSelectionStart);
            m = SearchEditorRange(ed, query, selectionStart, 0, flags);
            if (m < 0) m = SearchEditorRange(ed, query, length, selectionStart, flags);
        }
        if (m < 0) return false;
        e = Msg(ed, editor::kGetTargetEnd);
        if (e <= m) e = std::min(length, m + QueryStep(query));
    }
    Msg(ed, editor::kSetSel, m, e);
    Msg(ed, editor::kScrollCaret);
    return true;
}

void ReplaceCurrentInEditor(HWND ed, const std::string& query, const std::string& replacement, int flags,
                            SearchBudget* budget) {
    if (!ed || query.empty()) return;
    SearchBudget local;
    SearchBudget& b = BudgetOr(budget, local);
    const long long s = Msg(ed, editor::kGetSelectionStart);
    const long long t = Msg(ed, editor::kGetSelectionEnd);
    const long long length = Msg(ed, editor::kGetLength);
    long long next = -1;  // where the search for the next match begins: after the inserted text
    if (flags & kFindRegex) {
        RegexPattern pattern;
        CompileRegex(pattern, query, flags);
        const std::string_view text = EditorText(ed, length);
        RegexMatch m;
        if (t > s && FindRegex(pattern, text, static_cast<size_t>(s), b, m) && m.start == s && m.end == t) {
            const std::string inserted = ExpandReplacement(replacement, text, m);
            ReplaceStretch(ed, s, t, inserted);
            next = s + static_cast<long long>(inserted.size());
        }
    } else {
        const long long m = SearchEditorRange(ed, query, s, length, flags);
        if (m == s && t > s && Msg(ed, editor::kGetTargetEnd) == t) {
            ReplaceStretch(ed, s, t, replacement);
            next = s + static_cast<long long>(replacement.size());
        }
    }
    FindInEditor(ed, query, flags, true, &b, next);
}

namespace {

// Plain text: the matches are found in the unchanged text and the stretch from the first to the
// last is replaced once, so a file with a million matches costs one edit, not a million.
long long ReplacePlainMatches(HWND ed, const std::string& query, const std::string& replacement, int flags) {
    const long long length = Msg(ed, editor::kGetLength);
    std::vector<std::pair<long long, long long>> matches;
    long long pos = 0;
    while (pos < length) {
        const long long m = SearchEditorForward(ed, query, pos, length, flags);
        if (m < 0) break;
        const long long e = Msg(ed, editor::kGetTargetEnd);
        if (e <= m) {
            pos = Msg(ed, editor::kPositionAfter, m);
            if (pos <= m) break;
            continue;
        }
        matches.emplace_back(m, e);
        pos = e;
    }
    if (matches.empty()) return 0;
    const long long first = matches.front().first, last = matches.back().second;
    std::string original(static_cast<size_t>(last - first) + 1, '\0');
    TextRangeFull range{static_cast<intptr_t>(first), static_cast<intptr_t>(last), original.data()};
    Send(ed, editor::kGetTextRangeFull, 0, reinterpret_cast<LPARAM>(&range));
    std::string text;
    text.reserve(original.size() + matches.size() * replacement.size());
    long long at = first;
    for (const auto& [m, e] : matches) {
        text.append(original, static_cast<size_t>(at - first), static_cast<size_t>(m - at));
        text += replacement;
        at = e;
    }
    ReplaceStretch(ed, first, last, text);
    return static_cast<long long>(matches.size());
}

// Expressions: every match of the unchanged text is found first, then the stretch from the first
// to the last is replaced once with the group references filled in. Nothing inserted is searched
// and every anchor sees the text as it was. When the budget runs out nothing is replaced.
long long ReplaceExpressionMatches(HWND ed, const std::string& query, const std::string& replacement, int flags,
                                   SearchBudget& budget) {
    RegexPattern pattern;
    CompileRegex(pattern, query, flags);
    const std::string_view text = EditorText(ed, Msg(ed, editor::kGetLength));
    const std::vector<RegexMatch> matches = AllRegexMatches(pattern, text, budget);
    if (budget.stopped || matches.empty()) return 0;
    const long long first = matches.front().start, last = matches.back().end;
    std::string result;
    long long at = first;
    for (const RegexMatch& m : matches) {
        result.append(text.substr(static_cast<size_t>(at), static_cast<size_t>(m.start - at)));
        result += ExpandReplacement(replacement, text, m);
        at = m.end;
    }
    ReplaceStretch(ed, first, last, result);  // `text` is not read after this
    return static_cast<long long>(matches.size());
}

}  // namespace

long long ReplaceAllInEditor(HWND ed, const std::string& query, const std::string& replacement, int flags,
                             SearchBudget* budget) {
    if (!ed || query.empty()) return 0;
    SearchBudget local;
    SearchBudget& b = BudgetOr(budget, local);
    Msg(ed, editor::kBeginUndoAction);
    SendMessageW(ed, WM_SETREDRAW, FALSE, 0);
    const long long count = (flags & kFindRegex) ? ReplaceExpressionMatches(ed, query, replacement, flags, b)
                                                 : ReplacePlainMatches(ed, query, replacement, flags);
    SendMessageW(ed, WM_SETREDRAW, TRUE, 0);
    Msg(ed, editor::kEndUndoAction);
    InvalidateRect(ed, nullptr, TRUE);
    return count;
}

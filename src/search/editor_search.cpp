#include "search/editor_search.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "app/editor.h"
#include "io/encoding.h"
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
                       std::vector<SearchHit>& hits) {
    if (!ed || query.empty() || hits.size() >= kMaxHits) return;
    const long long length = Msg(ed, editor::kGetLength);
    const long long end = limit > 0 ? std::min(length, limit) : length;
    if (end < 1) return;
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

bool FindInEditor(HWND ed, const std::string& query, int flags, bool forward) {
    if (!ed || query.empty()) return false;
    const long long length = Msg(ed, editor::kGetLength);
    long long m = -1;
    if (forward) {
        const long long caret = Msg(ed, editor::kGetCurrentPos);
        m = SearchEditorForward(ed, query, caret, length, flags);
        if (m < 0) m = SearchEditorForward(ed, query, 0, caret, flags);
    } else {
        // From the selection start: the match selected by the last search is not found again.
        const long long from = Msg(ed, editor::kGetSelectionStart);
        m = SearchEditorRange(ed, query, from, 0, flags);
        if (m < 0) m = SearchEditorRange(ed, query, length, from, flags);
    }
    if (m < 0) return false;
    long long e = Msg(ed, editor::kGetTargetEnd);
    if (e <= m) e = std::min(length, m + QueryStep(query));
    Msg(ed, editor::kSetSel, m, e);
    Msg(ed, editor::kScrollCaret);
    return true;
}

void ReplaceCurrentInEditor(HWND ed, const std::string& query, const std::string& replacement, int flags) {
    if (!ed || query.empty()) return;
    const long long s = Msg(ed, editor::kGetSelectionStart);
    const long long t = Msg(ed, editor::kGetSelectionEnd);
    const long long length = Msg(ed, editor::kGetLength);
    const long long m = SearchEditorRange(ed, query, s, length, flags);
    if (m == s && t > s && Msg(ed, editor::kGetTargetEnd) == t) {
        Msg(ed, editor::kSetTargetRange, s, t);
        Msg(ed, (flags & kFindRegex) ? editor::kReplaceTargetRe : editor::kReplaceTarget, -1,
            reinterpret_cast<long long>(replacement.c_str()));
    }
    FindInEditor(ed, query, flags, true);
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
    Msg(ed, editor::kSetTargetRange, first, last);
    Msg(ed, editor::kReplaceTarget, static_cast<long long>(text.size()), reinterpret_cast<long long>(text.data()));
    return static_cast<long long>(matches.size());
}

// Expressions: each match is replaced by the component, which fills in the group references.
long long ReplaceExpressionMatches(HWND ed, const std::string& query, const std::string& replacement, int flags) {
    long long count = 0, pos = 0, length = Msg(ed, editor::kGetLength);
    while (length > 0 && pos < length) {
        const long long m = SearchEditorRange(ed, query, pos, length, flags);
        if (m < 0) break;
        const long long e = Msg(ed, editor::kGetTargetEnd);
        if (e > m) {
            Msg(ed, editor::kSetTargetRange, m, e);
            Msg(ed, editor::kReplaceTargetRe, -1, reinterpret_cast<long long>(replacement.c_str()));
            ++count;
            length = Msg(ed, editor::kGetLength);
            // Right after the inserted text, also when it is empty: the text that followed the
            // match is searched in full.
            pos = Msg(ed, editor::kGetTargetEnd);
        } else {
            pos = Msg(ed, editor::kPositionAfter, m);  // an empty match replaces nothing
            if (pos <= m) break;
        }
    }
    return count;
}

}  // namespace

long long ReplaceAllInEditor(HWND ed, const std::string& query, const std::string& replacement, int flags) {
    if (!ed || query.empty()) return 0;
    Msg(ed, editor::kBeginUndoAction);
    SendMessageW(ed, WM_SETREDRAW, FALSE, 0);
    const long long count = (flags & kFindRegex) ? ReplaceExpressionMatches(ed, query, replacement, flags)
                                                 : ReplacePlainMatches(ed, query, replacement, flags);
    SendMessageW(ed, WM_SETREDRAW, TRUE, 0);
    Msg(ed, editor::kEndUndoAction);
    InvalidateRect(ed, nullptr, TRUE);
    return count;
}

#include "search/text_match.h"

#include <emmintrin.h>
#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <bitset>
#include <cstring>
#include <cwctype>

#include "base/encoding.h"

static_assert(sizeof(wchar_t) == sizeof(PCRE2_UCHAR), "UTF-16 text is matched in place");

namespace {

// Limits for one match call: a pattern that backtracks without end, or nests without end, stops
// with an error code well before it could hold the program up or overflow a stack.
constexpr uint32_t kMatchLimit = 1000000;
constexpr uint32_t kDepthLimit = 10000;
constexpr uint32_t kHeapLimitKiB = 32 * 1024;
constexpr size_t kJitStackStart = 32 * 1024;
constexpr size_t kJitStackMax = 1024 * 1024;

constexpr size_t npos = static_cast<size_t>(-1);

// Code units one of which lies in every match (the scan looks for lines that hold one).
struct UnitSet {
    wchar_t units[4] = {};
    int count = 0;
    void Add(wchar_t u) {
        for (int i = 0; i < count; ++i)
            if (units[i] == u) return;
        if (count < 4) units[count++] = u;
    }
};

bool IsAsciiLetter(wchar_t c) { return FoldAscii(c) >= L'a' && FoldAscii(c) <= L'z'; }

// The first position at or after `from` holding one of the set's units.
size_t FindAnyUnit(const wchar_t* s, size_t n, size_t from, const UnitSet& set) {
    if (set.count == 0) return from < n ? from : npos;
    __m128i v[4];
    for (int k = 0; k < 4; ++k) v[k] = _mm_set1_epi16(static_cast<short>(set.units[k < set.count ? k : 0]));
    size_t i = from;
    for (; i + 8 <= n; i += 8) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i eq = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(x, v[0]), _mm_cmpeq_epi16(x, v[1])),
                                        _mm_or_si128(_mm_cmpeq_epi16(x, v[2]), _mm_cmpeq_epi16(x, v[3])));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(eq));
        if (mask) return i + static_cast<size_t>(LowestSetBit(mask) / 2);
    }
    for (; i < n; ++i) {
        for (int k = 0; k < set.count; ++k)
            if (s[i] == set.units[k]) return i;
    }
    return npos;
}

size_t FindUnit(const wchar_t* s, size_t n, size_t from, wchar_t unit) {
    UnitSet set;
    set.Add(unit);
    return FindAnyUnit(s, n, from, set);
}

// Line feeds in [from, to).
size_t CountLineFeeds(const wchar_t* s, size_t from, size_t to) {
    size_t count = 0, i = from;
    const __m128i lf = _mm_set1_epi16(L'\n');
    for (; i + 8 <= to; i += 8) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(x, lf)));
        while (mask) {
            count += mask & 1u;
            mask >>= 2;
        }
    }
    for (; i < to; ++i) count += s[i] == L'\n';
    return count;
}

bool EqualFolded(const wchar_t* s, const std::wstring& query, bool caseless) {
    for (size_t k = 0; k < query.size(); ++k) {
        const wchar_t c = caseless ? FoldAscii(s[k]) : s[k];
        if (c != query[k]) return false;
    }
    return true;
}

bool WordBoundariesAt(const wchar_t* line, size_t length, size_t start, size_t end) {
    if (start > 0 && IsWordCharacter(line[start - 1])) return false;
    if (end < length && IsWordCharacter(line[end])) return false;
    return true;
}

// Position of the first unpaired surrogate at or after `from`, or npos.
size_t NextLoneSurrogate(std::wstring_view text, size_t from) {
    for (size_t i = from; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c < 0xD800 || c > 0xDFFF) continue;
        if (c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            ++i;
            continue;
        }
        return i;
    }
    return std::wstring_view::npos;
}

bool HasLoneSurrogate(std::wstring_view text) { return NextLoneSurrogate(text, 0) != std::wstring_view::npos; }

// Lone surrogates become U+FFFD, so that the engine, told the text is valid UTF-16, may skip its
// own check; lengths and positions do not change.
void RepairSurrogates(std::wstring& text) {
    for (size_t i = NextLoneSurrogate(text, 0); i != std::wstring::npos; i = NextLoneSurrogate(text, i + 1))
        text[i] = 0xFFFD;
}

}  // namespace

struct LineMatcherEngine {
    pcre2_code* code = nullptr;
    pcre2_match_data* data = nullptr;
    pcre2_match_context* context = nullptr;
    pcre2_jit_stack* jitStack = nullptr;

    ~LineMatcherEngine() {
        if (data) pcre2_match_data_free(data);
        if (context) pcre2_match_context_free(context);
        if (jitStack) pcre2_jit_stack_free(jitStack);
        if (code) pcre2_code_free(code);
    }
};

LineMatcher::~LineMatcher() { delete engine; }

bool IsWordCharacter(wchar_t c) { return c == L'_' || std::iswalnum(c); }

namespace {

LineMatch MatchRegex(std::wstring_view line, const LineMatcher& matcher) {
    LineMatcherEngine& e = *matcher.engine;
    const auto* subject = reinterpret_cast<PCRE2_SPTR>(line.data());
    size_t start = 0;
    for (;;) {
        const int rc = pcre2_match(e.code, subject, line.size(), start, PCRE2_NO_UTF_CHECK, e.data, e.context);
        if (rc < 0) return {};  // no match, or a limit reached: the line counts as not matching
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(e.data);
        const size_t matchStart = ovector[0], matchEnd = ovector[1];
        if (matchEnd <= matchStart) return {};
        if (!matcher.wholeWord || WordBoundariesAt(line.data(), line.size(), matchStart, matchEnd))
            return LineMatch{true, static_cast<int>(matchStart), static_cast<int>(matchEnd - matchStart)};
        start = matchEnd;
    }
}

LineMatch MatchPlain(std::wstring_view line, const LineMatcher& matcher) {
    const std::wstring& q = matcher.query;
    for (size_t p = 0; p + q.size() <= line.size(); ++p) {
        if (!EqualFolded(line.data() + p, q, matcher.caseless)) continue;
        if (!matcher.wholeWord || WordBoundariesAt(line.data(), line.size(), p, p + q.size()))
            return LineMatch{true, static_cast<int>(p), static_cast<int>(q.size())};
    }
    return {};
}

LineMatch MatchCheckedLine(std::wstring_view line, const LineMatcher& matcher) {
    if (!matcher.usable) return {};
    return matcher.regex ? MatchRegex(line, matcher) : MatchPlain(line, matcher);
}

SearchHit FileHit(const std::wstring& path, const std::wstring& title, size_t lineNumber, const wchar_t* line,
                  size_t length, const LineMatch& m) {
    SearchHit hit;
    hit.path = path;
    hit.title = title;
    hit.docIndex = -1;
    hit.line = static_cast<int>(lineNumber);
    hit.column = m.column;
    hit.matchLength = m.length;
    hit.lineText.assign(line, length);
    return hit;
}

// Plain text: the query is looked for in the whole text, not line by line; only a line that
// holds a candidate is delimited, and after a hit the scan goes on at the next line.
void SearchPlainText(const std::wstring& text, const LineMatcher& matcher, const std::wstring& path,
                     const std::wstring& title, std::vector<SearchHit>& hits) {
    const std::wstring& q = matcher.query;
    if (q.find(L'\n') != std::wstring::npos) return;  // no line holds a line feed
    const wchar_t* s = text.data();
    const size_t n = text.size();
    UnitSet first;
    first.Add(q[0]);
    if (matcher.caseless && IsAsciiLetter(q[0])) first.Add(static_cast<wchar_t>(q[0] - 32));

    size_t pos = 0, counted = 0, lineNumber = 1;
    size_t lineStart = 0, lineEnd = 0, trimmedEnd = 0;  // the line of the last candidate
    bool lineKnown = false;
    while (pos < n && hits.size() < kMaxHits) {
        const size_t p = FindAnyUnit(s, n, pos, first);
        if (p == npos || p + q.size() > n) break;
        if (!EqualFolded(s + p, q, matcher.caseless)) {
            pos = p + 1;
            continue;
        }
        if (!lineKnown || p > lineEnd) {
            lineNumber += CountLineFeeds(s, counted, p);
            counted = p;
            lineStart = p;
            while (lineStart > 0 && s[lineStart - 1] != L'\n') --lineStart;
            lineEnd = FindUnit(s, n, p, L'\n');
            if (lineEnd == npos) lineEnd = n;
            trimmedEnd = lineEnd;
            while (trimmedEnd > lineStart && s[trimmedEnd - 1] == L'\r') --trimmedEnd;
            lineKnown = true;
        }
        const size_t end = p + q.size();
        if (end > trimmedEnd || (matcher.wholeWord && !WordBoundariesAt(s + lineStart, trimmedEnd - lineStart,
                                                                        p - lineStart, end - lineStart))) {
            pos = p + 1;
            continue;
        }
        hits.push_back(FileHit(path, title, lineNumber, s + lineStart, trimmedEnd - lineStart,
                               LineMatch{true, static_cast<int>(p - lineStart), static_cast<int>(q.size())}));
        if (lineEnd >= n) break;
        pos = counted = lineEnd + 1;
        ++lineNumber;
        lineKnown = false;
    }
}

// Expressions run over the text's UTF-8 form, lines found as in a tab.
void SearchUtf8Regex(std::string_view utf8, const LineMatcher& matcher, const std::wstring& path,
                     const std::wstring& title, std::vector<SearchHit>& hits, SearchBudget* budget) {
    SearchBudget unlimited;
    SearchBudget& b = budget ? *budget : unlimited;
    SearchHit source;
    source.path = path;
    source.title = title;
    LineCursor cursor{utf8};
    CollectRegexHits(
        matcher.pattern, utf8, utf8.size(), [&](long long position) { return cursor.LineOf(position); }, source,
        false, hits, b);
}

}  // namespace

void PrepareLineMatcher(LineMatcher& matcher, const std::wstring& query, int flags) {
    delete matcher.engine;
    matcher.engine = nullptr;
    matcher.query = query;
    matcher.caseless = (flags & kFindMatchCase) == 0;
    matcher.wholeWord = (flags & kFindWholeWord) != 0;
    matcher.regex = (flags & kFindRegex) != 0;
    matcher.usable = false;
    if (query.empty()) return;
    if (!matcher.regex) {
        if (matcher.caseless)
            for (wchar_t& c : matcher.query) c = FoldAscii(c);
        matcher.usable = true;
        return;
    }
    // ECMAScript habits: \u escapes, [] matches nothing, a reference to an unset group matches empty.
    uint32_t options =
        PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF | PCRE2_DOLLAR_ENDONLY;
    if (matcher.caseless) options |= PCRE2_CASELESS;
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code =
        pcre2_compile(reinterpret_cast<PCRE2_SPTR>(query.data()), query.size(), options, &error, &offset, nullptr);
    if (!code) return;  // an invalid expression finds nothing
    auto* e = new LineMatcherEngine;
    e->code = code;
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);  // without the JIT the interpreter runs, same limits
    e->data = pcre2_match_data_create_from_pattern(code, nullptr);
    e->context = pcre2_match_context_create(nullptr);
    e->jitStack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
    if (!e->data || !e->context) {
        delete e;
        return;
    }
    pcre2_set_match_limit(e->context, kMatchLimit);
    pcre2_set_depth_limit(e->context, kDepthLimit);
    pcre2_set_heap_limit(e->context, kHeapLimitKiB);
    if (e->jitStack) pcre2_jit_stack_assign(e->context, nullptr, e->jitStack);
    matcher.engine = e;
    CompileRegex(matcher.pattern, WideToUtf8(query), flags);
    matcher.usable = matcher.pattern.usable;
}

LineMatch MatchLine(std::wstring_view line, const LineMatcher& matcher) {
    if (matcher.regex && HasLoneSurrogate(line)) {
        std::wstring copy(line);
        RepairSurrogates(copy);
        return MatchCheckedLine(copy, matcher);
    }
    return MatchCheckedLine(line, matcher);
}

void SearchTextLines(std::wstring& text, const LineMatcher& matcher, const std::wstring& path,
                     const std::wstring& title, std::vector<SearchHit>& hits, SearchBudget* budget) {
    if (!matcher.usable || text.empty() || hits.size() >= kMaxHits) return;
    if (matcher.regex) {
        RepairSurrogates(text);
        SearchUtf8Regex(WideToUtf8(text), matcher, path, title, hits, budget);
    } else {
        SearchPlainText(text, matcher, path, title, hits);
    }
}

bool MatchLineGroup(std::wstring_view line, const LineMatcher& matcher, int group, LineMatch& captured) {
    captured = {};
    if (!matcher.usable || !matcher.regex || group < 0) return false;
    std::wstring repaired;
    if (HasLoneSurrogate(line)) {
        repaired.assign(line);
        RepairSurrogates(repaired);
        line = repaired;
    }
    LineMatcherEngine& e = *matcher.engine;
    const int rc = pcre2_match(e.code, reinterpret_cast<PCRE2_SPTR>(line.data()), line.size(), 0, PCRE2_NO_UTF_CHECK,
                               e.data, e.context);
    if (rc < 0) return false;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(e.data);
    if (group < rc && ovector[2 * group] != PCRE2_UNSET) {
        captured.found = true;
        captured.column = static_cast<int>(ovector[2 * group]);
        captured.length = static_cast<int>(ovector[2 * group + 1] - ovector[2 * group]);
    }
    return true;
}

namespace {

// Bytes one of which lies in every match (at most four).
struct ByteSet {
    uint8_t bytes[4] = {};
    int count = 0;
    bool Add(uint8_t b) {
        for (int i = 0; i < count; ++i)
            if (bytes[i] == b) return true;
        if (count == 4) return false;
        bytes[count++] = b;
        return true;
    }
};

size_t FindAnyByte(const uint8_t* s, size_t n, size_t from, const ByteSet& set) {
    __m128i v[4];
    for (int k = 0; k < 4; ++k) v[k] = _mm_set1_epi8(static_cast<char>(set.bytes[k < set.count ? k : 0]));
    size_t i = from;
    for (; i + 16 <= n; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i eq = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, v[0]), _mm_cmpeq_epi8(x, v[1])),
                                        _mm_or_si128(_mm_cmpeq_epi8(x, v[2]), _mm_cmpeq_epi8(x, v[3])));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(eq));
        if (mask) return i + static_cast<size_t>(LowestSetBit(mask));
    }
    for (; i < n; ++i) {
        for (int k = 0; k < set.count; ++k)
            if (s[i] == set.bytes[k]) return i;
    }
    return npos;
}

size_t CountLineFeedBytes(const uint8_t* s, size_t from, size_t to) {
    size_t count = 0, i = from;
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= to; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        count += std::bitset<16>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, lf)))).count();
    }
    for (; i < to; ++i) count += s[i] == '\n';
    return count;
}

// Plain text: the query's UTF-8 form, folded like the query (A-Z); a candidate must hold all of it.
bool QueryBytesAt(const uint8_t* s, const std::string& query, bool caseless) {
    for (size_t k = 0; k < query.size(); ++k) {
        const uint8_t c = caseless ? FoldAscii(s[k]) : s[k];
        if (c != static_cast<uint8_t>(query[k])) return false;
    }
    return true;
}

// One line of well-formed UTF-8 into `out`; ASCII, the common case, is widened as it is.
void DecodeLine(const uint8_t* s, size_t n, std::wstring& out) {
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        if (_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)))) break;
    }
    while (i < n && s[i] < 0x80) ++i;
    if (i < n) {
        out = Utf8ToWide(reinterpret_cast<const char*>(s), n);
        return;
    }
    out.assign(s, s + n);
}

}  // namespace

bool SearchUtf8Lines(const uint8_t* bytes, size_t length, const LineMatcher& matcher, const std::wstring& path,
                     const std::wstring& title, std::vector<SearchHit>& hits, SearchBudget* budget) {
    if (!matcher.usable || length == 0 || hits.size() >= kMaxHits) return true;
    const bool mark = length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
    const uint8_t* s = bytes + (mark ? 3 : 0);
    const size_t n = length - (mark ? 3 : 0);
    if (matcher.regex) {
        if (!ScanUtf8(s, n).valid) return false;
        SearchUtf8Regex(std::string_view(reinterpret_cast<const char*>(s), n), matcher, path, title, hits, budget);
        return true;
    }
    // The bytes to look for. Well-formed UTF-8 holds a character's lead byte wherever the decoded
    // text holds the character, and a line feed byte only where the text has a line feed.
    ByteSet filter;
    if (HasLoneSurrogate(matcher.query)) return false;
    if (matcher.query.find(L'\n') != std::wstring::npos) return true;  // no line holds a line feed
    const std::string query = WideToUtf8(matcher.query);
    const auto first = static_cast<uint8_t>(query[0]);
    filter.Add(first);
    if (matcher.caseless && first >= 'a' && first <= 'z') filter.Add(static_cast<uint8_t>(first - 32));
    if (!ScanUtf8(s, n).valid) return false;

    size_t pos = 0, counted = 0, lineNumber = 1;
    std::wstring line;
    while (pos < n && hits.size() < kMaxHits) {
        const size_t p = FindAnyByte(s, n, pos, filter);
        if (p == npos) break;
        if (p + query.size() > n || !QueryBytesAt(s + p, query, matcher.caseless)) {
            pos = p + 1;
            continue;
        }
        size_t lineStart = p;
        while (lineStart > counted && s[lineStart - 1] != '\n') --lineStart;
        const auto* lf = static_cast<const uint8_t*>(std::memchr(s + p, '\n', n - p));
        const size_t lineEnd = lf ? static_cast<size_t>(lf - s) : n;
        size_t trimmedEnd = lineEnd;
        while (trimmedEnd > lineStart && s[trimmedEnd - 1] == '\r') --trimmedEnd;
        lineNumber += CountLineFeedBytes(s, counted, lineStart);
        counted = lineStart;
        DecodeLine(s + lineStart, trimmedEnd - lineStart, line);
        const LineMatch m = MatchCheckedLine(line, matcher);
        if (m.found) hits.push_back(FileHit(path, title, lineNumber, line.data(), line.size(), m));
        if (lineEnd >= n) break;
        pos = counted = lineEnd + 1;
        ++lineNumber;
    }
    return true;
}

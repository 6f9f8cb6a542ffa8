#include "search/regex_search.h"

#include <emmintrin.h>
#include <windows.h>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <cstring>

#include "base/encoding.h"
#include "search/text_match.h"

namespace {

// Limits for one match attempt (one start position): a pattern that backtracks without end, or
// nests without end, stops there with an error code well before it could hold the program up or
// overflow a stack. The budget of the whole search is counted in attempts and on the clock.
constexpr uint32_t kMatchLimit = 1000000;
constexpr uint32_t kDepthLimit = 10000;
constexpr uint32_t kHeapLimitKiB = 32 * 1024;
constexpr size_t kJitStackStart = 32 * 1024;
constexpr size_t kJitStackMax = 1024 * 1024;
constexpr uint64_t kInteractiveMs = 1000;

// The callout put before the expression runs once per attempt: there the budget is counted.
constexpr uint32_t kBudgetCallout = 255;

int CountAttempt(pcre2_callout_block* block, void* data) {
    if (block->callout_number != kBudgetCallout) return 0;
    auto* budget = static_cast<SearchBudget*>(data);
    if (++budget->attempts > budget->maxAttempts ||
        (budget->deadlineMs && SteadyMilliseconds() >= budget->deadlineMs)) {
        budget->stopped = true;
        return PCRE2_ERROR_CALLOUT;
    }
    return 0;
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The code point that ends just before `at`, or -1 for none or an invalid sequence.
long CodePointBefore(std::string_view text, size_t at) {
    if (at == 0) return -1;
    size_t lead = at - 1;
    while (lead > 0 && at - lead < 4 && IsContinuation(static_cast<unsigned char>(text[lead]))) --lead;
    const std::wstring decoded = Utf8ToWide(text.data() + lead, at - lead);
    if (decoded.empty()) return -1;
    return static_cast<long>(decoded.back());
}

long CodePointAt(std::string_view text, size_t at) {
    if (at >= text.size()) return -1;
    const auto c = static_cast<unsigned char>(text[at]);
    if (c < 0x80) return c;
    const size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
    const std::wstring decoded = Utf8ToWide(text.data() + at, std::min(length, text.size() - at));
    return decoded.empty() ? -1 : static_cast<long>(decoded.front());
}

// The whole-word rule of every search: no word character right before or right after the match.
// A character beyond U+FFFF counts as none, as the unit-by-unit test of decoded text sees it.
bool IsWordCodePoint(long c) { return c >= 0 && c <= 0xFFFF && IsWordCharacter(static_cast<wchar_t>(c)); }

bool WordBoundariesAt(std::string_view text, size_t start, size_t end) {
    return !IsWordCodePoint(CodePointBefore(text, start)) && !IsWordCodePoint(CodePointAt(text, end));
}

size_t NextCharacterStart(std::string_view text, size_t at) {
    size_t next = at + 1;
    while (next < text.size() && next - at < 4 && IsContinuation(static_cast<unsigned char>(text[next]))) ++next;
    return next;
}

// The callout goes after the leading "(*VERB)" items, which must open the expression.
std::string WithBudgetCallout(const std::string& pattern) {
    size_t at = 0;
    while (pattern.compare(at, 2, "(*") == 0) {
        const size_t close = pattern.find(')', at);
        if (close == std::string::npos) break;
        bool verb = true;
        for (size_t i = at + 2; i < close; ++i) {
            const char c = pattern[i];
            verb = verb && ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '=');
        }
        if (!verb) break;
        at = close + 1;
    }
    return pattern.substr(0, at) + "(?C255)" + pattern.substr(at);
}

// Whether the compiled machine code may run the expression. Its step count covers groups and
// repeats entered but not the characters a repeat gives back, so with two repeats (or a
// back-reference, or a recursion) one attempt could scan a long line over and over unseen. Such
// expressions run on the interpreter, which counts every step back.
bool SuitsMachineCode(std::string_view q) {
    int repeats = 0;
    bool afterRepeat = false;
    for (size_t i = 0; i < q.size(); ++i) {
        const char c = q[i];
        const bool wasAfterRepeat = afterRepeat;
        afterRepeat = false;
        if (c == '\\' && i + 1 < q.size()) {
            const char d = q[++i];
            if ((d >= '1' && d <= '9') || d == 'g' || d == 'k') return false;  // back-references
            if (d == 'Q') {
                const size_t end = q.find("\\E", i + 1);
                if (end == std::string_view::npos) break;
                i = end + 1;
            }
            continue;
        }
        if (c == '[') {  // a class: up to its unescaped "]" (one right after "[" or "[^" belongs to it)
            size_t j = i + 1;
            if (j < q.size() && q[j] == '^') ++j;
            if (j < q.size() && q[j] == ']') ++j;
            for (; j < q.size() && q[j] != ']'; ++j) {
                if (q[j] == '\\') ++j;
                else if (q[j] == '[' && j + 1 < q.size() && q[j + 1] == ':') j = q.find(":]", j + 2) + 1;
                if (j == 0) return false;  // an unclosed POSIX class: leave it to the interpreter
            }
            i = j;
            continue;
        }
        if (c == '(' && i + 1 < q.size() && (q[i + 1] == '?' || q[i + 1] == '*')) {
            const char d = i + 2 < q.size() ? q[i + 2] : 0;
            if (q[i + 1] == '?' && (d == 'R' || d == '&' || d == 'P' || d == '+' || d == '-' || (d >= '0' && d <= '9')))
                return false;  // recursion and subroutine calls
            i += 1;
            continue;
        }
        if (c == '*' || c == '+' || c == '?') {
            if (!wasAfterRepeat) ++repeats;  // else it makes the repeat lazy or possessive
            afterRepeat = !wasAfterRepeat;
            continue;
        }
        if (c == '{') {
            size_t j = i + 1;
            bool digit = false;
            while (j < q.size() && ((q[j] >= '0' && q[j] <= '9') || q[j] == ',')) digit |= q[j++] != ',';
            if (digit && j < q.size() && q[j] == '}') {
                ++repeats;
                afterRepeat = true;
                i = j;
            }
        }
    }
    return repeats <= 1;
}

// The first byte at or after `from`, before `to`, that is a CR or an LF; `to` when there is none.
size_t FindLineBreakByte(const char* s, size_t from, size_t to) {
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    size_t i = from;
    for (; i + 16 <= to; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const unsigned mask =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(x, cr), _mm_cmpeq_epi8(x, lf))));
        if (mask) return i + static_cast<size_t>(LowestSetBit(mask));
    }
    for (; i < to; ++i)
        if (s[i] == '\r' || s[i] == '\n') return i;
    return to;
}

}  // namespace

struct RegexEngine {
    pcre2_code* code = nullptr;
    pcre2_match_data* data = nullptr;
    pcre2_match_context* context = nullptr;
    pcre2_jit_stack* jitStack = nullptr;

    ~RegexEngine() {
        if (data) pcre2_match_data_free(data);
        if (context) pcre2_match_context_free(context);
        if (jitStack) pcre2_jit_stack_free(jitStack);
        if (code) pcre2_code_free(code);
    }
};

RegexPattern::~RegexPattern() { delete engine; }

uint64_t SteadyMilliseconds() { return GetTickCount64(); }

SearchBudget InteractiveBudget() {
    SearchBudget budget;
    budget.deadlineMs = SteadyMilliseconds() + kInteractiveMs;
    return budget;
}

std::string RewriteWordAnchors(std::string_view q) {
    std::string out;
    out.reserve(q.size() + 16);
    bool inClass = false;
    for (size_t i = 0; i < q.size(); ++i) {
        const char c = q[i];
        if (c == '\\' && i + 1 < q.size()) {
            const char d = q[i + 1];
            if (!inClass && d == 'Q') {
                const size_t quoteEnd = q.find("\\E", i + 2);
                const size_t stop = quoteEnd == std::string_view::npos ? q.size() : quoteEnd + 2;
                out.append(q.substr(i, stop - i));
                i = stop - 1;
                continue;
            }
            if (!inClass && d == '<')
                out += "\\b(?=\\w)";
            else if (!inClass && d == '>')
                out += "\\b(?<=\\w)";
            else
                out.append(q.substr(i, 2));
            ++i;
            continue;
        }
        if (!inClass && c == '[') {
            inClass = true;
            out += c;
            // A "]" right after "[" or "[^" belongs to the class.
            if (i + 1 < q.size() && q[i + 1] == '^') out += q[++i];
            if (i + 1 < q.size() && q[i + 1] == ']') out += q[++i];
            continue;
        }
        if (inClass && c == '[' && i + 1 < q.size() && q[i + 1] == ':') {
            const size_t close = q.find(":]", i + 2);
            if (close != std::string_view::npos) {
                out.append(q.substr(i, close + 2 - i));
                i = close + 1;
                continue;
            }
        }
        if (inClass && c == ']') inClass = false;
        out += c;
    }
    return out;
}

namespace {

// Lines as the editing component sees them; Unicode classes and case folding; invalid bytes are
// simply characters no pattern item matches. The ECMAScript habits of the file search stay: \u
// escapes, [] matches nothing, a reference to an unset group matches empty.
uint32_t CompileOptions(int flags) {
    uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_UCP | PCRE2_MULTILINE | PCRE2_ALT_BSUX |
                       PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF;
    if (!(flags & kFindMatchCase)) options |= PCRE2_CASELESS;
    return options;
}

// Compiles `source`; null with the engine's error code and offset when it refuses.
pcre2_code* CompileSource(const std::string& source, int flags, int& error, PCRE2_SIZE& offset) {
    pcre2_compile_context* compileContext = pcre2_compile_context_create(nullptr);
    if (!compileContext) return nullptr;
    pcre2_set_newline(compileContext, PCRE2_NEWLINE_ANYCRLF);
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(source.data()), source.size(), CompileOptions(flags),
                                     &error, &offset, compileContext);
    pcre2_compile_context_free(compileContext);
    return code;
}

std::wstring EngineMessage(int error) {
    PCRE2_UCHAR buffer[256] = {};
    if (pcre2_get_error_message(error, buffer, sizeof buffer) < 0) return L"";
    return Utf8ToWide(reinterpret_cast<const char*>(buffer), std::strlen(reinterpret_cast<const char*>(buffer)));
}

}  // namespace

RegexError DescribeRegexError(std::string_view query, int flags) {
    RegexError result;
    if (query.empty()) return result;
    int error = 0;
    PCRE2_SIZE offset = 0;
    // The query as typed first, so that the offset points into the user's own text ("\<" and "\>"
    // are plain characters to the engine); then the form the search compiles.
    if (pcre2_code* code = CompileSource(std::string(query), flags, error, offset)) {
        pcre2_code_free(code);
        code = CompileSource(WithBudgetCallout(RewriteWordAnchors(query)), flags, error, offset);
        if (code) {
            pcre2_code_free(code);
            return result;
        }
        offset = query.size();  // the rewritten form's offsets do not point into the query
    }
    result.valid = false;
    result.position = Utf16Length(query.substr(0, std::min<size_t>(offset, query.size())));
    result.message = EngineMessage(error);
    return result;
}

void CompileRegex(RegexPattern& pattern, std::string_view query, int flags) {
    delete pattern.engine;
    pattern.engine = nullptr;
    pattern.usable = false;
    pattern.wholeWord = (flags & kFindWholeWord) != 0;
    if (query.empty()) return;
    const std::string source = WithBudgetCallout(RewriteWordAnchors(query));
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = CompileSource(source, flags, error, offset);
    if (!code) return;  // an invalid expression finds nothing (DescribeRegexError says why)
    auto* e = new RegexEngine;
    e->code = code;
    if (SuitsMachineCode(source)) pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);  // else the interpreter runs
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
    pattern.engine = e;
    pattern.usable = true;
}

bool FindRegex(const RegexPattern& pattern, std::string_view text, size_t from, SearchBudget& budget,
               RegexMatch& match) {
    if (!pattern.usable || budget.stopped || from > text.size()) return false;
    RegexEngine& e = *pattern.engine;
    pcre2_set_callout(e.context, CountAttempt, &budget);
    const auto* subject = reinterpret_cast<PCRE2_SPTR>(text.data());
    for (size_t start = from; start <= text.size();) {
        const int rc = pcre2_match(e.code, subject, text.size(), start, PCRE2_NOTEMPTY, e.data, e.context);
        if (rc == PCRE2_ERROR_NOMATCH) return false;
        if (rc <= 0) {  // a limit of one attempt, the budget, or no memory: the search cannot go on
            budget.stopped = true;
            return false;
        }
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(e.data);
        const size_t s = ovector[0], t = ovector[1];
        if (!pattern.wholeWord || WordBoundariesAt(text, s, t)) {
            match.start = static_cast<long long>(s);
            match.end = static_cast<long long>(t);
            match.groups.resize(static_cast<size_t>(rc));
            for (int g = 0; g < rc; ++g) {
                const bool set = ovector[2 * g] != PCRE2_UNSET;
                match.groups[static_cast<size_t>(g)] = {set ? static_cast<long long>(ovector[2 * g]) : -1,
                                                        set ? static_cast<long long>(ovector[2 * g + 1]) : -1};
            }
            return true;
        }
        start = NextCharacterStart(text, s);
    }
    return false;
}

bool FindLastRegex(const RegexPattern& pattern, std::string_view text, size_t low, size_t high,
                   SearchBudget& budget, RegexMatch& match) {
    high = std::min(high, text.size());
    if (low >= high) return false;
    // Windows from `high` backwards, each twice the one before, each begun at a line start.
    size_t windowEnd = high, span = 64 * 1024;
    for (;;) {
        size_t windowStart = windowEnd - low > span ? windowEnd - span : low;
        while (windowStart > low && text[windowStart - 1] != '\n' && text[windowStart - 1] != '\r') --windowStart;
        bool found = false;
        RegexMatch m;
        for (size_t pos = windowStart; FindRegex(pattern, text, pos, budget, m) &&
                                       static_cast<size_t>(m.start) < windowEnd;
             pos = static_cast<size_t>(m.end)) {
            match = m;
            found = true;
        }
        if (found) return true;
        if (budget.stopped || windowStart <= low) return false;
        windowEnd = windowStart;
        span *= 2;
    }
}

std::vector<RegexMatch> AllRegexMatches(const RegexPattern& pattern, std::string_view text, SearchBudget& budget) {
    std::vector<RegexMatch> matches;
    RegexMatch m;
    for (size_t pos = 0; FindRegex(pattern, text, pos, budget, m); pos = static_cast<size_t>(m.end))
        matches.push_back(m);
    return matches;
}

std::string ExpandReplacement(std::string_view replacement, std::string_view text, const RegexMatch& match) {
    std::string out;
    out.reserve(replacement.size());
    for (size_t i = 0; i < replacement.size(); ++i) {
        const char c = replacement[i];
        if (c != '\\' || i + 1 == replacement.size()) {
            out += c;
            continue;
        }
        const char d = replacement[++i];
        if (d >= '0' && d <= '9') {
            const auto g = static_cast<size_t>(d - '0');
            if (g < match.groups.size() && match.groups[g].first >= 0) {
                const auto [s, t] = match.groups[g];
                out.append(text.substr(static_cast<size_t>(s), static_cast<size_t>(t - s)));
            }
            continue;
        }
        switch (d) {
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case '\\': out += '\\'; break;
            default:
                out += '\\';
                out += d;
                break;
        }
    }
    return out;
}

TextLine LineCursor::LineOf(long long position) {
    const char* s = text.data();
    const auto n = static_cast<long long>(text.size());
    long long i = counted;
    while (i < position) {
        const auto b = static_cast<long long>(FindLineBreakByte(s, static_cast<size_t>(i), static_cast<size_t>(position)));
        if (b >= position) {
            i = position;
            break;
        }
        long long after = b + 1;
        if (s[b] == '\r' && b + 1 < n && s[b + 1] == '\n') {
            if (b + 2 > position) {
                i = b;  // the position is the LF of this CR LF: still the same line
                break;
            }
            after = b + 2;
        }
        ++number;
        lineStart = after;
        i = after;
    }
    counted = std::max(counted, std::min(i, position));
    TextLine line;
    line.number = number;
    line.start = lineStart;
    line.end = static_cast<long long>(FindLineBreakByte(s, static_cast<size_t>(lineStart), text.size()));
    line.next = line.end;
    if (line.end < n) line.next += (s[line.end] == '\r' && line.end + 1 < n && s[line.end + 1] == '\n') ? 2 : 1;
    return line;
}

int Utf16Length(std::string_view utf8) {
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return static_cast<int>(utf8.size());
    return static_cast<int>(Utf8ToWide(utf8.data(), utf8.size()).size());
}

void CollectRegexHits(const RegexPattern& pattern, std::string_view text, size_t searchEnd,
                      const LineOfPosition& lineOf, const SearchHit& source, bool positions,
                      std::vector<SearchHit>& hits, SearchBudget& budget) {
    if (!pattern.usable) return;
    const std::string_view subject = text.substr(0, std::min(searchEnd, text.size()));
    RegexMatch m;
    for (size_t pos = 0; hits.size() < kMaxHits && FindRegex(pattern, subject, pos, budget, m);) {
        const TextLine line = lineOf(m.start);
        const long long lineEnd = std::min<long long>(line.end, static_cast<long long>(text.size()));
        SearchHit hit;
        hit.path = source.path;
        hit.title = source.title;
        hit.docIndex = source.docIndex;
        hit.tabKey = source.tabKey;
        hit.line = static_cast<int>(line.number + 1);
        if (positions) {
            hit.matchStart = m.start;
            hit.matchEnd = m.end;
        }
        hit.column = Utf16Length(text.substr(static_cast<size_t>(line.start), static_cast<size_t>(m.start - line.start)));
        hit.matchLength = Utf16Length(subject.substr(static_cast<size_t>(m.start), static_cast<size_t>(m.end - m.start)));
        hit.lineText = Utf8ToWide(text.data() + line.start, static_cast<size_t>(std::max(0LL, lineEnd - line.start)));
        hits.push_back(std::move(hit));
        // Further matches of this line would add nothing: go on at the next line.
        pos = static_cast<size_t>(std::max(line.next, m.end));
        if (line.next <= line.start && m.end <= m.start) break;
    }
}

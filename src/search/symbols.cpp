#include "search/symbols.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>

#include "base/encoding.h"
#include "search/text_match.h"
#include "base/strings.h"

const wchar_t kSymbolPattern[] =
    L"(?:class|struct|interface|enum|namespace|def|function|func|fn|void|int|bool|float|double|string|char|auto|"
    L"var|let|const|public|private|protected|static|async|inline|virtual|unsigned|long|short)\\s+([A-Za-z_]\\w*)"
    L"\\s*[({<]";

namespace {

constexpr size_t npos = static_cast<size_t>(-1);

// The expression's keywords by their last letter: a keyword ends where the blanks before a name
// begin, so only the keywords ending in the letter found there need comparing.
const char* const* KeywordsEndingIn(char last) {
    static const char* const s[] = {"class", nullptr};
    static const char* const t[] = {"struct", "int", "float", "let", "const", "short", nullptr};
    static const char* const e[] = {"interface", "namespace", "double", "private", "inline", nullptr};
    static const char* const m[] = {"enum", nullptr};
    static const char* const f[] = {"def", nullptr};
    static const char* const n[] = {"function", "fn", nullptr};
    static const char* const c[] = {"func", "public", "static", "async", nullptr};
    static const char* const d[] = {"void", "protected", "unsigned", nullptr};
    static const char* const l[] = {"bool", "virtual", nullptr};
    static const char* const g[] = {"string", "long", nullptr};
    static const char* const r[] = {"char", "var", nullptr};
    static const char* const o[] = {"auto", nullptr};
    switch (last) {
        case 's': return s;
        case 't': return t;
        case 'e': return e;
        case 'm': return m;
        case 'f': return f;
        case 'n': return n;
        case 'c': return c;
        case 'd': return d;
        case 'l': return l;
        case 'g': return g;
        case 'r': return r;
        case 'o': return o;
        default: return nullptr;
    }
}

// The expression's \s, less the line ends (a line holds none once its CRs are dropped).
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }
bool IsWordByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
bool IsOpening(char c) { return c == '(' || c == '{' || c == '<'; }

// Whether the expression matches somewhere in the line [s, s + n) (no CR inside): some opening
// character has, before it and its blanks, a name that begins with a letter or "_", blanks, and a
// keyword ending right there. The expression itself then finds which match comes first.
bool HasDeclarationShape(const char* s, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (!IsOpening(s[i])) continue;
        size_t j = i;
        while (j > 0 && IsBlank(s[j - 1])) --j;
        size_t k = j;
        while (k > 0 && IsWordByte(s[k - 1])) --k;
        if (k == j || (s[k] >= '0' && s[k] <= '9')) continue;
        size_t b = k;
        while (b > 0 && IsBlank(s[b - 1])) --b;
        if (b == k || b == 0) continue;
        const char* const* keywords = KeywordsEndingIn(s[b - 1]);
        for (; keywords && *keywords; ++keywords) {
            const size_t length = std::strlen(*keywords);
            if (length <= b && std::memcmp(s + b - length, *keywords, length) == 0) return true;
        }
    }
    return false;
}

// The first position at or after `from` holding an opening character, or npos.
size_t FindOpening(const char* s, size_t n, size_t from) {
    const __m128i round = _mm_set1_epi8('('), curly = _mm_set1_epi8('{'), angle = _mm_set1_epi8('<');
    size_t i = from;
    for (; i + 16 <= n; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const int mask = _mm_movemask_epi8(
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, round), _mm_cmpeq_epi8(x, curly)), _mm_cmpeq_epi8(x, angle)));
        if (mask) return i + static_cast<size_t>(LowestSetBit(static_cast<unsigned>(mask)));
    }
    for (; i < n; ++i) {
        if (IsOpening(s[i])) return i;
    }
    return npos;
}

// Line feeds in [from, to).
size_t CountLineFeeds(const char* s, size_t from, size_t to) {
    size_t count = 0;
    for (const char* p = s + from;
         (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(s + to - p)))); ++p)
        ++count;
    return count;
}

// Whether `name` holds the lower-cased `query`, letters A to Z compared without case.
bool HoldsFolded(const std::wstring& name, const std::wstring& query) {
    if (query.size() > name.size()) return false;
    for (size_t at = 0; at + query.size() <= name.size(); ++at) {
        size_t k = 0;
        while (k < query.size() && FoldAscii(name[at + k]) == query[k]) ++k;
        if (k == query.size()) return true;
    }
    return false;
}

}  // namespace

size_t SymbolScanLength(std::string_view utf8) {
    if (utf8.size() <= kSymbolScanBytes) return utf8.size();
    size_t n = kSymbolScanBytes;
    while (n > 0 && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80) --n;
    return n;
}

SymbolScan ScanSymbols(std::string_view utf8, bool cut) {
    SymbolScan scan;
    scan.partial = cut;
    static LineMatcher matcher;
    if (!matcher.usable) PrepareLineMatcher(matcher, kSymbolPattern, kFindMatchCase | kFindRegex);
    if (!matcher.usable) return scan;
    // Only lines holding an opening character can match: the scan jumps from one to the next, and
    // only those with the shape of a declaration are decoded and given to the expression.
    const char* s = utf8.data();
    const size_t n = utf8.size();
    std::wstring line;
    size_t pos = 0, counted = 0, lineNumber = 1;
    while (pos < n) {
        const size_t opening = FindOpening(s, n, pos);
        if (opening == npos) break;
        size_t start = opening;
        while (start > pos && s[start - 1] != '\n') --start;
        lineNumber += CountLineFeeds(s, counted, start);
        const void* lf = std::memchr(s + opening, '\n', n - opening);
        const size_t end = lf ? static_cast<size_t>(static_cast<const char*>(lf) - s) : n;
        size_t trimmed = end;
        while (trimmed > start && s[trimmed - 1] == '\r') --trimmed;
        const std::string_view bytes(s + start, trimmed - start);
        const bool innerCr = bytes.find('\r') != std::string_view::npos;
        if (innerCr || HasDeclarationShape(bytes.data(), bytes.size())) {
            if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
                line.assign(bytes.begin(), bytes.end());
            else
                line = Utf8ToWide(bytes.data(), bytes.size());
            if (innerCr) line.erase(std::remove(line.begin(), line.end(), L'\r'), line.end());
            LineMatch name;
            if (MatchLineGroup(line, matcher, 1, name)) {
                if (scan.symbols.size() >= kSymbolScanLimit) {
                    scan.partial = true;
                    break;
                }
                scan.symbols.push_back(
                    Symbol{name.found ? line.substr(static_cast<size_t>(name.column), static_cast<size_t>(name.length))
                                      : std::wstring(),
                           static_cast<int>(lineNumber)});
            }
        }
        if (!lf) break;
        pos = counted = end + 1;
        ++lineNumber;
    }
    return scan;
}

std::vector<QuickItem> SymbolItems(const SymbolScan& scan, const std::wstring& query) {
    const std::wstring q = LowerAscii(query);
    std::vector<QuickItem> items;
    bool more = false;
    for (const Symbol& symbol : scan.symbols) {
        if (!q.empty() && !HoldsFolded(symbol.name, q)) continue;
        if (items.size() >= kSymbolListLimit) {
            more = true;
            break;
        }
        const std::wstring line = std::to_wstring(symbol.line);
        items.push_back(QuickItem{symbol.name + L"   " + MessageFor(MessageText::SymbolLine, line), kQuickLine, line});
    }
    if (items.empty()) items.push_back(QuickItem{MessageFor(MessageText::NoSymbols), kQuickInfo, L""});
    if (more)
        items.push_back(
            QuickItem{MessageFor(MessageText::TooManySymbols), kQuickInfo, L""});
    if (scan.partial)
        items.push_back(
            QuickItem{MessageFor(MessageText::DocumentTooLarge), kQuickInfo, L""});
    return items;
}

QuickItem NoDocumentSymbolRow() { return QuickItem{MessageFor(MessageText::SymbolsNeedFile), kQuickInfo, L""}; }

const SymbolScan& CachedSymbolScan(SymbolCache& cache, std::string_view utf8, bool cut) {
    if (!cache.valid || cache.cut != cut || cache.text.size() != utf8.size() ||
        cache.text.compare(0, std::string::npos, utf8.data(), utf8.size()) != 0) {
        cache.scan = ScanSymbols(utf8, cut);
        cache.text.assign(utf8);
        cache.cut = cut;
        cache.valid = true;
    }
    return cache.scan;
}

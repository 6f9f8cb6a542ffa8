#include "search/symbols.h"

#include <algorithm>

#include "io/encoding.h"
#include "search/text_match.h"

const wchar_t kSymbolPattern[] =
    L"(?:class|struct|interface|enum|namespace|def|function|func|fn|void|int|bool|float|double|string|char|auto|"
    L"var|let|const|public|private|protected|static|async|inline|virtual|unsigned|long|short)\\s+([A-Za-z_]\\w*)"
    L"\\s*[({<]";

namespace {

// Only a line holding one of the characters that must follow a name can match.
bool MayDeclare(const wchar_t* s, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (s[i] == L'(' || s[i] == L'{' || s[i] == L'<') return true;
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
    const std::wstring text = Utf8ToWide(utf8.data(), utf8.size());
    const wchar_t* s = text.data();
    const size_t n = text.size();
    std::wstring withoutCr;
    int lineNumber = 1;
    for (size_t start = 0; start < n; ++lineNumber) {
        const size_t lf = text.find(L'\n', start);
        const size_t end = lf == std::wstring::npos ? n : lf;
        size_t trimmed = end;
        while (trimmed > start && s[trimmed - 1] == L'\r') --trimmed;
        if (MayDeclare(s + start, trimmed - start)) {
            std::wstring_view line(s + start, trimmed - start);
            if (line.find(L'\r') != std::wstring_view::npos) {
                withoutCr.assign(line);
                withoutCr.erase(std::remove(withoutCr.begin(), withoutCr.end(), L'\r'), withoutCr.end());
                line = withoutCr;
            }
            LineMatch name;
            if (MatchLineGroup(line, matcher, 1, name)) {
                if (scan.symbols.size() >= kSymbolScanLimit) {
                    scan.partial = true;
                    break;
                }
                scan.symbols.push_back(
                    Symbol{name.found ? std::wstring(line.substr(name.column, name.length)) : L"", lineNumber});
            }
        }
        if (lf == std::wstring::npos) break;
        start = lf + 1;
    }
    return scan;
}

std::vector<QuickItem> SymbolItems(const SymbolScan& scan, const std::wstring& query) {
    const std::wstring q = LowerAscii(query);
    std::vector<QuickItem> items;
    bool more = false;
    for (const Symbol& symbol : scan.symbols) {
        if (!q.empty() && LowerAscii(symbol.name).find(q) == std::wstring::npos) continue;
        if (items.size() >= kSymbolListLimit) {
            more = true;
            break;
        }
        const std::wstring line = std::to_wstring(symbol.line);
        items.push_back(QuickItem{symbol.name + L"   (\u884C " + line + L")", kQuickLine, line});
    }
    if (items.empty()) items.push_back(QuickItem{L"(\u672A\u53D1\u73B0\u7B26\u53F7)", kQuickInfo, L""});
    if (more)
        items.push_back(
            QuickItem{L"(\u7B26\u53F7\u592A\u591A, \u53EA\u5217\u51FA\u524D 5000 \u4E2A)", kQuickInfo, L""});
    if (scan.partial)
        items.push_back(
            QuickItem{L"(\u6587\u6863\u592A\u5927, \u53EA\u626B\u63CF\u4E86\u5F00\u5934\u7684\u4E00\u90E8\u5206)",
                      kQuickInfo, L""});
    return items;
}

QuickItem NoDocumentSymbolRow() { return QuickItem{L"(\u6253\u5F00\u6587\u4EF6\u540E\u53EF\u7528)", kQuickInfo, L""}; }

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

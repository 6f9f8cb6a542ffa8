#pragma once
// Goto symbol: declarations found by one expression applied line by line, the same for every
// language (no parser), listed in document order and filtered by a typed word. No window is
// touched.
#include <string>
#include <string_view>
#include <vector>

#include "search/quick_open_model.h"

// The expression; group 1 is the name. The first match of a line counts, leftmost first.
extern const wchar_t kSymbolPattern[];

constexpr size_t kSymbolScanBytes = 16 * 1024 * 1024;  // of a document, the part that is scanned
constexpr size_t kSymbolScanLimit = 100000;            // symbols one scan keeps
constexpr size_t kSymbolListLimit = 5000;              // rows one query lists

struct Symbol {
    std::wstring name;
    int line = 0;  // 1-based
};

struct SymbolScan {
    std::vector<Symbol> symbols;
    bool partial = false;  // the text went on past what was scanned
};

// The length of the first kSymbolScanBytes of UTF-8 text, cut back to the start of a character.
size_t SymbolScanLength(std::string_view utf8);
// Scans `utf8`: lines end at LF, CR characters are dropped. `cut` says that the document goes on
// after `utf8`.
SymbolScan ScanSymbols(std::string_view utf8, bool cut);

// The rows for a query: "name   (line n)" for every name holding the query (letters A to Z without
// case), at most kSymbolListLimit, then information rows: nothing found, the list or the scan cut.
std::vector<QuickItem> SymbolItems(const SymbolScan& scan, const std::wstring& query);
// The row shown when no tab is active.
QuickItem NoDocumentSymbolRow();

// The last scan with the bytes it was made from: a text that is the same byte for byte gets the
// same list again without a second scan.
struct SymbolCache {
    std::string text;
    bool cut = false;
    bool valid = false;
    SymbolScan scan;
};
const SymbolScan& CachedSymbolScan(SymbolCache& cache, std::string_view utf8, bool cut);

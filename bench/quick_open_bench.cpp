// The quick-open popup's work per keystroke.
//   bench_quick_open.exe [folder]   (default: a scratch folder under %TEMP%, made once and kept)
// Prints the time of one folder walk at the 4,000-entry limit and of filtering the palette and the
// file list per keystroke; of the first symbol scan of a 10 MiB source (beside decoding all of it,
// which the scan avoids) and of each keystroke after it; and of the text list over 10 editors of
// 5 MiB each. Medians of several runs.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench_util.h"
#include "base/editor.h"
#include "base/encoding.h"
#include "search/quick_open.h"
#include "search/quick_open_model.h"
#include "search/symbols.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

// Median time of `runs` calls of `work`.
double Time(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto t = Clock::now();
        work();
        times.push_back(Ms(t));
    }
    return Median(times);
}

const char* const kWords[] = {"shape",  "point",  "render", "buffer", "value", "index",  "count",
                              "string", "widget", "layout", "parser", "token", "stream", "config"};

void MakeTree(const std::wstring& root) {
    CreateDirectoryW(root.c_str(), nullptr);
    unsigned seed = 5;
    for (int d = 0; d < 40; ++d) {
        const std::wstring dir = root + L"\\dir" + std::to_wstring(d);
        CreateDirectoryW(dir.c_str(), nullptr);
        for (int f = 0; f < 110; ++f) {
            seed = seed * 1103515245u + 12345u;
            const char* word = kWords[(seed >> 16) % (sizeof kWords / sizeof *kWords)];
            const std::wstring name =
                dir + L"\\" + std::wstring(word, word + strlen(word)) + L"_" + std::to_wstring(f) + L".cpp";
            CloseHandle(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        }
    }
}

void FileFigures(const std::wstring& root) {
    FolderFiles walk;
    const double walkMs = Time(3, [&] { walk = WalkQuickOpenFolder(root); });
    std::printf("folder walk (once per opening): %6.2f ms, %zu files kept\n", walkMs, walk.files.size());
    for (const wchar_t* query : {L"s", L"sh", L"sha", L"shape_1", L"zq", L"xyz"}) {
        size_t count = 0;
        const double ms = Time(21, [&] { count = FileListItems(walk, query).size(); });
        std::printf("file list, \"%ls\": %6.3f ms, %zu entries\n", query, ms, count);
    }
    // The palette's filter over a list as long as the walk's limit.
    std::vector<QuickItem> many;
    while (many.size() < 4000) {
        for (const QuickItem& item : PaletteEntries()) many.push_back(item);
    }
    many.resize(4000);
    for (const wchar_t* query : {L"f", L"fs", L"save", L"gtsy"}) {
        size_t count = 0;
        const double ms = Time(21, [&] { count = FilterPalette(many, query).size(); });
        std::printf("palette filter over 4000, \"%ls\": %6.3f ms, %zu entries\n", query, ms, count);
    }
}

std::string SourceText(size_t size) {
    std::string text;
    unsigned seed = 3;
    int n = 0;
    while (text.size() < size) {
        seed = seed * 1103515245u + 12345u;
        const char* word = kWords[(seed >> 16) % (sizeof kWords / sizeof *kWords)];
        // About one declaration in eight lines, as in ordinary code.
        switch (n++ % 8) {
            case 0: text += "static int " + std::string(word) + std::to_string(n) + "(int a, int b) {\r\n"; break;
            case 1: text += "    int total = a + b; // sum of the " + std::string(word) + " values\r\n"; break;
            case 2: text += "    if (total > 10) { return total * 2; }\r\n"; break;
            case 3: text += "    for (int i = 0; i < total; ++i) sum += values[i];\r\n"; break;
            case 4: text += "    return call(" + std::string(word) + ", total);\r\n"; break;
            case 5: text += "}\r\n"; break;
            case 6: text += "\r\n"; break;
            default: text += "// " + std::string(word) + " helpers follow\r\n"; break;
        }
    }
    text.resize(size);
    return text;
}

void SymbolFigures() {
    const std::string text = SourceText(10u * 1024 * 1024);
    const double decode = Time(3, [&] { Utf8ToWide(text.data(), text.size()); });
    std::printf("symbols, 10 MiB, decoding alone: %6.1f ms\n", decode);
    SymbolScan scan;
    const double first = Time(3, [&] { scan = ScanSymbols(text, false); });
    std::printf("symbols, 10 MiB, first scan: %6.1f ms, %zu symbols\n", first, scan.symbols.size());
    SymbolCache cache;
    CachedSymbolScan(cache, text, false);
    for (const wchar_t* query : {L"", L"s", L"shape", L"shape12", L"nothing"}) {
        size_t count = 0;
        const double ms = Time(11, [&] { count = SymbolItems(CachedSymbolScan(cache, text, false), query).size(); });
        std::printf("symbols, 10 MiB, keystroke \"%ls\": %6.2f ms, %zu rows\n", query, ms, count);
    }
}

void TextFigures() {
    if (!LoadComponentBesideBuild()) return;
    std::vector<HWND> editors;
    std::vector<TabText> tabs;
    for (int i = 0; i < 10; ++i) {
        HWND ed = CreateWindowExW(0, L"Scintilla", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
        editor::Send(ed, editor::kSetCodePage, 65001);
        editor::Send(ed, editor::kSetUndoCollection, 0);
        const std::string text = SourceText(5u * 1024 * 1024);
        editor::Send(ed, editor::kAppendText, text.size(), reinterpret_cast<LPARAM>(text.data()));
        editors.push_back(ed);
    }
    // What the popup does on each keystroke: each editor searched by the component, skipping ahead.
    auto build = [&](const std::wstring& query) {
        tabs.clear();
        for (int i = 0; i < 10; ++i) {
            tabs.push_back(EditorTabText(editors[static_cast<size_t>(i)], L"tab" + std::to_wstring(i), i));
        }
        return TextListItems(tabs, query).size();
    };
    for (const wchar_t* query : {L"zanzibar", L"Total", L"shape_type", L"e"}) {
        size_t count = 0;
        const double ms = Time(7, [&] { count = build(query); });
        std::printf("text list, 10 tabs x 5 MiB, \"%ls\": %6.2f ms, %zu entries\n", query, ms, count);
    }
    for (HWND ed : editors) DestroyWindow(ed);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring root = argc > 1 ? std::wstring(argv[1]) : TempFolder() + L"tessary-quick-open-bench";
    if (GetFileAttributesW((root + L"\\dir0").c_str()) == INVALID_FILE_ATTRIBUTES) MakeTree(root);
    FileFigures(root);
    SymbolFigures();
    TextFigures();
    return 0;
}

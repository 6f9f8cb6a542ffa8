// Find in files at the full budget and the live search in a large open tab.
//   bench_search.exe [folder]   (default: a scratch folder under %TEMP%, made once and kept)
//   bench_search.exe --check    (a small tree, only whether the hits agree; seconds)
// Prints MB/s for reading the files alone, a plain search and an expression search over them,
// and the time of one collection in a 50 MiB editor for a rare word and for a word on every line,
// plain and as expressions, against the plain rare word of the same run.
// Exits with 1 when the folder search's hits differ from those of the files decoded whole.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_util.h"
#include "base/editor.h"
#include "base/encoding.h"
#include "base/file_access.h"
#include "search/editor_search.h"
#include "search/find_in_files.h"

namespace {

// The tree: so many files sharing so many bytes.
struct TreeSize {
    int files;
    uint64_t total;
};
constexpr TreeSize kBenchTree{3000, 64ull * 1024 * 1024};
constexpr TreeSize kCheckTree{40, 1024 * 1024};
const char* const kWords[] = {"alpha", "beta",   "gamma",  "delta", "return", "value", "index",
                              "count", "string", "buffer", "while", "struct", "const", "line"};

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

std::string Line(unsigned& seed, int number) {
    std::string line;
    while (line.size() < 60) {
        seed = seed * 1103515245u + 12345u;
        line += kWords[(seed >> 16) % (sizeof kWords / sizeof *kWords)];
        line += ' ';
    }
    if (number % 5000 == 4999) line += "zanzibar ";
    return line + "\r\n";
}

void MakeTree(const std::wstring& root, TreeSize tree) {
    CreateDirectoryW(root.c_str(), nullptr);
    unsigned seed = 7;
    int lineNumber = 0;
    for (int i = 0; i < tree.files; ++i) {
        const std::wstring dir = root + L"\\d" + std::to_wstring(i / 100);
        CreateDirectoryW(dir.c_str(), nullptr);
        const bool utf16 = i % 3 == 2;
        std::string bytes = utf16 ? std::string("\xFF\xFE", 2) : std::string();
        const size_t fileSize = static_cast<size_t>(tree.total / static_cast<uint64_t>(tree.files));
        while (bytes.size() < fileSize) {
            const std::string line = Line(seed, lineNumber++);
            if (!utf16) {
                bytes += line;
            } else {
                for (char c : line) {
                    bytes += c;
                    bytes += '\0';
                }
            }
        }
        bytes.resize(fileSize);
        HANDLE f = CreateFileW((dir + L"\\f" + std::to_wstring(i) + L".txt").c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(f);
    }
}

// The baseline: the same walk and the same reads as the search, nothing decoded or matched.
uint64_t ReadTree(const std::wstring& root) {
    uint64_t total = 0;
    std::vector<uint8_t> buffer;
    WalkFolderFiles(root, {}, [&](const FolderFile& file) {
        HANDLE f = OpenForReading(file.path, FILE_FLAG_SEQUENTIAL_SCAN);
        if (f == INVALID_HANDLE_VALUE) return true;
        LARGE_INTEGER size{};
        GetFileSizeEx(f, &size);
        buffer.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ReadFile(f, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr);
        CloseHandle(f);
        total += got;
        return true;
    });
    return total;
}

// The hits found by decoding every file whole, for comparison.
std::vector<SearchHit> SearchTreeDecoded(const std::wstring& root, const LineMatcher& matcher) {
    std::vector<SearchHit> hits;
    WalkFolderFiles(root, {}, [&](const FolderFile& file) {
        const ReadResult read = ReadFileBytes(file.path);
        std::wstring text = DecodeBytes(read.bytes.data(), read.bytes.size(), nullptr, nullptr);
        SearchTextLines(text, matcher, file.path, file.path.substr(file.path.find_last_of(L'\\') + 1), hits);
        return hits.size() < kMaxHits;
    });
    return hits;
}

bool SameHits(const std::vector<SearchHit>& a, const std::vector<SearchHit>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const SearchHit& x, const SearchHit& y) {
        return x.path == y.path && x.line == y.line && x.column == y.column && x.matchLength == y.matchLength &&
               x.lineText == y.lineText;
    });
}

// Returns whether the folder search found what decoding every file whole finds.
bool FolderFigures(const std::wstring& root, int runs) {
    ReadTree(root);  // into the cache
    std::vector<double> read, plain, regex;
    std::vector<SearchHit> plainHits, regexHits;
    uint64_t bytes = 0;
    FolderSearchStats stats;
    LineMatcher m, r;
    PrepareLineMatcher(m, L"Zanzibar", 0);
    PrepareLineMatcher(r, L"zanz\\w+r", kFindRegex);
    for (int run = 0; run < runs; ++run) {
        auto t = std::chrono::steady_clock::now();
        bytes = ReadTree(root);
        read.push_back(Seconds(t));
        t = std::chrono::steady_clock::now();
        LineMatcher plainMatcher;
        PrepareLineMatcher(plainMatcher, L"Zanzibar", 0);
        plainHits.clear();
        stats = SearchFolder(root, plainMatcher, {}, plainHits);
        plain.push_back(Seconds(t));
        t = std::chrono::steady_clock::now();
        LineMatcher regexMatcher;
        PrepareLineMatcher(regexMatcher, L"zanz\\w+r", kFindRegex);
        regexHits.clear();
        SearchFolder(root, regexMatcher, {}, regexHits);
        regex.push_back(Seconds(t));
    }
    const bool same =
        !plainHits.empty() && SameHits(plainHits, SearchTreeDecoded(root, m)) && SameHits(regexHits, SearchTreeDecoded(root, r));
    const double mb = static_cast<double>(bytes) / (1024.0 * 1024.0);
    std::printf("tree: %zu files searched of %zu seen, %.1f MiB, hits as with whole files decoded: %s\n",
                stats.filesSearched, stats.filesSeen, mb, same ? "yes" : "NO");
    std::printf("read only      : %7.1f ms  %7.1f MB/s\n", Median(read) * 1000, mb / Median(read));
    std::printf("plain (no case): %7.1f ms  %7.1f MB/s  %3.0f %% of read  hits %zu\n", Median(plain) * 1000,
                mb / Median(plain), 100 * Median(read) / Median(plain), plainHits.size());
    std::printf("regex (no case): %7.1f ms  %7.1f MB/s  %3.0f %% of read  hits %zu\n", Median(regex) * 1000,
                mb / Median(regex), 100 * Median(read) / Median(regex), regexHits.size());
    return same;
}

void EditorFigures() {
    if (!LoadComponentBesideBuild()) return;
    HWND ed = CreateWindowExW(0, L"Scintilla", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    editor::Send(ed, editor::kSetCodePage, 65001);
    editor::Send(ed, editor::kSetUndoCollection, 0);
    std::string text;
    unsigned seed = 11;
    for (int n = 0; text.size() < 50ull * 1024 * 1024; ++n) text += Line(seed, n);
    editor::Send(ed, editor::kAppendText, text.size(), reinterpret_cast<LPARAM>(text.data()));
    // The plain search of a rare word is the baseline; expressions run on the program's engine.
    const std::pair<const char*, int> queries[] = {{"zanzibar", 0},
                                                   {"e", 0},
                                                   {"zanzibar", kFindRegex},
                                                   {"zanz\\w+r", kFindRegex},
                                                   {"zanz\\w+ \\w+", kFindRegex},  // two repeats: interpreter
                                                   {"e", kFindRegex}};
    double baseline = 0;
    for (const auto& [word, flags] : queries) {
        std::vector<double> times;
        size_t count = 0;
        bool stopped = false;
        for (int run = 0; run < 3; ++run) {
            std::vector<SearchHit> hits;
            SearchBudget budget = InteractiveBudget();
            const auto t = std::chrono::steady_clock::now();
            CollectEditorHits(ed, word, flags, 0, HitSource{L"", L"big", 0}, hits, budget);
            times.push_back(Seconds(t));
            count = hits.size();
            stopped = stopped || budget.stopped;
        }
        if (baseline == 0) baseline = Median(times);
        std::printf("50 MiB tab, %-5s \"%s\": %7.1f ms, %.2fx the plain rare word, %zu hits%s\n",
                    flags ? "regex" : "plain", word, Median(times) * 1000, Median(times) / baseline, count,
                    stopped ? " (STOPPED)" : "");
    }
    DestroyWindow(ed);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wstring(argv[1]) == L"--check") {
        const std::wstring root = TempFolder() + L"tessary-search-check";
        MakeTree(root, kCheckTree);
        return FolderFigures(root, 1) ? 0 : 1;
    }
    const std::wstring root = argc > 1 ? std::wstring(argv[1]) : TempFolder() + L"tessary-search-bench";
    if (GetFileAttributesW((root + L"\\d0").c_str()) == INVALID_FILE_ATTRIBUTES) MakeTree(root, kBenchTree);
    const bool same = FolderFigures(root, 5);
    EditorFigures();
    return same ? 0 : 1;
}

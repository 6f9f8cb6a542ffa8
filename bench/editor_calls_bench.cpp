// What the wrapper's direct calls into the component change on their own: the same loops over two
// component windows holding the same 7 MiB text, one made by editor::Create (direct function) and
// one made with CreateWindowExW (every call a SendMessageW). Prints the median of 5 runs of each
// loop and the ratio message / direct.
//   bench_editor_calls.exe
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_util.h"
#include "base/editor.h"
#include "search/editor_search.h"

namespace {

double Milliseconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

std::string Text() {
    std::string text;
    for (int n = 0; text.size() < 7u * 1048576; ++n) {
        char line[128];
        std::snprintf(line, sizeof line, "2026-12-07 10:00:%02d.%03d INFO worker-%d request %06d served in %3d ms\r\n",
                      n % 60, n % 1000, n % 8, n * 37 % 1000000, n * 13 % 997);
        text += line;
        if (n % 5000 == 4999) text += "zanzibar\r\n";
    }
    return text;
}

long long LongestLine(HWND ed) {
    long long longest = 0;
    const long long lines = editor::LineCount(ed);
    for (long long line = 0; line < lines; ++line)
        longest = std::max<long long>(longest, editor::Send(ed, editor::kLineLength, static_cast<WPARAM>(line)));
    return longest;
}

// The questions the status bar asks per caret move, over and over.
long long CaretQuestions(HWND ed) {
    long long sum = 0;
    for (int i = 0; i < 20000; ++i) {
        const long long caret = editor::Send(ed, editor::kGetCurrentPos);
        sum += editor::Send(ed, editor::kLineFromPosition, static_cast<WPARAM>(caret));
        sum += editor::Send(ed, editor::kGetColumn, static_cast<WPARAM>(caret));
        sum += editor::Send(ed, editor::kGetSelectionEnd) - editor::Send(ed, editor::kGetSelectionStart);
    }
    return sum;
}

long long FindAll(HWND ed, const char* word) {
    std::vector<SearchHit> hits;
    CollectEditorHits(ed, word, 0, 0, HitSource{}, hits);
    return static_cast<long long>(hits.size());
}

template <typename Loop>
double Time(HWND ed, Loop loop, long long& result) {
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        result = loop(ed);
        runs.push_back(Milliseconds(start));
    }
    return Median(runs);
}

}  // namespace

int wmain() {
    if (!LoadComponentBesideBuild()) return 1;
    HWND viaMessages =
        CreateWindowExW(0, L"Scintilla", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    HWND direct = editor::Create(nullptr, WS_POPUP, 0, GetModuleHandleW(nullptr));
    if (!viaMessages || !direct) {
        std::printf("cannot create the component windows\n");
        return 1;
    }
    const std::string text = Text();
    for (HWND ed : {viaMessages, direct}) {
        editor::Send(ed, editor::kSetCodePage, 65001);
        editor::SetText(ed, text);
    }
    std::printf("%.1f MiB, %lld lines\n", text.size() / 1048576.0, editor::LineCount(direct));
    std::printf("%-34s %12s %12s %8s\n", "loop", "message ms", "direct ms", "ratio");
    const struct {
        const char* name;
        long long (*loop)(HWND);
    } loops[] = {
        {"longest line (LINELENGTH per line)", LongestLine},
        {"status questions x 20,000", CaretQuestions},
        {"find all: rare word", [](HWND ed) { return FindAll(ed, "zanzibar"); }},
        {"find all: word on every line", [](HWND ed) { return FindAll(ed, "INFO"); }},
    };
    for (const auto& l : loops) {
        long long a = 0, b = 0;
        const double slow = Time(viaMessages, l.loop, a);
        const double fast = Time(direct, l.loop, b);
        std::printf("%-34s %12.2f %12.2f %7.1fx%s\n", l.name, slow, fast, slow / fast, a == b ? "" : "  (results differ!)");
    }
    DestroyWindow(viaMessages);
    editor::Destroy(direct);
    return 0;
}

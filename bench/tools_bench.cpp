// What the tool commands cost on large selections: Toggle Comment over 100,000 selected lines (and
// that one undo reverts it), Expand and Shrink Selection on a 100 MiB document.
//   wine build/bench/bench_tools.exe
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "bench_util.h"
#include "base/app_state.h"
#include "base/editor.h"
#include "document/document.h"
#include "tools/editor_tools.h"

namespace {

constexpr UINT kCanUndo = 2174;

double Ms(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

HWND NewTab(const std::string& text, int language) {
    Document doc;
    doc.editor = CreateWindowExW(0, L"Scintilla", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    doc.language = language;
    editor::Send(doc.editor, editor::kSetCodePage, 65001);
    editor::SetText(doc.editor, text);
    editor::Send(doc.editor, editor::kEmptyUndoBuffer);
    documents.clear();
    documents.push_back(std::move(doc));
    app.activeTab = 0;
    return documents[0].editor;
}

std::string Lines(size_t count, const std::string& line) {
    std::string text;
    text.reserve(count * line.size());
    for (size_t i = 0; i < count; ++i) text += line;
    return text;
}

}  // namespace

int wmain() {
    if (!LoadComponentBesideBuild()) return 1;
    for (int run = 0; run < 3; ++run) {
        HWND ed = NewTab(Lines(100000, "    int total = values[i] * weight;\r\n"), 1);
        editor::Send(ed, editor::kSelectAll);
        auto start = std::chrono::steady_clock::now();
        ToggleComment();
        const double commentMs = Ms(start);
        editor::Send(ed, editor::kUndo);
        std::printf("Toggle Comment, 100,000 lines: %7.1f ms; after one undo more to undo: %s\n", commentMs,
                    editor::Send(ed, kCanUndo) ? "yes" : "no");

        ed = NewTab(Lines(100 * 1024 * 1024 / 32, "alpha beta gamma delta epsilon\r\n"), 0);
        editor::Send(ed, editor::kSetSel, 40, 40);
        start = std::chrono::steady_clock::now();
        ExpandSelectionCommand();  // word
        ExpandSelectionCommand();  // line
        ExpandSelectionCommand();  // all
        const double expandMs = Ms(start);
        start = std::chrono::steady_clock::now();
        ShrinkSelectionCommand();
        ShrinkSelectionCommand();
        ShrinkSelectionCommand();
        const double shrinkMs = Ms(start);
        std::printf("100 MiB: Expand x3 %6.2f ms, Shrink x3 %6.2f ms\n", expandMs, shrinkMs);
    }
    documents.clear();
    return 0;
}

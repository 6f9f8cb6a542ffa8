// What a crash-recovery snapshot costs: copying the text out of the editors (the part that runs on
// the interface thread) and writing it (the part a worker thread does), for ten modified tabs of
// 1 MiB and for one of 50 MiB.
//   wine build/bench/bench_recovery.exe [folder]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_util.h"
#include "base/editor.h"
#include "base/file_access.h"
#include "persist/recovery_file.h"

namespace {

constexpr size_t kMiB = 1024 * 1024;

double Ms(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void Measure(const std::wstring& dir, int tabs, size_t size) {
    std::string text;
    const std::string line = "int total = values[i] * weight; // \xE4\xB8\xAD\r\n";
    while (text.size() < size) text += line;
    text.resize(size);
    std::vector<HWND> editors;
    for (int i = 0; i < tabs; ++i) {
        HWND ed = CreateWindowExW(0, L"Scintilla", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        editor::Send(ed, editor::kSetCodePage, 65001);
        editor::SetText(ed, text);
        editors.push_back(ed);
    }
    const auto copyStart = std::chrono::steady_clock::now();
    std::vector<std::string> copies;
    std::vector<RecoveryEntry> entries(editors.size());
    for (size_t i = 0; i < editors.size(); ++i) {
        copies.push_back(editor::GetText(editors[i]));
        entries[i].file = L"tab-" + std::to_wstring(i + 1) + L".txt";
    }
    const std::string index = FormatRecoveryIndex(entries);
    const double copyMs = Ms(copyStart);
    const auto writeStart = std::chrono::steady_clock::now();
    for (size_t i = 0; i < copies.size(); ++i) {
        AtomicWriteBytes(dir + entries[i].file, copies[i].data(), copies[i].size(), false);
    }
    AtomicWriteBytes(dir + L"recovery.json", index.data(), index.size(), false);
    const double writeMs = Ms(writeStart);
    std::printf("%2d tab(s) of %3zu MiB: interface thread (copy out + index) %7.1f ms, worker (write) %7.1f ms\n", tabs,
                size / kMiB, copyMs, writeMs);
    for (size_t i = 0; i < copies.size(); ++i) DeleteFileW((dir + entries[i].file).c_str());
    DeleteFileW((dir + L"recovery.json").c_str());
    for (HWND ed : editors) DestroyWindow(ed);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring dir = argc > 1 ? std::wstring(argv[1]) + L"\\" : TempFolder();
    if (!LoadComponentBesideBuild()) return 1;
    for (int run = 0; run < 3; ++run) {
        Measure(dir, 10, kMiB);
        Measure(dir, 1, 50 * kMiB);
    }
    return 0;
}

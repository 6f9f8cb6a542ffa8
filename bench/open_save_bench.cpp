// Opening and saving a 200 MiB file: the streamed UTF-8 path, the mapped hex path and the atomic
// save, each beside the plain read or write of the same bytes, in one run.
//   wine build/bench/bench_open_save.exe [folder]
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/editor.h"
#include "document/document.h"
#include "io/file_access.h"
#include "io/open.h"

namespace {

constexpr uint64_t kMiB = 1024 * 1024;

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double PeakMiB() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / kMiB;
}

void WriteFileOfSize(const std::wstring& path, uint64_t size, bool text) {
    std::string block;
    const std::string line = "for (int i = 0; i < count; ++i) total += values[i] * weight; // \xE4\xB8\xAD\r\n";
    while (block.size() < kMiB) block += text ? line : std::string("\x00\x01\x02\xFF", 4);
    block.resize(kMiB);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    for (uint64_t done = 0; done < size; done += kMiB) {
        DWORD written = 0;
        WriteFile(file, block.data(), static_cast<DWORD>(kMiB), &written, nullptr);
    }
    CloseHandle(file);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = argc > 1 ? std::wstring(argv[1]) + L"\\" : std::wstring(temp);
    const std::wstring textPath = dir + L"tessary-bench-text.txt";
    const std::wstring binPath = dir + L"tessary-bench-binary.bin";
    const std::wstring hugePath = dir + L"tessary-bench-1gib.bin";
    const uint64_t size = 200 * kMiB;

    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring dll(module);
    dll.resize(dll.find_last_of(L'\\'));
    dll.resize(dll.find_last_of(L'\\') + 1);
    if (!editor::LoadComponent(dll + L"SciLexer.dll")) {
        std::printf("SciLexer.dll not found beside the build folder\n");
        return 1;
    }
    WriteFileOfSize(textPath, size, true);
    WriteFileOfSize(binPath, size, false);
    WriteFileOfSize(hugePath, 1024 * kMiB, false);
    std::printf("files: 200 MiB UTF-8 text, 200 MiB binary, 1 GiB binary\n");

    // Streamed open, as a tab does it: no undo, no modification events, null lexer.
    HWND ed = CreateWindowExW(0, L"Scintilla", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    PrepareLargeDocument(ed, size);
    editor::Send(ed, editor::kSetUndoCollection, 0);
    editor::Send(ed, editor::kSetModEventMask, 0);
    const double before = PeakMiB();
    auto start = std::chrono::steady_clock::now();
    uint32_t encoding = 0, lineEnding = 0;
    const bool ok = LoadLargeUtf8(ed, textPath, size, encoding, lineEnding);
    const double streamed = Seconds(start);
    const double peak = PeakMiB();
    std::printf("streamed open:  %s, %.2f s, %.0f MB/s, peak working set %.0f MiB (%.2fx the file; %.0f MiB before)\n",
                ok ? "ok" : "FAILED", streamed, size / 1e6 / streamed, peak, peak / (size / double(kMiB)), before);

    start = std::chrono::steady_clock::now();
    std::vector<uint8_t> bytes = ReadAllBytes(textPath);
    const double readAll = Seconds(start);
    std::printf("plain read:     %.2f s, %.0f MB/s (streamed open takes %.1fx as long)\n", readAll,
                size / 1e6 / readAll, streamed / readAll);

    for (const std::wstring& path : {binPath, hugePath}) {
        Document doc;
        start = std::chrono::steady_clock::now();
        const bool mapped = MapForHex(doc, path);
        std::printf("mapped open:    %s, %.2f ms for %.0f MiB\n", mapped ? "ok" : "FAILED", Seconds(start) * 1000,
                    doc.mapSize / double(kMiB));
        ReleaseMapping(doc);
    }

    const std::wstring savePath = dir + L"tessary-bench-save.txt";
    start = std::chrono::steady_clock::now();
    const bool saved = AtomicWriteBytes(savePath, bytes.data(), bytes.size(), false);
    const double atomic = Seconds(start);
    start = std::chrono::steady_clock::now();
    HANDLE file = CreateFileW((savePath + L".raw").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    WriteAll(file, bytes.data(), bytes.size());
    CloseHandle(file);
    const double raw = Seconds(start);
    std::printf("atomic save:    %s, %.2f s, %.0f MB/s; raw write %.2f s, %.0f MB/s (ratio %.2f)\n",
                saved ? "ok" : "FAILED", atomic, size / 1e6 / atomic, raw, size / 1e6 / raw, raw / atomic);

    DestroyWindow(ed);
    for (const std::wstring& path : {textPath, binPath, hugePath, savePath, savePath + L".raw"})
        DeleteFileW(path.c_str());
    return 0;
}

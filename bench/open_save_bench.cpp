// Where the time of opening and saving a large UTF-8 file goes, phase by phase, in one process:
// reading, scanning, appending into the component (with and without its line indexing), the whole
// streamed open as a tab does it, and the save beside a raw write of the same bytes.
//   wine build/bench/bench_open_save.exe [folder] [MiB ...]     (default: the temporary folder; 200 1024)
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "app/editor.h"
#include "document/document.h"
#include "io/encoding.h"
#include "io/file_access.h"
#include "io/open.h"

namespace {

constexpr uint64_t kMiB = 1024 * 1024;

using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double PeakMiB() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / kMiB;
}

// 1,000-line CRLF blocks with one line in twenty of CJK text, as the end-to-end benchmark makes.
void WriteTextFile(const std::wstring& path, uint64_t size) {
    std::string block;
    for (int n = 0; n < 1000; ++n) {
        if (n % 20 == 7)
            block += "    // \xE4\xB8\xAD\xE6\x96\x87\xE6\xB3\xA8\xE9\x87\x8A\xEF\xBC\x9A\xE8\xAE\xA1\xE7\xAE\x97 " +
                     std::to_string(n);
        else
            block += "    total += values[" + std::to_string(n) +
                     "] * weight; if (total > limit) return clamp(total, " + std::to_string(n) + ");";
        block += "\r\n";
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    uint64_t done = 0;
    DWORD written = 0;
    for (; done + block.size() <= size; done += block.size())
        WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
    const std::string pad(static_cast<size_t>(size - done), 'x');
    WriteFile(file, pad.data(), static_cast<DWORD>(pad.size()), &written, nullptr);
    CloseHandle(file);
}

HWND NewEditor() {
    HWND ed = CreateWindowExW(0, L"Scintilla", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    editor::Send(ed, editor::kSetCodePage, 65001);
    return ed;
}

// The editor as a tab prepares it for a large file.
HWND LargeEditor(uint64_t size) {
    HWND ed = NewEditor();
    PrepareLargeDocument(ed, size);
    editor::Send(ed, editor::kSetUndoCollection, 0);
    editor::Send(ed, editor::kSetModEventMask, 0);
    return ed;
}

// Calls `each(data, length)` for every 16 MiB chunk of the file; returns the seconds spent reading.
template <typename Each>
double ForEachChunk(const std::wstring& path, Each each) {
    HANDLE file = OpenForReading(path, FILE_FLAG_SEQUENTIAL_SCAN);
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[kChunkSize]);
    double reading = 0;
    for (;;) {
        const auto start = Clock::now();
        DWORD got = 0;
        if (!ReadFile(file, buffer.get(), static_cast<DWORD>(kChunkSize), &got, nullptr) || got == 0) break;
        reading += Seconds(start);
        each(buffer.get(), static_cast<size_t>(got));
    }
    CloseHandle(file);
    return reading;
}

struct Row {
    const char* name;
    double seconds;
};

void Print(uint64_t size, const Row& row) {
    std::printf("  %-44s %7.2f s  %6.0f MB/s\n", row.name, row.seconds, size / 1e6 / row.seconds);
}

void Measure(const std::wstring& dir, uint64_t mib) {
    const uint64_t size = mib * kMiB;
    const std::wstring path = dir + L"tessary-bench-" + std::to_wstring(mib) + L".txt";
    WriteTextFile(path, size);
    std::printf("%llu MiB of UTF-8 text, CRLF, 5 %% CJK lines\n", static_cast<unsigned long long>(mib));

    // Phases on their own.
    std::vector<Row> rows;
    rows.push_back({"read (16 MiB chunks)", ForEachChunk(path, [](const uint8_t*, size_t) {})});
    double scan = 0;
    Utf8ScanState state;
    ForEachChunk(path, [&](const uint8_t* data, size_t length) {
        const auto start = Clock::now();
        ScanUtf8Chunk(state, data, length);
        scan += Seconds(start);
    });
    const Utf8Scan scanned = FinishUtf8Scan(state);
    rows.push_back({"scan: ScanUtf8Chunk", scan});
    for (const bool breaks : {true, false}) {
        HWND ed = LargeEditor(size);
        auto start = Clock::now();
        editor::Send(ed, editor::kAllocate, static_cast<WPARAM>(LargeTextRoom(size)));
        const double allocate = Seconds(start);
        double append = 0;
        std::string blanked;
        ForEachChunk(path, [&](const uint8_t* data, size_t length) {
            const char* text = reinterpret_cast<const char*>(data);
            if (!breaks) {
                blanked.assign(text, length);
                for (char& c : blanked)
                    if (c == '\r' || c == '\n') c = ' ';
                text = blanked.data();
            }
            const auto begin = Clock::now();
            editor::AddText(ed, text, length);
            append += Seconds(begin);
        });
        if (breaks) {
            rows.push_back({"allocate the component's buffer", allocate});
            rows.push_back({"append, with line indexing", append});
        } else {
            rows.push_back({"append of the same text without line breaks", append});
        }
        DestroyWindow(ed);
    }
    for (const Row& row : rows) Print(size, row);
    std::printf("  (line breaks: %llu CRLF, %llu LF, %llu CR; valid %d)\n",
                static_cast<unsigned long long>(scanned.breaks.crlf),
                static_cast<unsigned long long>(scanned.breaks.lf), static_cast<unsigned long long>(scanned.breaks.cr),
                scanned.valid);

    // The whole streamed open as a tab does it.
    HWND ed = LargeEditor(size);
    const double before = PeakMiB();
    auto start = Clock::now();
    uint32_t encoding = 0, lineEnding = 0;
    const bool ok = LoadLargeUtf8(ed, path, size, encoding, lineEnding);
    const Row open{"LoadLargeUtf8 (the whole streamed open)", Seconds(start)};
    Print(size, open);
    std::printf("    %s; peak working set %.0f MiB (%.0f MiB before)\n", ok ? "ok" : "FAILED", PeakMiB(), before);

    // Saving that text, as the program does, beside a raw write of the same bytes.
    const std::wstring savePath = dir + L"tessary-bench-save.txt";
    start = Clock::now();
    const std::string text = editor::GetText(ed);
    const std::wstring wide = Utf8ToWide(text);
    const bool saved = AtomicWriteBytes(savePath, text.data(), text.size(), false);
    const Row save{"save (copy out, wide copy, atomic write)", Seconds(start)};
    start = Clock::now();
    HANDLE file = CreateFileW((savePath + L".raw").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    WriteAll(file, text.data(), text.size());
    FlushFileBuffers(file);
    CloseHandle(file);
    const Row raw{"raw write of the same bytes (with flush)", Seconds(start)};
    Print(size, save);
    Print(size, raw);
    std::printf("    %s; save/raw throughput %.2f; peak working set %.0f MiB\n", saved ? "ok" : "FAILED",
                raw.seconds / save.seconds, PeakMiB());
    (void)wide;
    DestroyWindow(ed);
    for (const std::wstring& p : {path, savePath, savePath + L".raw"}) DeleteFileW(p.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring dir(temp);
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring dll(module);
    dll.resize(dll.find_last_of(L'\\'));
    dll.resize(dll.find_last_of(L'\\') + 1);
    if (!editor::LoadComponent(dll + L"SciLexer.dll")) {
        std::printf("SciLexer.dll not found beside the build folder\n");
        return 1;
    }
    std::vector<uint64_t> sizes;
    for (int i = 1; i < argc; ++i) {
        if (iswdigit(argv[i][0]))
            sizes.push_back(std::wcstoull(argv[i], nullptr, 10));
        else
            dir = std::wstring(argv[i]) + L"\\";
    }
    if (sizes.empty()) sizes = {200, 1024};
    for (uint64_t mib : sizes) Measure(dir, mib);
    return 0;
}

// Where the time of opening and saving a large UTF-8 file goes, phase by phase, in one process:
// reading, scanning, making room in the component and appending into it (with and without its
// line indexing), the whole streamed open as a tab does it, and saves beside a raw write of the
// same bytes. Each phase shows its wall time and the CPU time of the thread (less disturbed when
// other work shares the machine).
//   wine build/bench/bench_open_save.exe [folder] [MiB ...]     (default: the temporary folder; 200 1024)
// Exits with 1 when the open or a save fails or the UTF-8 save does not give back the file's bytes
// (1 MiB checks that in seconds).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "bench_util.h"
#include "base/editor.h"
#include "base/encoding.h"
#include "base/file_access.h"
#include "io/open.h"

namespace {

constexpr uint64_t kMiB = 1024 * 1024;

using Clock = std::chrono::steady_clock;

double ThreadCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto value = [](const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(value(kernel) + value(user)) / 1e7;
}

struct Phase {
    double wall = 0, cpu = 0;
};

// Runs `work` and adds its wall and CPU time to `phase`.
template <typename Work>
void Time(Phase& phase, Work work) {
    const auto start = Clock::now();
    const double cpu = ThreadCpuSeconds();
    work();
    phase.wall += std::chrono::duration<double>(Clock::now() - start).count();
    phase.cpu += ThreadCpuSeconds() - cpu;
}

uint64_t WorkingSet(bool peak) {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize;
}

double MiB(uint64_t bytes) { return static_cast<double>(bytes) / kMiB; }

void Print(uint64_t size, const char* name, const Phase& phase) {
    std::printf("  %-46s %7.2f s %6.0f MB/s   cpu %6.2f s\n", name, phase.wall, size / 1e6 / phase.wall, phase.cpu);
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

// An editor prepared as a tab prepares it for a large file.
HWND LargeEditor(uint64_t size) {
    HWND ed = CreateWindowExW(0, L"Scintilla", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    editor::Send(ed, editor::kSetCodePage, 65001);
    PrepareLargeDocument(ed, size);
    editor::Send(ed, editor::kSetUndoCollection, 0);
    editor::Send(ed, editor::kSetModEventMask, 0);
    return ed;
}

// Calls `each(data, length)` for every 16 MiB chunk of the file; the reading is timed into `read`.
template <typename Each>
void ForEachChunk(const std::wstring& path, Phase& read, Each each) {
    HANDLE file = OpenForReading(path, FILE_FLAG_SEQUENTIAL_SCAN);
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[kChunkSize]);
    for (;;) {
        DWORD got = 0;
        bool ok = false;
        Time(read,
             [&] { ok = ReadFile(file, buffer.get(), static_cast<DWORD>(kChunkSize), &got, nullptr) && got > 0; });
        if (!ok) break;
        each(buffer.get(), static_cast<size_t>(got));
    }
    CloseHandle(file);
}

// Saves the editor's text as a tab does; returns the highest working set seen between pieces.
uint64_t Save(HWND ed, const std::wstring& path, uint32_t encoding, bool& ok) {
    const auto length = static_cast<uint64_t>(editor::Length(ed));
    uint64_t highest = 0;
    LineBreakCounts breaks;
    ok = AtomicWriteStream(path, ByteOrderMark(encoding), [&](const ByteSink& sink) {
        return EncodeEditorText(
            length, encoding,
            [ed](uint64_t offset, size_t size) {
                return editor::RangePointer(ed, static_cast<long long>(offset), static_cast<long long>(size));
            },
            [&](const char* data, size_t size) {
                highest = std::max(highest, WorkingSet(false));
                return sink(data, size);
            },
            breaks);
    });
    return highest;
}

// Whether two files hold the same bytes.
bool SameFileBytes(const std::wstring& a, const std::wstring& b) {
    HANDLE fa = OpenForReading(a, FILE_FLAG_SEQUENTIAL_SCAN), fb = OpenForReading(b, FILE_FLAG_SEQUENTIAL_SCAN);
    bool same = fa != INVALID_HANDLE_VALUE && fb != INVALID_HANDLE_VALUE;
    std::vector<uint8_t> ba(kMiB), bb(kMiB);
    for (DWORD ga = 1; same && ga > 0;) {
        DWORD gb = 0;
        same = ReadFile(fa, ba.data(), static_cast<DWORD>(kMiB), &ga, nullptr) &&
               ReadFile(fb, bb.data(), static_cast<DWORD>(kMiB), &gb, nullptr) && ga == gb &&
               std::equal(ba.begin(), ba.begin() + ga, bb.begin());
    }
    if (fa != INVALID_HANDLE_VALUE) CloseHandle(fa);
    if (fb != INVALID_HANDLE_VALUE) CloseHandle(fb);
    return same;
}

// Returns whether the open and both saves worked and the UTF-8 save wrote the file's bytes again.
bool Measure(const std::wstring& dir, uint64_t mib) {
    const uint64_t size = mib * kMiB;
    const std::wstring path = dir + L"tessary-bench-" + std::to_wstring(mib) + L".txt";
    WriteTextFile(path, size);
    std::printf("%llu MiB of UTF-8 text, CRLF, 5 %% CJK lines\n", static_cast<unsigned long long>(mib));

    // Each phase on its own.
    Phase read, scan;
    Utf8ScanState state;
    ForEachChunk(path, read,
                 [&](const uint8_t* data, size_t length) { Time(scan, [&] { ScanUtf8Chunk(state, data, length); }); });
    const Utf8Scan scanned = FinishUtf8Scan(state);
    Print(size, "read (16 MiB chunks)", read);
    Print(size, "scan: ScanUtf8Chunk", scan);
    for (const bool breaks : {true, false}) {
        HWND ed = LargeEditor(size);
        Phase room, append, unused;
        Time(room, [&] {
            editor::Send(ed, editor::kAllocate, static_cast<WPARAM>(LargeTextRoom(size)));
            const uint64_t lines = scanned.breaks.crlf + scanned.breaks.lf + scanned.breaks.cr;
            editor::Send(ed, editor::kAllocateLines, static_cast<WPARAM>(LargeTextLines(size, size, lines)));
        });
        std::string blanked;
        ForEachChunk(path, unused, [&](const uint8_t* data, size_t length) {
            const char* text = reinterpret_cast<const char*>(data);
            if (!breaks) {
                blanked.assign(text, length);
                std::replace(blanked.begin(), blanked.end(), '\r', ' ');
                std::replace(blanked.begin(), blanked.end(), '\n', ' ');
                text = blanked.data();
            }
            Time(append, [&] { editor::AddText(ed, text, length); });
        });
        if (breaks) {
            Print(size, "room for text and lines (SCI_ALLOCATE...)", room);
            Print(size, "append (copy, line-end search, line index)", append);
        } else {
            Print(size, "append of the same text without line breaks", append);
        }
        DestroyWindow(ed);
    }
    std::printf("  (line breaks: %llu CRLF, %llu LF, %llu CR; valid %d)\n",
                static_cast<unsigned long long>(scanned.breaks.crlf),
                static_cast<unsigned long long>(scanned.breaks.lf), static_cast<unsigned long long>(scanned.breaks.cr),
                scanned.valid);

    // The whole streamed open as a tab does it.
    HWND ed = LargeEditor(size);
    const uint64_t before = WorkingSet(false);
    Phase open;
    uint32_t encoding = 0, lineEnding = 0;
    bool ok = false;
    Time(open, [&] { ok = LoadLargeUtf8(ed, path, size, encoding, lineEnding); });
    Print(size, "LoadLargeUtf8 (the whole streamed open)", open);
    const uint64_t opened = WorkingSet(false);
    std::printf("    %s; working set %.0f MiB (%.0f MiB before: %.2fx the file)\n", ok ? "ok" : "FAILED", MiB(opened),
                MiB(before), (opened - before) / double(size));
    bool allOk = ok;

    // Saves as a tab makes them, beside a raw write of the same bytes from the same buffer.
    const std::wstring savePath = dir + L"tessary-bench-save.txt";
    for (const uint32_t enc : {kEncUtf8, kEncUtf16Le}) {
        Phase save;
        uint64_t highest = 0;
        Time(save, [&] { highest = Save(ed, savePath, enc, ok); });
        Print(size,
              enc == kEncUtf8 ? "save as UTF-8 (pieces of the component's buffer)"
                              : "save as UTF-16 LE (converted piece by piece)",
              save);
        if (ok && enc == kEncUtf8) ok = SameFileBytes(path, savePath);
        allOk = allOk && ok;
        std::printf("    %s; highest working set during the save %.0f MiB (+%.2fx the file)\n", ok ? "ok" : "FAILED",
                    MiB(highest), (static_cast<double>(highest) - opened) / size);
        if (enc == kEncUtf8) {
            Phase raw;
            Time(raw, [&] {
                HANDLE file =
                    CreateFileW((savePath + L".raw").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
                const auto length = static_cast<uint64_t>(editor::Length(ed));
                for (uint64_t done = 0; done < length; done += kChunkSize) {
                    const auto piece = std::min<uint64_t>(kChunkSize, length - done);
                    WriteAll(file,
                             editor::RangePointer(ed, static_cast<long long>(done), static_cast<long long>(piece)),
                             piece);
                }
                FlushFileBuffers(file);
                CloseHandle(file);
            });
            Print(size, "raw write of the same bytes (with flush)", raw);
            std::printf("    save/raw throughput %.2f\n", raw.wall / save.wall);
        }
    }
    std::printf("  peak working set of the run %.0f MiB\n", MiB(WorkingSet(true)));
    DestroyWindow(ed);
    for (const std::wstring& p : {path, savePath, savePath + L".raw"}) DeleteFileW(p.c_str());
    return allOk;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring dir = TempFolder();
    if (!LoadComponentBesideBuild()) return 1;
    std::vector<uint64_t> sizes;
    for (int i = 1; i < argc; ++i) {
        if (std::iswdigit(argv[i][0]))
            sizes.push_back(std::wcstoull(argv[i], nullptr, 10));
        else
            dir = std::wstring(argv[i]) + L"\\";
    }
    if (sizes.empty()) sizes = {200, 1024};
    bool allOk = true;
    for (uint64_t mib : sizes) allOk = Measure(dir, mib) && allOk;
    return allOk ? 0 : 1;
}

// The hex view over a huge file, in one process: a sparse generated file (4 GiB by default) opened
// the way a tab opens it, End and the rows it shows, a screen of rows painted into a memory DC by
// the window's own painting function, and one patched byte saved over the file, beside a raw copy
// of the same file with the same buffer size in the same run. Memory (working set and private
// bytes) is shown after each step. The file and the copy are deleted at the end; the size shrinks
// to what the disk can hold twice over (the copy and the save's temporary file) when it must.
//   wine build/bench/bench_hex.exe [folder] [MiB]     (default: the temporary folder; 4096)
// Exits with 1 when the save fails or the saved byte is not the one typed (16 MiB checks that in
// seconds).
#include <windows.h>
#include <psapi.h>
#include <winioctl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "bench_util.h"
#include "base/app_state.h"
#include "base/editor.h"
#include "document/document.h"
#include "base/file_access.h"
#include "io/open.h"
#include "io/save.h"
#include "document/hex_model.h"
#include "views/hex_view.h"

namespace {

constexpr uint64_t kMiB = 1024 * 1024;
using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point start) { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); }

void PrintMemory(const char* when) {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    std::printf(
        "  memory %-24s working set %6.1f MiB (peak %6.1f), private %6.1f MiB (peak %6.1f)\n", when,
        static_cast<double>(counters.WorkingSetSize) / kMiB, static_cast<double>(counters.PeakWorkingSetSize) / kMiB,
        static_cast<double>(counters.PagefileUsage) / kMiB, static_cast<double>(counters.PeakPagefileUsage) / kMiB);
}

// A sparse file of `size` bytes: a few marked bytes at the start (not UTF-8, so it opens in hex),
// in the middle and at the end, zeros in between that take no disk space.
bool MakeSparseFile(const std::wstring& path, uint64_t size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD ignored = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    bool ok = true;
    for (const uint64_t at : {uint64_t{0}, size / 2, size - 16}) {
        static const char kMark[16] = {'\x7F', 'H', 'E', 'X', '\xFF', '\xFE', 0, 1, 2, 3, 4, 5, 6, 7, 8, '\x80'};
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(at);
        DWORD written = 0;
        ok = ok && SetFilePointerEx(file, to, nullptr, FILE_BEGIN) &&
             WriteFile(file, kMark, sizeof kMark, &written, nullptr) && written == sizeof kMark;
    }
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    ok = ok && SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

// What a plain copy of the file costs: reads and writes of the save's chunk size, then a flush.
double RawCopySeconds(const std::wstring& from, const std::wstring& to) {
    const auto start = Clock::now();
    HANDLE in = OpenForReading(from, FILE_FLAG_SEQUENTIAL_SCAN);
    HANDLE out = CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[kChunkSize]);
    bool ok = in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE;
    for (DWORD got = 1; ok && got > 0;) {
        ok = ReadFile(in, buffer.get(), static_cast<DWORD>(kChunkSize), &got, nullptr) &&
             (got == 0 || WriteAll(out, buffer.get(), got));
    }
    ok = ok && FlushFileBuffers(out);
    if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    return ok ? std::chrono::duration<double>(Clock::now() - start).count() : -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring dir = TempFolder();
    uint64_t mib = 4096;
    for (int i = 1; i < argc; ++i) {
        if (std::iswdigit(argv[i][0]))
            mib = std::wcstoull(argv[i], nullptr, 10);
        else
            dir = std::wstring(argv[i]) + L"\\";
    }
    if (!LoadComponentBesideBuild()) return 1;

    // The copy and the save's temporary file each take the whole size; 1 GiB stays free.
    ULARGE_INTEGER freeBytes{};
    GetDiskFreeSpaceExW(dir.c_str(), &freeBytes, nullptr, nullptr);
    const uint64_t fits = freeBytes.QuadPart > (1024 * kMiB) ? (freeBytes.QuadPart - 1024 * kMiB) / 2 / kMiB : 0;
    std::printf("hex view, %llu MiB file in %ls (%.1f GiB free)\n", static_cast<unsigned long long>(mib), dir.c_str(),
                static_cast<double>(freeBytes.QuadPart) / (1024 * kMiB));
    if (fits < mib) {
        std::printf("  the disk holds only %llu MiB twice over: measuring that size instead\n",
                    static_cast<unsigned long long>(fits));
        mib = fits;
    }
    if (mib == 0) return 1;
    const uint64_t size = mib * kMiB;
    const std::wstring path = dir + L"tessary hex bench.bin", copy = path + L".raw";
    if (!MakeSparseFile(path, size)) {
        std::printf("  cannot make %ls\n", path.c_str());
        return 1;
    }

    // The main window's stand-ins: the font and the window the cell is measured with, the editor
    // area, and the tab with its (hidden) editor.
    app.mainWindow = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1280, 1024, nullptr, nullptr, nullptr, nullptr);
    app.monoFont =
        CreateFontW(-15, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, FIXED_PITCH | FF_MODERN, L"Consolas");
    app.rects.editor = Rect{0, 0, 1000, 900};
    documents.emplace_back();
    app.activeTab = 0;
    Document& doc = documents[0];
    doc.path = path;
    doc.editor = CreateWindowExW(0, L"Scintilla", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    PrintMemory("before opening");

    auto start = Clock::now();
    std::wstring error;
    const LoadOutcome outcome = LoadIntoTab(0, path, error);
    const double openMs = Ms(start);
    if (outcome != LoadOutcome::HexMapped) {
        std::printf("  the file did not open as mapped bytes\n");
        return 1;
    }
    std::printf("  open in hex (mapped)            %8.2f ms\n", openMs);
    PrintMemory("after opening");

    // A screen of rows into a memory DC, as the window paints it.
    HDC screen = GetDC(app.mainWindow);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 1000, 900);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    PaintHexView(dc);  // measures the cell once, as the first paint of the window does
    const SIZE cell = [&] {
        SIZE s{};
        HGDIOBJ old = SelectObject(dc, app.monoFont);
        GetTextExtentPoint32W(dc, L"M", 1, &s);
        SelectObject(dc, old);
        return s;
    }();
    const int64_t visibleRows = app.rects.editor.Height() / (cell.cy + 2);

    start = Clock::now();
    HexMoveCaret(doc, HexMove::End);
    doc.hexTopRow = HexTopRowShowingCaret(doc, visibleRows);
    bool ok = true;
    const HexColumns columns = HexColumnsFor(HexSize(doc));
    const std::vector<HexRowText> rows =
        FormatHexRows(doc, static_cast<uint64_t>(doc.hexTopRow), static_cast<uint64_t>(visibleRows), columns, ok);
    const HexRowText last = rows.empty() ? HexRowText{} : rows.back();
    const double endMs = Ms(start);
    std::printf("  End: caret, top row, %lld rows   %8.2f ms   (last row %ls %ls)\n",
                static_cast<long long>(visibleRows), endMs, last.offset.c_str(), last.hex.c_str());

    constexpr int kPaints = 20;
    start = Clock::now();
    for (int i = 0; i < kPaints; ++i) PaintHexView(dc);
    std::printf("  paint %lld rows into a memory DC %8.2f ms each (of %d)\n", static_cast<long long>(visibleRows),
                Ms(start) / kPaints, kPaints);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(app.mainWindow, screen);
    PrintMemory("after End and painting");

    const double rawSeconds = RawCopySeconds(path, copy);
    DeleteFileW(copy.c_str());
    std::printf("  raw copy, 16 MiB reads/writes   %8.2f s    %6.0f MB/s\n", rawSeconds, size / 1e6 / rawSeconds);

    doc.hexCaret = static_cast<int64_t>(size / 3);
    doc.hexCaretLowNibble = 0;
    HexTypeDigit(doc, L'4');
    start = Clock::now();
    bool unreadable = false;
    bool saved = SaveMappedHex(path, doc, &unreadable);
    const double saveSeconds = Ms(start) / 1000;
    std::printf("  patch one byte and save        %8.2f s    %6.0f MB/s   %s, %.0f %% of the raw copy"
                " (the encoding check included)\n",
                saveSeconds, size / 1e6 / saveSeconds, saved ? "saved" : "FAILED", 100 * rawSeconds / saveSeconds);
    PrintMemory("after saving");
    // The baseline: the encoding found by a second pass over the saved file, as saves did before
    // the check rode along in the copy.
    const int savedEncoding = doc.encoding, savedLineEnding = doc.lineEnding;
    start = Clock::now();
    DetectHexEncoding(doc);
    const double passSeconds = Ms(start) / 1000;
    std::printf("  a second pass for the encoding  %8.2f s    (save and second pass: %.0f %% of the raw copy)\n",
                passSeconds, 100 * rawSeconds / (saveSeconds + passSeconds));
    if (doc.encoding != savedEncoding || doc.lineEnding != savedLineEnding) {
        std::printf("  the save found encoding %d / line ending %d, the second pass %d / %d: WRONG\n", savedEncoding,
                    savedLineEnding, doc.encoding, doc.lineEnding);
        saved = false;
    }
    PrintMemory("after the encoding check");

    bool byteOk = false;
    const uint8_t patched = ReadByte(doc, size / 3, &byteOk);
    const bool asTyped = saved && doc.mapped && doc.mapSize == size && byteOk && patched == 0x40;
    std::printf("  byte at %llu after the save: %02X (%s)\n", static_cast<unsigned long long>(size / 3), patched,
                asTyped ? "as typed" : "WRONG");
    ReleaseMapping(doc);
    DestroyWindow(doc.editor);
    documents.clear();
    DeleteFileW(path.c_str());
    DeleteFileW(copy.c_str());
    return asTyped ? 0 : 1;
}

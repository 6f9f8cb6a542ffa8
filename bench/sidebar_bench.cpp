// The folder tree with a folder of 50,000 files: rebuilding its rows (listing and sorting the
// folder) and painting the panel with all of them in the row list. Targets: 100 ms per rebuild,
// 5 ms per paint. The listing is timed on its own too, since it is the system's share.
//   wine build/bench/bench_sidebar.exe [folder]
// The files are made in the folder when it holds fewer than 50,000 entries. Under Wine that takes
// many minutes (each new name is looked up in the whole folder); making them from the shell is
// quicker: cd DIR && for i in $(seq 0 49999); do : >file_$i.txt; done
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_util.h"
#include "base/app_state.h"
#include "project/sidebar.h"

namespace {

constexpr int kFiles = 50000;

double Ms(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void MakeFiles(const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    const wchar_t* endings[] = {L".cpp", L".h", L".txt", L".json", L".py", L".md", L"", L".JSX"};
    for (int i = 0; i < kFiles; ++i) {
        const std::wstring path = folder + L"\\file_" + std::to_wstring((i * 7919) % kFiles) + endings[i % 8];
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring folder = argc > 1 ? std::wstring(argv[1]) : TempFolder() + L"tessary-sidebar-bench";
    std::vector<FolderEntry> existing;
    if (!ListFolder(folder, existing) || existing.size() < kFiles) {
        std::printf("making %d files...\n", kFiles);
        MakeFiles(folder);
    }

    std::vector<double> lists;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        ListFolder(folder, existing);
        lists.push_back(Ms(start));
    }
    std::printf("listing the folder alone, %zu entries: median %.1f ms\n", existing.size(), Median(lists));

    // The program's own share: sorting the listed entries and making the rows.
    std::vector<double> builds;
    size_t rowCount = 0;
    for (int run = 0; run < 7; ++run) {
        const auto start = std::chrono::steady_clock::now();
        rowCount = BuildSidebarRows(folder, {folder}, [&](const std::wstring&, std::vector<FolderEntry>& entries) {
                       entries = existing;
                       return true;
                   }).size();
        builds.push_back(Ms(start));
    }
    std::printf("sorting and making the rows from a listing in memory, %zu rows: median %.1f ms\n", rowCount,
                Median(builds));

    app.folderRoot = folder;
    sidebar.expandedFolders = {folder};
    std::vector<double> rebuilds;
    for (int run = 0; run < 7; ++run) {
        const auto start = std::chrono::steady_clock::now();
        RebuildSidebarRows();
        rebuilds.push_back(Ms(start));
    }
    std::printf("rebuild, %zu rows: median %.1f ms, best %.1f ms (target 100 ms)\n", sidebar.rows.size(),
                Median(rebuilds), *std::min_element(rebuilds.begin(), rebuilds.end()));

    // The panel as it is in the window: 220 x 604 pixels, the interface font.
    const int width = 220, height = 604;
    app.uiFont = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Segoe UI");
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const int range = static_cast<int>(sidebar.rows.size()) * kSidebarRowHeight - height;
    PaintSidebar(dc, width, height);  // the first paint loads the font
    std::vector<double> paints;
    for (int run = 0; run < 200; ++run) {
        sidebar.scroll = static_cast<int>(static_cast<long long>(range) * run / 199);
        sidebar.hoverRow = static_cast<int>(sidebar.scroll / kSidebarRowHeight) + 3;
        const auto start = std::chrono::steady_clock::now();
        PaintSidebar(dc, width, height);
        GdiFlush();
        paints.push_back(Ms(start));
    }
    std::printf("paint with %zu rows: median %.2f ms, worst %.2f ms (target 5 ms)\n", sidebar.rows.size(),
                Median(paints), *std::max_element(paints.begin(), paints.end()));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    DeleteObject(app.uiFont);
    return 0;
}

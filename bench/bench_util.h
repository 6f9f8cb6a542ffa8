#pragma once
// Shared by the benchmarks: the editing component beside the build folder, the temporary folder
// and the median of repeated timings.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/editor.h"

// The benchmarks live in the build folder's bench/ subfolder, the component DLL in the build
// folder; says so on the console when it is not there.
inline bool LoadComponentBesideBuild() {
    wchar_t module[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring dir(module, n);
    dir.resize(dir.find_last_of(L"\\/"));
    dir.resize(dir.find_last_of(L"\\/") + 1);
    if (editor::LoadComponent(dir + L"SciLexer.dll")) return true;
    std::printf("SciLexer.dll not found beside the build folder\n");
    return false;
}

// The temporary folder, ending in a backslash.
inline std::wstring TempFolder() {
    wchar_t temp[MAX_PATH];
    const DWORD n = GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp, n);
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

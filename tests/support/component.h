#pragma once
// For tests that drive real editing-component windows: loads SciLexer.dll from the build folder
// (the test programs live in its tests/ subfolder).
#include <windows.h>

#include <string>

#include "base/editor.h"

inline std::wstring ComponentPath() {
    wchar_t module[4096];
    const DWORD n = GetModuleFileNameW(nullptr, module, 4096);
    std::wstring path(module, n);
    path.resize(path.find_last_of(L"\\/"));      // the tests folder
    path.resize(path.find_last_of(L"\\/") + 1);  // the build folder, where the DLL is
    return path + L"SciLexer.dll";
}

inline bool LoadComponentForTests() { return editor::LoadComponent(ComponentPath()) != nullptr; }

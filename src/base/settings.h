#pragma once
// The editor settings the user chooses, and how many recent files are kept.

#include <string>
#include <vector>

struct Settings {
    int fontSize = 11;
    int tabWidth = 2;
    int zoom = 0;
    bool wordWrap = false;
    int newEnc = 0;
    std::wstring fontFace = L"Consolas";
    std::vector<std::wstring> recent;
};

const size_t kMaxRecentFiles = 10;

#include "tools/build_command.h"

#include <cwctype>

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsAbsolute(const std::wstring& path) {
    if (path.size() >= 3 && std::iswalpha(path[0]) && path[1] == L':' && IsSeparator(path[2])) return true;
    return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// One row per interface language, in Language-menu order.
constexpr const wchar_t* kTexts[][3] = {
#include "tools/build_texts.inc"
};
constexpr int kLanguages = static_cast<int>(sizeof kTexts / sizeof kTexts[0]);
constexpr int kEnglish = 4;

}  // namespace

std::wstring ExePath(const std::wstring& source) {
    const size_t dot = source.find_last_of(L'.');
    const size_t separator = source.find_last_of(L"\\/");
    if (dot != std::wstring::npos && (separator == std::wstring::npos || dot > separator))
        return source.substr(0, dot) + L".exe";
    return source + L".exe";
}

bool IsBuildablePath(const std::wstring& path) {
    if (!IsAbsolute(path)) return false;
    for (wchar_t c : path) {
        if (c < 32 || c == L'%' || c == L'!' || c == L'"') return false;
    }
    return true;
}

std::optional<std::wstring> BuildCommandLine(int language, const std::wstring& source) {
    if (!IsBuildablePath(source)) return std::nullopt;
    const std::wstring src = Quoted(source), exe = Quoted(ExePath(source));
    switch (language) {
        case 1: return L"cmd /c g++ -O2 " + src + L" -o " + exe + L" 2>&1 && " + exe + L" 2>&1";
        case 2: return L"cmd /c csc /nologo /out:" + exe + L" " + src + L" 2>&1 && " + exe + L" 2>&1";
        case 3: return L"cmd /c python " + src + L" 2>&1";
        case 4: return L"cmd /c node " + src + L" 2>&1";
        default: return L"cmd /c type " + src + L" 2>&1";
    }
}

const wchar_t* BuildTextFor(int uiLanguage, BuildText text) {
    if (uiLanguage < 0 || uiLanguage >= kLanguages) uiLanguage = kEnglish;
    return kTexts[uiLanguage][static_cast<int>(text)];
}

size_t OutputCutPoint(const uint8_t* bytes, size_t length) {
    for (size_t i = length; i > 0; --i) {
        if (bytes[i - 1] == '\n') return i;
    }
    return length;
}

#include "tools/build_command.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <vector>

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsAbsolute(const std::wstring& path) {
    if (path.size() >= 3 && std::iswalpha(path[0]) && path[1] == L':' && IsSeparator(path[2])) return true;
    return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::wstring::npos) end = text.size();
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool HasExtension(const std::wstring& name) {
    const size_t dot = name.find_last_of(L'.');
    return dot != std::wstring::npos && dot > 0 && name.find_first_of(L"\\/", dot) == std::wstring::npos;
}

// Names compare as the environment sorts them: case-insensitively, by code unit.
int CompareNames(const std::wstring& a, const std::wstring& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const wchar_t x = std::towupper(a[i]), y = std::towupper(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

constexpr wchar_t kNoCurrentFolderSearch[] = L"NoDefaultCurrentDirectoryInExePath";

// One row per interface language, in Language-menu order.
constexpr const wchar_t* kTexts[][10] = {
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

std::optional<std::wstring> BuildToolName(int language) {
    switch (language) {
        case 1: return L"g++";
        case 2: return L"csc";
        case 3: return L"python";
        case 4: return L"node";
        default: return std::nullopt;
    }
}

std::optional<std::wstring> FindOnPath(const std::wstring& tool, const std::wstring& pathVariable,
                                       const std::wstring& pathExt,
                                       const std::function<bool(const std::wstring&)>& isFile) {
    if (tool.empty() || tool.find_first_of(L"\\/:") != std::wstring::npos) return std::nullopt;
    std::vector<std::wstring> names;
    if (HasExtension(tool)) names.push_back(tool);
    for (const std::wstring& extension : Split(pathExt.empty() ? L".COM;.EXE;.BAT;.CMD" : pathExt, L';')) {
        if (extension.size() > 1 && extension[0] == L'.') names.push_back(tool + extension);
    }
    for (std::wstring folder : Split(pathVariable, L';')) {
        folder.erase(std::remove(folder.begin(), folder.end(), L'"'), folder.end());
        while (!folder.empty() && folder.back() == L' ') folder.pop_back();
        if (!IsAbsolute(folder)) continue;  // also "C:" alone: that drive's current folder
        if (!IsSeparator(folder.back())) folder += L'\\';
        for (const std::wstring& name : names) {
            const std::wstring candidate = folder + name;
            if (IsBuildablePath(candidate) && isFile(candidate)) return candidate;
        }
    }
    return std::nullopt;
}

std::optional<std::wstring> BuildCommandLine(int language, const std::wstring& source, const std::wstring& tool) {
    if (!IsBuildablePath(source)) return std::nullopt;
    const std::wstring src = Quoted(source), exe = Quoted(ExePath(source));
    std::wstring command;
    if (language >= 1 && language <= 4) {
        if (!IsBuildablePath(tool)) return std::nullopt;
        const std::wstring program = Quoted(tool);
        switch (language) {
            case 1: command = program + L" -O2 " + src + L" -o " + exe + L" 2>&1 && " + exe + L" 2>&1"; break;
            case 2: command = program + L" /nologo /out:" + exe + L" " + src + L" 2>&1 && " + exe + L" 2>&1"; break;
            default: command = program + L" " + src + L" 2>&1"; break;
        }
    } else {
        command = L"type " + src + L" 2>&1";
    }
    // "/c" followed by a quotation mark drops the first and the last one on the line: the pair added
    // here, so what is inside reaches the interpreter as written.
    return L"cmd /c \"" + command + L"\"";
}

std::wstring SourceFolder(const std::wstring& source) {
    const size_t separator = source.find_last_of(L"\\/");
    if (separator == std::wstring::npos) return {};
    std::wstring folder = source.substr(0, separator);
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
    return folder;
}

std::wstring BuildEnvironment(const wchar_t* current) {
    std::vector<std::wstring> entries;
    for (const wchar_t* p = current; p && *p; p += std::wcslen(p) + 1) entries.emplace_back(p);
    const std::wstring name = kNoCurrentFolderSearch;
    // Entries that begin with "=" (the per-drive current folders) stay where they are, first.
    auto nameOf = [](const std::wstring& entry) {
        const size_t equals = entry.find(L'=', 1);
        return entry.substr(0, equals);
    };
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const std::wstring& e) { return CompareNames(nameOf(e), name) == 0; }),
                  entries.end());
    auto place = std::find_if(entries.begin(), entries.end(), [&](const std::wstring& e) {
        return e[0] != L'=' && CompareNames(nameOf(e), name) > 0;
    });
    entries.insert(place, name + L"=1");
    std::wstring block;
    for (const std::wstring& entry : entries) {
        block += entry;
        block += L'\0';
    }
    block += L'\0';
    return block;
}

const wchar_t* BuildTextFor(int uiLanguage, BuildText text) {
    if (uiLanguage < 0 || uiLanguage >= kLanguages) uiLanguage = kEnglish;
    return kTexts[uiLanguage][static_cast<int>(text)];
}

std::wstring ExitCodeText(uint32_t code) {
    if (code < 0x10000000u) return std::to_wstring(code);
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08X", static_cast<unsigned>(code));
    return text;
}

std::wstring ElapsedText(uint64_t milliseconds) {
    const uint64_t seconds = milliseconds / 1000;
    const uint64_t hours = seconds / 3600, minutes = seconds / 60 % 60, rest = seconds % 60;
    wchar_t text[48];
    if (hours > 0)
        swprintf(text, 48, L"%llu:%02llu:%02llu", static_cast<unsigned long long>(hours),
                 static_cast<unsigned long long>(minutes), static_cast<unsigned long long>(rest));
    else
        swprintf(text, 48, L"%llu:%02llu", static_cast<unsigned long long>(minutes),
                 static_cast<unsigned long long>(rest));
    return text;
}

std::wstring BuildTextWith(int uiLanguage, BuildText text, const std::wstring& argument) {
    std::wstring result = BuildTextFor(uiLanguage, text);
    const size_t at = result.find(L"%1");
    if (at != std::wstring::npos) result.replace(at, 2, argument);
    return result;
}

size_t OutputCutPoint(const uint8_t* bytes, size_t length) {
    for (size_t i = length; i > 0; --i) {
        if (bytes[i - 1] == '\n') return i;
    }
    return length;
}

#include "persist/ui_state_file.h"

#include "persist/json_text.h"

namespace {

// Negative values fail the check too: they are compared as unsigned numbers.
void ReadIndex(const std::wstring& text, const wchar_t* key, int count, int& field) {
    int value = 0;
    if (FindIntAfterKey(text, key, value) && static_cast<unsigned>(value) < static_cast<unsigned>(count)) {
        field = value;
    }
}

void ReadFlag(const std::wstring& text, const wchar_t* key, int& field) {
    int value = 0;
    if (FindIntAfterKey(text, key, value) && value >= 0) field = value > 0 ? 1 : 0;
}

}  // namespace

void ReadUiStateText(const std::wstring& text, UiState& state) {
    if (text.empty()) return;
    if (text.find(L'=') == std::wstring::npos) {
        state.startMaximized = text.find(L'1') != std::wstring::npos ? 1 : 0;
        return;
    }
    ReadFlag(text, L"maximized=", state.startMaximized);
    ReadIndex(text, L"lang=", kUiLanguageCount, state.uiLanguage);
    ReadIndex(text, L"theme=", kThemeCount, state.theme);
    ReadIndex(text, L"scheme=", kSchemeCount, state.colorScheme);
    ReadFlag(text, L"sidebar=", state.sidebarVisible);
    ReadFlag(text, L"status=", state.statusBarVisible);
    ReadFlag(text, L"findCase=", state.matchCase);
    ReadFlag(text, L"findWord=", state.wholeWord);
    ReadFlag(text, L"findRegex=", state.regex);
    ReadFlag(text, L"findAllFiles=", state.allFiles);
}

void ReadUiState(const std::string& bytes, UiState& state) { ReadUiStateText(DecodeStoredText(bytes), state); }

std::string FormatUiState(const UiState& state) {
    std::string text = kUtf8Bom;
    auto line = [&text](const char* key, int value) {
        text += key;
        text += '=';
        text += std::to_string(value);
        text += "\r\n";
    };
    auto flag = [](int value) { return value ? 1 : 0; };
    line("maximized", flag(state.startMaximized));
    line("lang", state.uiLanguage);
    line("theme", state.theme);
    line("scheme", state.colorScheme);
    line("sidebar", flag(state.sidebarVisible));
    line("status", flag(state.statusBarVisible));
    line("findCase", flag(state.matchCase));
    line("findWord", flag(state.wholeWord));
    line("findRegex", flag(state.regex));
    line("findAllFiles", flag(state.allFiles));
    return text;
}

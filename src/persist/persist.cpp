#include "persist/persist.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "base/app_state.h"
#include "base/change_notice.h"
#include "base/editor.h"
#include "document/document.h"
#include "document/tabs.h"
#include "base/encoding.h"
#include "base/file_access.h"
#include "io/open.h"
#include "persist/json_text.h"
#include "persist/recovery.h"
#include "persist/recovery_plan.h"
#include "persist/session_file.h"
#include "persist/settings_file.h"
#include "persist/ui_state_file.h"
#include "syntax/languages.h"
#include "syntax/themes.h"
#include "base/strings.h"

namespace {

// The files are UTF-8 with a mark, but a hand-edited one may come in any encoding the decoder
// recognises.
std::wstring ReadTextFile(const std::wstring& path) {
    const std::vector<uint8_t> bytes = ReadAllBytes(path);
    return DecodeBytes(bytes.data(), bytes.size(), nullptr, nullptr);
}

void WriteQuietly(const std::wstring& path, const std::string& bytes) {
    AtomicWriteBytes(path, bytes.data(), bytes.size(), false);
}

}  // namespace

std::wstring SettingsPath() { return ProgramDirectory() + L"settings.json"; }
std::wstring UiStatePath() { return ProgramDirectory() + L"ui.ini"; }
std::wstring SessionPath() { return ProgramDirectory() + L"session.json"; }

void LoadSettings() {
    const std::wstring text = ReadTextFile(SettingsPath());
    if (text.empty())
        ApplyMissingSettingsFile(app.settings);
    else
        ReadSettingsText(text, app.settings);
}

void ReloadSettings() {
    LoadSettings();
    ReapplySettingsToAllTabs();
    // Commands 800 and up already open the entries of the list just read.
    NoteChange(kChangeRecentFiles);
}

void SaveSettings() {
    // Without a program directory there is nowhere to write; never fall back to the current one.
    if (ProgramDirectory().empty()) return;
    WriteQuietly(SettingsPath(), FormatSettings(app.settings));
}

namespace {
int recentBatches = 0;
bool recentUnsaved = false;
}  // namespace

void AddRecentFile(const std::wstring& path) {
    if (!AddRecentPath(app.settings.recent, path)) return;
    if (recentBatches > 0) {
        recentUnsaved = true;
        return;
    }
    SaveSettings();
    NoteChange(kChangeRecentFiles);
}

RecentFilesBatch::RecentFilesBatch() { ++recentBatches; }

RecentFilesBatch::~RecentFilesBatch() {
    if (--recentBatches > 0 || !recentUnsaved) return;
    recentUnsaved = false;
    SaveSettings();
    NoteChange(kChangeRecentFiles);
}

void ClearRecentFiles() {
    if (!app.settings.recent.empty()) {
        app.settings.recent.clear();
        SaveSettings();
    }
    NoteChange(kChangeRecentFiles);
}

void LoadUiState() {
    UiState state;
    state.uiLanguage = app.uiLanguage;
    state.theme = app.theme;
    state.colorScheme = app.colorScheme;
    state.sidebarVisible = app.sidebarVisible;
    state.statusBarVisible = app.statusBarVisible;
    const std::vector<uint8_t> bytes = ReadAllBytes(UiStatePath());
    ReadUiState(std::string(bytes.begin(), bytes.end()), state);
    app.startMaximized = state.startMaximized;
    app.uiLanguage = state.uiLanguage;
    app.theme = state.theme;
    app.colorScheme = state.colorScheme;
    app.sidebarVisible = state.sidebarVisible;
    app.statusBarVisible = state.statusBarVisible;
    app.findCase = state.matchCase;
    app.findWord = state.wholeWord;
    app.findRegex = state.regex;
    app.findAllFiles = state.allFiles;
    // Before the window classes take their background brushes from the palette.
    if (app.theme != 0 || app.colorScheme != 0) ApplyThemeAndScheme();
}

void SaveUiState() {
    if (ProgramDirectory().empty()) return;
    UiState state;
    state.startMaximized = app.maximized || app.fullScreen ? 1 : 0;
    state.uiLanguage = app.uiLanguage;
    state.theme = app.theme;
    state.colorScheme = app.colorScheme;
    state.sidebarVisible = app.sidebarVisible ? 1 : 0;
    state.statusBarVisible = app.statusBarVisible ? 1 : 0;
    state.matchCase = app.findCase ? 1 : 0;
    state.wholeWord = app.findWord ? 1 : 0;
    state.regex = app.findRegex ? 1 : 0;
    state.allFiles = app.findAllFiles ? 1 : 0;
    WriteQuietly(UiStatePath(), FormatUiState(state));
}

void SaveSession() {
    if (ProgramDirectory().empty()) return;
    std::vector<SessionEntry> tabs;
    tabs.reserve(documents.size());
    for (const Document& doc : documents) {
        SessionEntry entry;
        entry.path = doc.path;
        // Lenient: one odd byte must not cost the whole untitled text.
        if (doc.path.empty()) entry.text = WideFromUtf8(editor::GetText(doc.editor));
        tabs.push_back(std::move(entry));
    }
    const Session session = CollectSession(tabs, app.activeTab);
    if (session.entries.empty()) {
        DeleteFileW(SessionPath().c_str());
        return;
    }
    WriteQuietly(SessionPath(), FormatSession(session));
}

void SaveSessionAndUiStateOnce() {
    if (app.sessionSaved) return;
    SaveSession();
    SaveUiState();
    app.sessionSaved = 1;
}

std::wstring ReadSessionFile() { return ReadTextFile(SessionPath()); }

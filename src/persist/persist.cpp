#include "persist/persist.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "app/app_state.h"
#include "app/editor.h"
#include "app/main_window.h"
#include "document/document.h"
#include "document/tabs.h"
#include "io/encoding.h"
#include "io/file_access.h"
#include "io/open.h"
#include "persist/json_text.h"
#include "persist/recovery.h"
#include "persist/recovery_plan.h"
#include "persist/session_file.h"
#include "persist/settings_file.h"
#include "persist/ui_state_file.h"
#include "project/sidebar.h"
#include "syntax/languages.h"
#include "syntax/themes.h"
#include "ui/menu_bar.h"
#include "ui/strings.h"

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

void RefreshRecentMenus() {
    RebuildRecentFilesMenu();
    RepaintArea(app.rects.menuBar);
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
    RefreshRecentMenus();
}

void SaveSettings() {
    // Without a program directory there is nowhere to write; never fall back to the current one.
    if (ProgramDirectory().empty()) return;
    WriteQuietly(SettingsPath(), FormatSettings(app.settings));
}

void AddRecentFile(const std::wstring& path) {
    if (!AddRecentPath(app.settings.recent, path)) return;
    SaveSettings();
    RefreshRecentMenus();
}

void OpenRecentFile(int index) {
    if (index < 0 || index >= static_cast<int>(app.settings.recent.size())) return;
    const std::wstring path = app.settings.recent[static_cast<size_t>(index)];
    const DWORD attributes = GetFileAttributesW(ExtendedPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        const std::wstring message = MessageFor(MessageText::RecentFileGone) + path;
        MessageBoxW(app.mainWindow, message.c_str(), L"Tessary", MB_OK | MB_ICONWARNING);
        app.settings.recent.erase(app.settings.recent.begin() + index);
        SaveSettings();
        RefreshRecentMenus();
        return;
    }
    OpenPath(path);
}

void ClearRecentFiles() {
    if (!app.settings.recent.empty()) {
        app.settings.recent.clear();
        SaveSettings();
        RebuildRecentFilesMenu();
        if (app.openMenu == 0) CloseMenus();
    }
    RefreshRecentMenus();
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

void RestoreSession() {
    const std::wstring text = ReadTextFile(SessionPath());
    if (text.empty()) return;
    Session session;
    if (!ReadSessionText(text, session)) return;
    // An untitled tab that the crash recovery of this start already brought back (with its later
    // edits) is not brought back a second time; with nothing else left there is nothing to ask.
    const std::wstring key = SessionKey(text);
    std::vector<char> wanted;
    int count = 0;
    for (size_t i = 0; i < session.entries.size(); ++i) {
        const bool again = session.entries[i].path.empty() && RecoveredFromSession(key, static_cast<int>(i));
        wanted.push_back(again ? 0 : 1);
        count += again ? 0 : 1;
    }
    if (count == 0) return;
    wchar_t question[512];
    std::swprintf(question, 512, LocalizedText(StringTable::RestorePrompt, 0), count);
    if (MessageBoxW(app.mainWindow, question, L"Tessary", MB_YESNO | MB_ICONQUESTION) != IDYES) {
        DeleteFileW(SessionPath().c_str());
        return;
    }
    // Only the empty tab the window opened with makes way; recovered tabs stay.
    if (documents.size() == 1 && documents[0].path.empty() && !documents[0].modified &&
        editor::Length(documents[0].editor) == 0)
        CloseTab(0, 0);
    // The tab each entry became: an entry that does not open shifts the tabs after it.
    std::vector<int> tabOfEntry;
    for (size_t i = 0; i < session.entries.size(); ++i) {
        const SessionEntry& entry = session.entries[i];
        if (!wanted[i]) {
            tabOfEntry.push_back(-1);
            continue;
        }
        if (!entry.path.empty()) {
            tabOfEntry.push_back(OpenPath(entry.path));
            continue;
        }
        CreateTab(L"", app.mainWindow);
        tabOfEntry.push_back(static_cast<int>(documents.size()) - 1);
        Document& doc = documents.back();
        NoteSessionTab(doc.editor, key, static_cast<int>(i));
        app.settingText = 1;
        SetEditorText(doc.editor, entry.text);
        app.settingText = 0;
        doc.modified = 1;
        doc.savedText.clear();
        doc.savedTextValid = 0;
        ApplyLanguageStyles(doc.editor, doc.language);
        editor::Send(doc.editor, editor::kSetSel, 0, 0);
        UpdateWindowTitle();
        RepaintArea(app.rects.tabBar);
        if (app.sidebarWindow) InvalidateRect(app.sidebarWindow, nullptr, TRUE);
    }
    // Entries that all failed to open must not leave a window without a tab.
    if (documents.empty()) CreateTab(L"", app.mainWindow);
    ActivateTab(RestoredActiveTab(session.active, tabOfEntry, static_cast<int>(documents.size())));
}

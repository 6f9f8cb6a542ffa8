#pragma once
// The program's own files beside the executable: settings.json, ui.ini and session.json.
// Reads are lenient; writes go through the atomic writer and fail silently, leaving the
// previous file intact.
#include <string>

std::wstring SettingsPath();
std::wstring UiStatePath();
std::wstring SessionPath();

void LoadSettings();
// After settings.json was saved from a tab: reads it again and applies it to every tab and to the
// Recent Files menu.
void ReloadSettings();
void SaveSettings();
// Puts a path at the top of the recent files (called for every file opened into a new tab).
void AddRecentFile(const std::wstring& path);
// While one lives, the recent files that are added are written to the settings (and their menu
// built) once, when the last one ends: a session of hundreds of files writes the file once.
struct RecentFilesBatch {
    RecentFilesBatch();
    ~RecentFilesBatch();
    RecentFilesBatch(const RecentFilesBatch&) = delete;
    RecentFilesBatch& operator=(const RecentFilesBatch&) = delete;
};
void ClearRecentFiles();

void LoadUiState();
void SaveUiState();

void SaveSession();
// The last session's file as text; "" when there is none.
std::wstring ReadSessionFile();
// The close sequence's first step: session and interface state, once per close.
void SaveSessionAndUiStateOnce();

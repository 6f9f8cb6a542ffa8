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
// Commands 800-809 and 820.
void OpenRecentFile(int index);
void ClearRecentFiles();

void LoadUiState();
void SaveUiState();

void SaveSession();
void RestoreSession();
// The close sequence's first step: session and interface state, once per close.
void SaveSessionAndUiStateOnce();

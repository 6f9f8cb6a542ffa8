#pragma once
// Settings, interface state and session files beside the executable.
#include <string>

// ProgramDirectory() followed by "settings.json".
std::wstring SettingsPath();
void LoadSettings();
void SaveSettings();
void LoadUiState();
void SaveUiState();
void SaveSession();
// Puts a path at the top of the recent files (called for every file opened into a new tab).
void AddRecentFile(const std::wstring& path);
void RestoreSession();

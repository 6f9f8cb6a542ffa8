#include "persist/persist.h"

#include "app/app_state.h"

std::wstring SettingsPath() { return ProgramDirectory() + L"settings.json"; }

// The files are not read or written yet; the defaults of AppState stand.
void LoadSettings() {}
void SaveSettings() {}
void LoadUiState() {}
void SaveUiState() {}
void SaveSession() {}
void RestoreSession() {}
void AddRecentFile(const std::wstring&) {}

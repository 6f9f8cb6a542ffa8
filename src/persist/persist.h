#pragma once
// Settings, interface state and session files beside the executable.
void LoadSettings();
void SaveSettings();
void LoadUiState();
void SaveUiState();
void SaveSession();
void RestoreSession();

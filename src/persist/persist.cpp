#include "persist/persist.h"

// The files are not read or written yet; the defaults of AppState stand.
void LoadSettings() {}
void SaveSettings() {}
void LoadUiState() {}
void SaveUiState() {}
void SaveSession() {}
void RestoreSession() {}

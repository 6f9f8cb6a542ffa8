#pragma once
// The settings dialog (command 260), the about dialog (282) and the key-binding list (261). Each is
// modal over the main window; while one is open the others do nothing.

// True while one of the dialogs or the key-binding list is open.
bool DialogIsOpen();
void OpenSettingsDialog();
void OpenAboutDialog();
void ShowKeyBindings();

#pragma once
// The about dialog and the key-binding list, each modal over the main window.

void OpenAboutDialog();
void ShowKeyBindings();

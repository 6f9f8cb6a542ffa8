#pragma once
// The settings dialog: font, tab width, word wrap, zoom and the default encoding, applied to every
// tab and saved at once.

// Modal over the main window; does nothing while another dialog is open.
void OpenSettingsDialog();

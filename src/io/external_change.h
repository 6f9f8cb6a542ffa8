#pragma once
// Files changed on disk by another program, noticed when a tab or the window is activated.

// Asks to reload the tab at `index` when its file's time or size differ from those recorded.
void CheckExternalChange(int index);
// The reload command: guards unsaved changes first.
void ReloadDocument(int index);

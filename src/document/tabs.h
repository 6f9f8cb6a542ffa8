#pragma once
#include <windows.h>
#include <string>

// Appends a Document for `path` (empty for an untitled tab) and makes it active. Does not read
// the file.
void CreateTab(const std::wstring& path, HWND parent);
void ActivateTab(int index);
// Asks about a modified tab's changes: Yes saves them, No leaves them, Cancel keeps everything.
// True when the tab may go (unmodified, saved, or No); false for Cancel, a failed save or a bad index.
bool SettleUnsavedChanges(int index);
// Returns 1 when the tab was closed; 0 for a bad index, a cancelled prompt or a failed save.
int CloseTab(int index, int replaceWhenLast);
// Closes every tab from the last to the first, stopping at the first refusal; when all closed,
// opens one untitled tab.
void CloseAllTabs();
int NextUntitledNumber();
void UpdateWindowTitle();
std::wstring WorkspaceName();
// The text shown in the window title for the current state.
std::wstring CurrentWindowTitle();
void ConfigureEditor(HWND editor);
// After the settings changed: configures every tab's editor again, with its styles and read-only state.
void ReapplySettingsToAllTabs();
void UpdateLineNumberMargin(HWND editor);

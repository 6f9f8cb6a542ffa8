#pragma once
// The tab list's mechanics: creating, showing and removing tabs, and their editors' configuration.
#include <windows.h>
#include <string>

#include "base/change_notice.h"

// Appends a Document for `path` (empty for an untitled tab) and makes it active. Does not read
// the file.
void CreateTab(const std::wstring& path, HWND parent);
// Tabs opened together (a restored session, dropped files, a project, the command line): while one
// lives, new tabs' editors stay hidden and the views wait; when the last one ends, the active tab
// is shown and the views follow once.
struct TabBatch {
    TabBatch();
    ~TabBatch();
    TabBatch(const TabBatch&) = delete;
    TabBatch& operator=(const TabBatch&) = delete;
    ChangeBatch changes;
};
// Shows the tab at `index` as the active one (no questions; see ActivateTab).
void SwitchToTab(int index);
// Removes the tab at `index` with its editor and mapping, unsaved changes or not; the next tab
// becomes active, and with `replaceWhenLast` an untitled tab takes the last one's place.
void RemoveTab(int index, bool replaceWhenLast);
int NextUntitledNumber();
std::wstring WorkspaceName();
// The text shown in the window title for the current state.
std::wstring CurrentWindowTitle();
void ConfigureEditor(HWND editor);
// After the settings changed: configures every tab's editor again, with its styles and read-only state.
void ReapplySettingsToAllTabs();
void UpdateLineNumberMargin(HWND editor);

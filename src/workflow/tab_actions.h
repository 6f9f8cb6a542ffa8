#pragma once
// The tab workflow as the user meets it: open, save, close with its question, activate, the check
// for changes on disk and reload, the recent files and the session restore.
#include <windows.h>
#include <shellapi.h>

#include <string>

// Opens or activates the tab for the file `path` names, bound to its full path; returns that tab,
// or -1 when none was opened.
int OpenPath(const std::wstring& path);
// The chosen path, or "" when cancelled.
std::wstring OpenFileDialog();
void OpenDroppedFiles(HDROP drop);

// Saves the tab at `index`; with `saveAs` (or when the tab has no path) the user picks the target
// first. Success shows as `modified` = 0, failure as a message and `modified` unchanged.
void SaveDocument(int index, bool saveAs);
// The chosen path, or "" when cancelled. A rename passes its own caption and is not asked about
// overwriting: it never replaces a file.
std::wstring SaveFileDialog(const std::wstring& currentPath, const wchar_t* caption = nullptr,
                            bool overwritePrompt = true);

// Makes the tab at `index` the active one, asks about its file if it changed on disk and runs an
// open search on it again.
void ActivateTab(int index);
// Asks about a modified tab's changes: Yes saves them, No leaves them, Cancel keeps everything.
// True when the tab may go (unmodified, saved, or No); false for Cancel, a failed save or a bad index.
bool SettleUnsavedChanges(int index);
// True when the tab was closed; false for a bad index, a cancelled prompt or a failed save.
bool CloseTab(int index, bool replaceWhenLast);
// Closes every tab from the last to the first, stopping at the first refusal; when all closed,
// opens one untitled tab.
void CloseAllTabs();

// Asks to reload the tab at `index` when its file's time or size differ from those recorded.
void CheckExternalChange(int index);
// The reload command: guards unsaved changes first.
void ReloadDocument(int index);

// Large texts opened from a file are read in the background; their worker reports to the main
// window with this message: wParam is the read's number, lParam its percentage, or -1 at its end.
constexpr UINT kTextLoadMessage = WM_APP + 0x6A;
void OnTextLoadMessage(WPARAM load, LPARAM percent);
// True when the tab at `index` is still being read in the background.
bool TabIsLoading(int index);
// Escape on a tab that is still being read: the read stops and the tab goes (nothing written, no
// part of the text kept). False when the active tab is not loading.
bool CancelActiveLoad();

// Opens entry `index` of the recent files; an entry whose file is gone is said so and dropped.
void OpenRecentFile(int index);
// Offers the tabs of the last session again.
void RestoreSession();

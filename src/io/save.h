#pragma once
#include <cstdint>
#include <string>

struct Document;

// Saves the tab at `index`; with saveAs = 1 (or when the tab has no path) the user picks the
// target first. Success shows as `modified` = 0, failure as a message and `modified` unchanged.
void SaveDocument(int index, int saveAs);
// The chosen path, or "" when cancelled. A rename passes its own caption and is not asked about
// overwriting: it never replaces a file.
std::wstring SaveFileDialog(const std::wstring& currentPath, const wchar_t* caption = nullptr,
                            bool overwritePrompt = true);
// The tab now names `target` (a save under a new name, a rename): its title, language (its colours
// at once), file stamp and read-only mark follow, and the window title, tab bar and status bar show
// the new name. Its text and modified state are left alone.
void TakeNewPath(Document& doc, const std::wstring& target);
// Writes a mapped hex Document (mapping plus changed bytes) to `path` atomically and maps the
// result again. On failure the Document keeps its mapping and its unsaved byte changes, and the
// target is left as it was. Part of the mapping that cannot be read (its volume gone) fails the
// save; `unreadable`, when given, then becomes true.
bool SaveMappedHex(const std::wstring& path, Document& doc, bool* unreadable = nullptr);
// Writes a hex tab's bytes to `target`. Refused (false, nothing written) when the tab holds neither
// a mapping nor bytes although its file had bytes: that would write an empty file.
bool SaveHexBytes(Document& doc, const std::wstring& target, bool* unreadable = nullptr);

#pragma once
#include <cstdint>
#include <string>

struct Document;

// Saves the tab at `index`; with saveAs = 1 (or when the tab has no path) the user picks the
// target first. Success shows as `modified` = 0, failure as a message and `modified` unchanged.
void SaveDocument(int index, int saveAs);
// The chosen path, or "" when cancelled.
std::wstring SaveFileDialog(const std::wstring& currentPath);
// Writes a mapped hex Document (mapping plus changed bytes) to `path` atomically and maps the
// result again. On failure the Document keeps its mapping and its unsaved byte changes, and the
// target is left as it was. Part of the mapping that cannot be read (its volume gone) fails the
// save; `unreadable`, when given, then becomes true.
bool SaveMappedHex(const std::wstring& path, Document& doc, bool* unreadable = nullptr);
// Writes a hex tab's bytes to `target`. Refused (false, nothing written) when the tab holds neither
// a mapping nor bytes although its file had bytes: that would write an empty file.
bool SaveHexBytes(Document& doc, const std::wstring& target, bool* unreadable = nullptr);

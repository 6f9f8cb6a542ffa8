#pragma once
// Writing tabs to files: text from the component's buffer, hex bytes and mapped files, always
// through a temporary file so that an interrupted write leaves the old file whole.
#include <cstdint>
#include <string>

#include "base/file_access.h"

struct Document;

// Writes the tab's text (its bytes in the hex view) to `target` and records what was written as
// the saved state. False when nothing was replaced; `unreadable` then says whether the tab's own
// mapped file could not be read.
// `progress` hears how far the write has got.
bool WriteTab(Document& doc, const std::wstring& target, bool* unreadable, const ProgressFn& progress = nullptr);
// The tab now names `target` (a save under a new name, a rename): its title, language (its colours
// at once), file stamp and read-only mark follow, and the views show the new name. Its text and
// modified state are left alone.
void TakeNewPath(Document& doc, const std::wstring& target);
// Writes a mapped hex Document (mapping plus changed bytes) to `path` atomically and maps the
// result again. On failure the Document keeps its mapping and its unsaved byte changes, and the
// target is left as it was. Part of the mapping that cannot be read (its volume gone) fails the
// save; `unreadable`, when given, then becomes true.
bool SaveMappedHex(const std::wstring& path, Document& doc, bool* unreadable = nullptr,
                   const ProgressFn& progress = nullptr);
// Writes a hex tab's bytes to `target`. Refused (false, nothing written) when the tab holds neither
// a mapping nor bytes although its file had bytes: that would write an empty file.
bool SaveHexBytes(Document& doc, const std::wstring& target, bool* unreadable = nullptr,
                  const ProgressFn& progress = nullptr);

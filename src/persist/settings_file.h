#pragma once
// settings.json: the editor settings and the recent-files list, as bytes on disk and back.
// Reading is a scanner for fixed key texts (exact spacing included), not a JSON parser.

#include <string>
#include <vector>

#include "base/settings.h"

// Reads the file's bytes (any byte-order mark, else UTF-8) into `settings`. A key that is missing
// leaves its field as it was; numbers are clamped into range; wordWrap is true only when
// "\"wrap\": true" occurs; the recent list is replaced by the file's (empty without a readable one).
void ReadSettings(const std::string& bytes, Settings& settings);
// The same over text that is already decoded.
void ReadSettingsText(const std::wstring& text, Settings& settings);
// What a missing or unreadable file means: wordWrap off and no recent files, the rest unchanged.
void ApplyMissingSettingsFile(Settings& settings);

// The exact bytes of the file: UTF-8 with a byte-order mark, lines ending in a line feed.
std::string FormatSettings(const Settings& settings);

// Puts `path` first in the list, drops an equal entry (exact comparison) and trims the list to
// kMaxRecentFiles. An empty path does nothing and returns false (the caller then saves nothing).
bool AddRecentPath(std::vector<std::wstring>& recent, const std::wstring& path);

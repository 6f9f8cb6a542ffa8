#pragma once
// Which tab shows a file. Windows names one file in many ways: letters in any case, "/" for "\",
// "." and ".." steps, trailing dots and spaces (which the file system drops), the "\\?\" prefix,
// 8.3 short names, and hard or symbolic links. A tab is bound to one full spelling of its file
// when it opens, and two spellings name one file when their full forms are equal ignoring case or,
// for files that exist, when both open onto the same file (volume serial and file index).
#include <cstdint>
#include <string>

#include "base/file_access.h"

// The full form of `path`, by text alone: "/" becomes "\", a "\\?\" (or "\\?\UNC\") prefix goes,
// "." and ".." steps are resolved, trailing dots and spaces of every step are dropped, runs of
// separators become one. A relative `path` (or one rooted without a drive, "\a", or naming a drive
// without a root, "c:a") is taken against `base`, itself a full path. "" when `path` is empty, or
// relative with an empty base.
std::wstring LexicalFullPath(const std::wstring& path, const std::wstring& base);

// The same two full forms, letters compared without case (as the file system compares them).
bool SamePathText(const std::wstring& a, const std::wstring& b);

// `path` made full against the folder `base` (itself full) and written with long names where the
// file or its folders have short ones (8.3). "" for an empty path.
std::wstring FullPathAgainst(const std::wstring& path, const std::wstring& base);

// The path a tab is bound to: `path` made full against the process's current folder and written
// with long names where the file or its folders have short ones (8.3). "" for an empty path.
std::wstring TabPathOf(const std::wstring& path);

// The identity of an existing file (followed through symbolic links); invalid when it cannot be
// opened at all.
FileId FileIdOf(const std::wstring& path);

// True when the two paths name one file: the same full spelling ignoring case, or one existing
// file reached under two names.
bool PathsNameOneFile(const std::wstring& a, const std::wstring& b);

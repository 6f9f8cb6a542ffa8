#pragma once
// File actions of the tab context menu: show a file in the file manager, copy path texts, rename.
#include <string>

// Everything before the last "\" or "/", or "" when the path has neither.
std::wstring FolderOf(const std::wstring& path);
void ShowInExplorer(const std::wstring& path);
void CopyTextToClipboard(const std::wstring& text);
// Moves a file to a new name, also onto another drive, never over an existing file. On failure
// nothing has changed and `reason` holds the system's explanation.
bool MoveFileTo(const std::wstring& source, const std::wstring& target, std::wstring& reason);

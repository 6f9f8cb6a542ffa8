#pragma once
// File actions of the tab context menu: show a file in the file manager, copy path texts.
#include <string>

// Everything before the last "\" or "/", or "" when the path has neither.
std::wstring FolderOf(const std::wstring& path);
void ShowInExplorer(const std::wstring& path);
void CopyTextToClipboard(const std::wstring& text);

#pragma once
// The project commands: saving the open folder and file tabs to a ".tessary" file and opening one.
#include <string>

// Command 240: a ".tessary" file is opened as a project; any other file's folder becomes the root.
void OpenProjectPath(const std::wstring& path);
// Reads a project file and applies it: its folder becomes the shown root, its files are opened.
void LoadProject(const std::wstring& path);
// Command 241: the save dialog proposing "project.tessary", then SaveProject.
void SaveProjectCommand();
// Writes the project file of the open folder and the file tabs; reports success in a message box.
void SaveProject(const std::wstring& path);

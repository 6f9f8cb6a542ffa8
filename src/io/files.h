#pragma once
#include <windows.h>
#include <shellapi.h>

// Checks whether the file of the tab at `index` changed on disk and offers to reload it.
void CheckExternalChange(int index);
// Opens every dropped file.
void OpenDroppedFiles(HDROP drop);

#pragma once
#include <windows.h>

// The process entry: returns 0 after a normal close, 1 when the editing component cannot be loaded.
int RunApplication(HINSTANCE instance);

// Side of a toolbar image in design pixels.
constexpr int kToolbarImageSize = 18;
// The toolbar images drawn for the main window's display scale (app.dpi), replacing any before.
void ReloadToolbarImages();
void ReleaseToolbarImages();

#pragma once
// Theme and colour scheme: the palette and every open editor follow app.theme and app.colorScheme.

// Copies the selected theme and scheme rows into the palette, restyles every tab's editor in tab
// order and repaints the windows that draw with the palette. The callers keep the indices in range.
void ApplyThemeAndScheme();

#pragma once
#include <cstddef>
#include <cstdint>

#include "base/strings.h"

// One toolbar button: the command it runs, the glyph drawn when its image is missing, where its
// tooltip label comes from, and the shortcut shown beside the label.
struct ToolbarButton {
    int command;
    const wchar_t* glyph;
    StringTable labelTable;
    int labelEntry;
    const wchar_t* shortcut;
};

extern const ToolbarButton kToolbarButtons[17];

// "%s (%s)": the label in the current interface language and the shortcut text.
const wchar_t* ToolbarTooltipText(int index);

// The toolbar images are pale outlines made for a dark bar. On a light bar (`bar`) their grey
// pixels are turned dark (lightness mirrored, so a pale outline becomes a dark one and a shadow a
// light one), and any pixel that would still stand out from the bar by less than 3 : 1 is darkened
// until it does; coloured pixels keep their hue. Pixels are premultiplied BGRA, as the bar draws
// them.
void IconForLightBar(uint32_t* pixels, size_t count, uint32_t bar);

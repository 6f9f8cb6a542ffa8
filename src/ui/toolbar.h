#pragma once
#include "ui/strings.h"

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

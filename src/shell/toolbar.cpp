// The toolbar's buttons in their order, and the tooltip text each shows.
#include "shell/toolbar.h"

#include <algorithm>
#include <cwchar>

#include "base/command_ids.h"
#include "syntax/palette.h"

const ToolbarButton kToolbarButtons[17] = {
    {kCmdNewFile, L"\U0001F4C4", StringTable::MenuLabels, 0, L"Ctrl+N"},
    {kCmdOpenFile, L"\U0001F4C2", StringTable::MenuLabels, 1, L"Ctrl+O"},
    {kCmdSave, L"\U0001F4BE", StringTable::MenuLabels, 3, L"Ctrl+S"},
    {kCmdSaveAll, L"\U0001F4BE", StringTable::MenuLabels, 5, L"Ctrl+Alt+S"},
    {kCmdCloseFile, L"\u2716", StringTable::MenuLabels, 6, L"Ctrl+W"},
    {kCmdCloseAll, L"\u2716", StringTable::MenuLabels, 7, L"Ctrl+Shift+W"},
    {kCmdCut, L"\u2702", StringTable::MenuLabels, 11, L"Ctrl+X"},
    {kCmdCopy, L"\u2709", StringTable::MenuLabels, 12, L"Ctrl+C"},
    {kCmdPaste, L"\U0001F4CB", StringTable::MenuLabels, 13, L"Ctrl+V"},
    {kCmdUndo, L"\u21A9", StringTable::MenuLabels, 9, L"Ctrl+Z"},
    {kCmdRedo, L"\u21AA", StringTable::MenuLabels, 10, L"Ctrl+Shift+Z"},
    {kCmdFind, L"\U0001F52D", StringTable::MenuLabels, 17, L"Ctrl+F"},
    {kCmdReplace, L"\U0001F504", StringTable::MenuLabels, 18, L"Ctrl+H"},
    {kCmdZoomIn, L"\U0001F50D", StringTable::MenuLabels, 36, L"Ctrl++"},
    {kCmdZoomOut, L"\U0001F50D", StringTable::MenuLabels, 37, L"Ctrl+-"},
    {kCmdHexMode, L"\U0001F50E", StringTable::HexModeLabel, 0, L"Ctrl+Alt+H"},
    {kCmdSettings, L"\u2699", StringTable::MenuLabels, 29, L"Ctrl+,"},
};

const wchar_t* ToolbarTooltipText(int index) {
    // The tooltip keeps a pointer to the text until it asks again, so one shared buffer serves.
    static wchar_t buffer[256];
    if (index < 0 || index >= 17) {
        buffer[0] = L'\0';
        return buffer;
    }
    const ToolbarButton& b = kToolbarButtons[index];
    std::swprintf(buffer, sizeof buffer / sizeof buffer[0], L"%ls (%ls)", LocalizedText(b.labelTable, b.labelEntry),
                  b.shortcut);
    return buffer;
}

void IconForLightBar(uint32_t* pixels, size_t count, uint32_t bar) {
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = pixels[i];
        const uint32_t a = p >> 24;
        if (a == 0) continue;
        // Back from premultiplied to plain colour.
        auto plain = [a](uint32_t v) { return std::min<uint32_t>(255, (v * 255 + a / 2) / a); };
        uint32_t b = plain(p & 0xFF), g = plain((p >> 8) & 0xFF), r = plain((p >> 16) & 0xFF);
        const uint32_t high = std::max({r, g, b}), low = std::min({r, g, b});
        if (high - low <= 24) r = g = b = 255 - (r + g + b) / 3;  // grey: lightness mirrored
        // A little above 3 : 1, so that the pixels that are not quite opaque still reach it.
        for (int step = 0; step < 20 && ContrastRatio(Rgb(r, g, b), bar) < 3.5; ++step) {
            r = r * 7 / 8;
            g = g * 7 / 8;
            b = b * 7 / 8;
        }
        auto premultiplied = [a](uint32_t v) { return (v * a + 127) / 255; };
        pixels[i] = (a << 24) | (premultiplied(r) << 16) | (premultiplied(g) << 8) | premultiplied(b);
    }
}

#include "syntax/palette.h"

namespace {

struct ThemeRow {
    uint32_t c[13];
};
struct SchemeRow {
    const wchar_t* name;
    uint32_t c[6];
};

// Roles in order: chrome, panel, editor, input, hover, active, selection, text, dimText,
// faintText, lineNumber, accent, border.
constexpr ThemeRow kThemes[kThemeCount] = {
    {{0x1A1A1A, 0x212121, 0x1E1E1E, 0x2D2D2D, 0x2A2A2A, 0x3D3D3D, 0x1F2C42, 0xE0E0E0, 0xB0B0B0, 0x5A5A5A, 0x888888,
      0x4A90D9, 0x333333}},  // Dark
    {{0xF0F0F0, 0xECECEC, 0xFFFFFF, 0xFFFFFF, 0xE0E0E0, 0xD8D8D8, 0xCCE2F7, 0x202020, 0x505050, 0x909090, 0x808080,
      0x1A6FD4, 0xD0D0D0}},  // Light
    {{0x000000, 0x000000, 0x000000, 0x000000, 0x1E1E1E, 0x333333, 0x3D5A7B, 0xFFFFFF, 0xD0D0D0, 0x909090, 0xBBBBBB,
      0xFFE000, 0x555555}},  // High Contrast
};

// Roles in order: keyword, string, property, type, comment, number.
constexpr SchemeRow kSchemes[kSchemeCount] = {
    {L"Monokai", {0xF92672, 0xE6DB74, 0xA6E22E, 0x66D9EF, 0x75715E, 0xAE81FF}},
    {L"One Dark", {0xC678DD, 0x98C379, 0x61AFEF, 0xE06C75, 0x5C6370, 0xD19A66}},
    {L"Dracula", {0xFF79C6, 0xF1FA8C, 0x50FA7B, 0x8BE9FD, 0x6272A4, 0xBD93F9}},
    {L"Nord", {0x88C0D0, 0xA3BE8C, 0x8FBCBB, 0xD08770, 0x616E88, 0xB48EAD}},
    {L"Solarized", {0x268BD2, 0x2AA198, 0x859900, 0xB58900, 0x586E75, 0xD33682}},
    {L"Light", {0xD00050, 0x9A6D00, 0x338A00, 0x006FA8, 0x7A6A4A, 0x9A009A}},
};

int Clamp(int v, int count) { return v < 0 ? 0 : (v >= count ? count - 1 : v); }

}  // namespace

Palette palette = StartPalette();

Palette PaletteFor(int theme, int scheme) {
    const ThemeRow& t = kThemes[Clamp(theme, kThemeCount)];
    const SchemeRow& s = kSchemes[Clamp(scheme, kSchemeCount)];
    return Palette{Hex(t.c[0]), Hex(t.c[1]), Hex(t.c[2]), Hex(t.c[3]),  Hex(t.c[4]),  Hex(t.c[5]),  Hex(t.c[6]),
                   Hex(t.c[7]), Hex(t.c[8]), Hex(t.c[9]), Hex(t.c[10]), Hex(t.c[11]), Hex(t.c[12]), Hex(s.c[0]),
                   Hex(s.c[1]), Hex(s.c[2]), Hex(s.c[3]), Hex(s.c[4]),  Hex(s.c[5])};
}

Palette StartPalette() {
    Palette p = PaletteFor(0, 0);
    p.selectionColor = Hex(0x3D5A7B);
    return p;
}

const wchar_t* SchemeName(int scheme) { return kSchemes[Clamp(scheme, kSchemeCount)].name; }

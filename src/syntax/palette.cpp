#include "syntax/palette.h"

#include <algorithm>
#include <cmath>

namespace {

struct ThemeRow {
    uint32_t c[16];
};
struct SchemeRow {
    const wchar_t* name;
    uint32_t dark[6];   // on the dark and high-contrast editor backgrounds
    uint32_t light[6];  // on a light editor background
};

// Roles in order: chrome, panel, editor, input, hover, active, selection, text, dimText,
// faintText, lineNumber, accent, border; then the scroll thumb at rest, under the pointer and
// dragged.
constexpr ThemeRow kThemes[kThemeCount] = {
    {{0x1A1A1A, 0x212121, 0x1E1E1E, 0x2D2D2D, 0x2A2A2A, 0x3D3D3D, 0x1F2C42, 0xE0E0E0, 0xB0B0B0, 0x5A5A5A, 0x888888,
      0x4A90D9, 0x333333, 0x707070, 0x888888, 0xA0A0A0}},  // Dark
    {{0xF0F0F0, 0xECECEC, 0xFFFFFF, 0xFFFFFF, 0xE0E0E0, 0xD8D8D8, 0xCCE2F7, 0x202020, 0x505050, 0x909090, 0x6E6E6E,
      0x1A6FD4, 0xD0D0D0, 0x858585, 0x6E6E6E, 0x555555}},  // Light
    {{0x000000, 0x000000, 0x000000, 0x000000, 0x1E1E1E, 0x333333, 0x3D5A7B, 0xFFFFFF, 0xD0D0D0, 0x909090, 0xBBBBBB,
      0xFFE000, 0x555555, 0x808080, 0xA0A0A0, 0xC0C0C0}},  // High Contrast
};

// Roles in order: keyword, string, property, type, comment, number. Each scheme keeps its hues in
// both variants; a colour too faint for a background is moved towards white (dark variant) or
// black (light variant) just far enough to read.
constexpr SchemeRow kSchemes[kSchemeCount] = {
    {L"Monokai",
     {0xF9357C, 0xE6DB74, 0xA6E22E, 0x66D9EF, 0x8B8878, 0xAE81FF},
     {0xDE2265, 0x7C763F, 0x5D7F1A, 0x3B7E8B, 0x75715E, 0x8462C2}},
    {L"One Dark",
     {0xC678DD, 0x98C379, 0x61AFEF, 0xE06C75, 0x818791, 0xD19A66},
     {0x985CAA, 0x617D4D, 0x4379A5, 0xB5575F, 0x5C6370, 0x946D48}},
    {L"Dracula",
     {0xFF79C6, 0xF1FA8C, 0x50FA7B, 0x8BE9FD, 0x7886B1, 0xBD93F9},
     {0xB2558B, 0x747843, 0x2A8441, 0x4A7B86, 0x6272A4, 0x8467AE}},
    {L"Nord",
     {0x88C0D0, 0xA3BE8C, 0x8FBCBB, 0xD08770, 0x7C879C, 0xB48EAD},
     {0x567983, 0x687A5A, 0x5D7A7A, 0x9E6755, 0x616E88, 0x896C83}},
    {L"Solarized",
     {0x2A8DD3, 0x2AA198, 0x859900, 0xB58900, 0x788A8F, 0xDA5897},
     {0x217AB9, 0x22827B, 0x6C7C00, 0x936F00, 0x586E75, 0xD13581}},
    {L"Light",
     {0xE0548A, 0xA88124, 0x4B981F, 0x388FBB, 0x93866C, 0xC163C1},
     {0xD00050, 0x9A6D00, 0x318600, 0x006FA8, 0x7A6A4A, 0x9A009A}},
};

int Clamp(int v, int count) { return v < 0 ? 0 : (v >= count ? count - 1 : v); }

}  // namespace

Palette palette = StartPalette();

double ContrastRatio(Colour a, Colour b) {
    const auto luminance = [](Colour c) {
        const auto channel = [](unsigned v) {
            const double s = v / 255.0;
            return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c & 0xFF) + 0.7152 * channel((c >> 8) & 0xFF) + 0.0722 * channel((c >> 16) & 0xFF);
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool IsLightColour(Colour background) {
    const unsigned r = background & 0xFF, g = (background >> 8) & 0xFF, b = (background >> 16) & 0xFF;
    return 2126 * r + 7152 * g + 722 * b > 10000 * 128;
}

Palette PaletteFor(int theme, int scheme) {
    const ThemeRow& t = kThemes[Clamp(theme, kThemeCount)];
    const SchemeRow& row = kSchemes[Clamp(scheme, kSchemeCount)];
    const uint32_t* s = IsLightColour(Hex(t.c[2])) ? row.light : row.dark;
    return Palette{Hex(t.c[0]),  Hex(t.c[1]),  Hex(t.c[2]),  Hex(t.c[3]),  Hex(t.c[4]),  Hex(t.c[5]),  Hex(t.c[6]),
                   Hex(t.c[7]),  Hex(t.c[8]),  Hex(t.c[9]),  Hex(t.c[10]), Hex(t.c[11]), Hex(t.c[12]), Hex(t.c[13]),
                   Hex(t.c[14]), Hex(t.c[15]), Hex(s[0]),    Hex(s[1]),    Hex(s[2]),    Hex(s[3]),    Hex(s[4]),
                   Hex(s[5])};
}

Palette StartPalette() {
    Palette p = PaletteFor(0, 0);
    p.selectionColor = Hex(0x3D5A7B);
    return p;
}

const wchar_t* SchemeName(int scheme) { return kSchemes[Clamp(scheme, kSchemeCount)].name; }

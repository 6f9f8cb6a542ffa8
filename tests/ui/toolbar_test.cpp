#include "shell/toolbar.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <set>
#include <string>
#include <vector>

#include "base/gdiplus_inc.h"
#include "support/contrast.h"
#include "syntax/palette.h"

TEST(Toolbar, TooltipJoinsLabelAndShortcut) {
    // (Save's, shown by hovering its button, is the end-to-end test's.)
    EXPECT_STREQ(L"New File (Ctrl+N)", ToolbarTooltipText(0));
    EXPECT_STREQ(L"Settings (Ctrl+,)", ToolbarTooltipText(16));
    EXPECT_STREQ(L"", ToolbarTooltipText(17));
    EXPECT_STREQ(L"", ToolbarTooltipText(-1));
}

TEST(Toolbar, EveryButtonHasItsOwnCommandAndALabel) {
    std::set<int> commands;
    for (const ToolbarButton& b : kToolbarButtons) {
        commands.insert(b.command);
        EXPECT_STRNE(L"", LocalizedText(b.labelTable, b.labelEntry)) << b.command;
    }
    EXPECT_EQ(17u, commands.size());
}

namespace {

// One toolbar image as the program holds it: 18 x 18 premultiplied BGRA.
std::vector<uint32_t> ToolbarPixels(const std::wstring& path) {
    std::vector<uint32_t> pixels(18 * 18, 0);
    Gdiplus::Bitmap source(path.c_str());
    if (source.GetLastStatus() != Gdiplus::Ok) return {};
    Gdiplus::Bitmap target(18, 18, 18 * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(pixels.data()));
    Gdiplus::Graphics g(&target);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    g.Clear(Gdiplus::Color(0, 0, 0, 0));
    g.DrawImage(&source, 0, 0, 18, 18);
    return pixels;
}

// The contrast of a nearly opaque pixel (premultiplied BGRA) drawn over the bar.
double PixelContrast(uint32_t p, Colour bar) {
    const uint32_t a = p >> 24;
    const auto over = [&](int from, int to) { return ((p >> from) & 0xFF) + ((bar >> to) & 0xFF) * (255 - a) / 255; };
    return Contrast(over(16, 0) | over(8, 8) << 8 | over(0, 16) << 16, bar);
}

}  // namespace

// The images' outlines stand out from the toolbar of every theme by 3 : 1: on a light bar after
// IconForLightBar, on a dark one as they are.
TEST(Toolbar, IconsStandOutFromTheBarOfEveryTheme) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token, &input, nullptr));
    WIN32_FIND_DATAW found{};
    const std::string folder = std::string(TESSARY_SOURCE_DIR) + "/res/toolbar/";
    const std::wstring wideFolder(folder.begin(), folder.end());
    HANDLE find = FindFirstFileW((wideFolder + L"*.png").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    int images = 0;
    do {
        const std::vector<uint32_t> original = ToolbarPixels(wideFolder + found.cFileName);
        ASSERT_EQ(18u * 18u, original.size());
        ++images;
        for (int theme = 0; theme < kThemeCount; ++theme) {
            const Colour bar = PaletteFor(theme, 0).panelColor;
            std::vector<uint32_t> shown = original;
            if (IsLightColour(bar)) IconForLightBar(shown.data(), shown.size(), bar);
            for (uint32_t p : shown) {
                if ((p >> 24) < 230) continue;  // edges and shadows
                const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
                const bool grey = std::max({r, g, b}) - std::min({r, g, b}) <= 24;
                if (!grey && !IsLightColour(bar)) continue;  // coloured details are made for light bars
                EXPECT_GE(PixelContrast(p, bar), 3.0)
                    << std::string(found.cFileName, found.cFileName + wcslen(found.cFileName)) << " theme " << theme
                    << " pixel " << std::hex << p;
            }
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
    EXPECT_EQ(17 * 3, images);  // every image at 100, 150 and 200 %
    Gdiplus::GdiplusShutdown(token);
}

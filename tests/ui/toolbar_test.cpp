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
#include "syntax/palette.h"

TEST(Toolbar, TooltipJoinsLabelAndShortcut) {
    EXPECT_STREQ(L"New File (Ctrl+N)", ToolbarTooltipText(0));
    EXPECT_STREQ(L"Copy (Ctrl+C)", ToolbarTooltipText(7));
    EXPECT_STREQ(L"Hex Mode (Ctrl+Alt+H)", ToolbarTooltipText(15));
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

double Luminance(uint32_t r, uint32_t g, uint32_t b) {
    const auto channel = [](uint32_t v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(r) + 0.7152 * channel(g) + 0.0722 * channel(b);
}

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

// The contrast of a nearly opaque pixel drawn over the bar.
double PixelContrast(uint32_t p, Colour bar) {
    const uint32_t a = p >> 24;
    auto over = [&](uint32_t premultiplied, uint32_t back) { return premultiplied + back * (255 - a) / 255; };
    const double lp = Luminance(over((p >> 16) & 0xFF, bar & 0xFF), over((p >> 8) & 0xFF, (bar >> 8) & 0xFF),
                                over(p & 0xFF, (bar >> 16) & 0xFF));
    const double lb = Luminance(bar & 0xFF, (bar >> 8) & 0xFF, (bar >> 16) & 0xFF);
    return (std::max(lp, lb) + 0.05) / (std::min(lp, lb) + 0.05);
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

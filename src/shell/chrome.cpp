#include "shell/chrome.h"

#include <shlwapi.h>
#include <algorithm>
#include <cstring>

#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/gdi_util.h"
#include "base/gdiplus_inc.h"
#include "base/layout.h"
#include "document/document.h"
#include "document/tab_rules.h"
#include "document/tabs.h"
#include "syntax/palette.h"
#include "shell/toolbar.h"

namespace {

// Decodes one embedded image and draws it into a size x size premultiplied ARGB bitmap.
HBITMAP LoadToolbarImage(HINSTANCE instance, int resourceId, int size) {
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!resource) return nullptr;
    const DWORD bytes = SizeofResource(instance, resource);
    HGLOBAL loaded = LoadResource(instance, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || bytes == 0) return nullptr;
    IStream* stream = SHCreateMemStream(static_cast<const BYTE*>(data), bytes);
    if (!stream) return nullptr;
    HBITMAP result = nullptr;
    {
        Gdiplus::Bitmap source(stream);
        if (source.GetLastStatus() == Gdiplus::Ok) {
            BITMAPINFO bi{};
            bi.bmiHeader.biSize = sizeof bi.bmiHeader;
            bi.bmiHeader.biWidth = size;
            bi.bmiHeader.biHeight = -size;
            bi.bmiHeader.biPlanes = 1;
            bi.bmiHeader.biBitCount = 32;
            void* bits = nullptr;
            result = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
            if (result) {
                Gdiplus::Bitmap target(size, size, size * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
                Gdiplus::Graphics g(&target);
                g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
                g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
                g.Clear(Gdiplus::Color(0, 0, 0, 0));
                g.DrawImage(&source, 0, 0, size, size);
            }
        }
    }
    stream->Release();
    return result;
}

std::vector<int> tabWidths;
std::vector<int> tabEdges{0};
std::vector<std::wstring> cachedTitles;
int cachedLeft = -1;
int cachedDpi = 0;
HDC measuringDc = nullptr;

// The strip as last laid out, how far it is scrolled, and what it was last scrolled to show: a
// change of the active tab, of the tab count or of the bar brings the active tab into view again,
// while a wheel turn moves the strip freely until then.
TabStrip strip;
int stripScroll = 0;
HWND revealedEditor = nullptr;
size_t revealedCount = 0;
int revealedLeft = -1, revealedRight = -1;

constexpr int kTabMinWidth = 140;  // room for a name like "file_30.txt" between the dot and the close mark
constexpr int kTabListButtonWidth = 34;

constexpr COLORREF kCloseHover = RGB(0xC4, 0x39, 0x3A);
constexpr COLORREF kActiveMarker = RGB(0x38, 0xD6, 0xC0);
constexpr COLORREF kDotReadOnly = RGB(0x66, 0x66, 0x66);
constexpr COLORREF kDotModified = RGB(0xE0, 0x45, 0x45);
constexpr COLORREF kDotClean = RGB(0x22, 0xC7, 0xA7);

void FillCircle(HDC dc, const Rect& box, COLORREF colour) {
    Gdiplus::Graphics g(dc);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    Gdiplus::SolidBrush brush(Gdiplus::Color(255, GetRValue(colour), GetGValue(colour), GetBValue(colour)));
    g.FillEllipse(&brush, box.left, box.top, box.Width(), box.Height());
}

Rect Centered(const Rect& r, int w, int h) {
    const int x = r.left + (r.Width() - w) / 2;
    const int y = r.top + (r.Height() - h) / 2;
    return Rect{x, y, x + w, y + h};
}

void DrawFrameRect(HDC dc, int l, int t, int r, int b, COLORREF colour) {
    DrawLine(dc, l, t, r, t, colour);
    DrawLine(dc, r, t, r, b, colour);
    DrawLine(dc, r, b, l, b, colour);
    DrawLine(dc, l, b, l, t, colour);
}

// A copy of an 18 x 18 toolbar image made for a light bar (IconForLightBar); null when the image's
// pixels cannot be read.
HBITMAP LightBarCopy(HBITMAP image) {
    DIBSECTION section{};
    if (GetObjectW(image, sizeof section, &section) != sizeof section || !section.dsBm.bmBits) return nullptr;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 18;
    bi.bmiHeader.biHeight = -18;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP copy = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!copy) return nullptr;
    GdiFlush();
    std::memcpy(bits, section.dsBm.bmBits, 18 * 18 * 4);
    IconForLightBar(static_cast<uint32_t*>(bits), 18 * 18, palette.panelColor);
    return copy;
}

void DrawToolbarImage(HDC dc, HBITMAP image, const Rect& button) {
    HBITMAP light = IsLightColour(palette.panelColor) ? LightBarCopy(image) : nullptr;
    if (light) image = light;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, image);
    BITMAP info{};
    GetObjectW(image, sizeof info, &info);
    const int side = info.bmWidth;  // made for the window's scale
    const Rect box = Centered(button, side, side);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, box.left, box.top, side, side, source, 0, 0, side, side, blend);
    SelectObject(source, old);
    DeleteDC(source);
    if (light) DeleteObject(light);
}

}  // namespace

void UpdateTabLayout() {
    const int left = app.rects.tabBar.left;
    bool same = cachedTitles.size() == documents.size() && cachedLeft == left && cachedDpi == app.dpi;
    for (size_t i = 0; same && i < documents.size(); ++i) same = cachedTitles[i] == documents[i].title;
    if (same) return;
    if (!measuringDc) measuringDc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(measuringDc, app.tabFont);
    cachedTitles.clear();
    tabWidths.clear();
    for (const Document& doc : documents) {
        cachedTitles.push_back(doc.title);
        SIZE size{};
        GetTextExtentPoint32W(measuringDc, doc.title.c_str(), static_cast<int>(doc.title.size()), &size);
        tabWidths.push_back(TabWidthForText(size.cx, app.dpi));
    }
    SelectObject(measuringDc, old);
    cachedLeft = left;
    cachedDpi = app.dpi;
}

void UpdateTabStrip() {
    UpdateTabLayout();
    const Rect& bar = app.rects.tabBar;
    const Document* active = ActiveDocument();
    HWND activeEditor = active ? active->editor : nullptr;
    TabStripInput in;
    in.left = bar.left;
    in.right = bar.right;
    in.widths = tabWidths;
    in.minWidth = Px(kTabMinWidth);
    in.buttonWidth = Px(kTabListButtonWidth);
    in.active = app.activeTab;
    in.scroll = stripScroll;
    in.revealActive = activeEditor != revealedEditor || documents.size() != revealedCount ||
                      bar.left != revealedLeft || bar.right != revealedRight;
    strip = LayOutTabStrip(in);
    stripScroll = strip.scroll;
    tabEdges = strip.edges;
    revealedEditor = activeEditor;
    revealedCount = documents.size();
    revealedLeft = bar.left;
    revealedRight = bar.right;
}

int TabAt(int x) {
    UpdateTabStrip();
    if (x < strip.viewLeft || x >= strip.viewRight) return -1;
    return ::TabAt(tabEdges, x);
}

Rect TabRect(int index) {
    UpdateTabStrip();
    if (index < 0 || static_cast<size_t>(index) + 1 >= tabEdges.size()) return Rect{};
    const Rect& bar = app.rects.tabBar;
    return Rect{tabEdges[static_cast<size_t>(index)], bar.top, tabEdges[static_cast<size_t>(index) + 1], bar.bottom};
}

bool TabCloseMarkAt(int index, int x) {
    UpdateTabStrip();
    return x < strip.viewRight && TabCloseMarkHit(tabEdges, index, x, app.dpi);
}

bool TabListButtonAt(int x, int y) {
    UpdateTabStrip();
    const Rect& bar = app.rects.tabBar;
    return strip.HasButton(bar.right) && Rect{strip.buttonLeft, bar.top, bar.right, bar.bottom}.Contains(x, y);
}

Rect TabListButtonRect() {
    UpdateTabStrip();
    const Rect& bar = app.rects.tabBar;
    return strip.HasButton(bar.right) ? Rect{strip.buttonLeft, bar.top, bar.right, bar.bottom} : Rect{};
}

bool ScrollTabBar(int delta) {
    UpdateTabStrip();
    const int scroll = std::clamp(ScrollTabStrip(stripScroll, delta, Px(kTabMinWidth)), 0, strip.maxScroll);
    if (scroll == stripScroll) return false;
    stripScroll = scroll;
    return true;
}

void ReleaseChromeResources() {
    if (measuringDc) DeleteDC(measuringDc);
    measuringDc = nullptr;
    cachedTitles.clear();
    cachedLeft = -1;
}

void PaintTabBar(HDC dc) {
    UpdateTabStrip();
    const Rect& bar = app.rects.tabBar;
    FillSolid(dc, bar, palette.panelColor);
    // Tabs scrolled partly out of view are cut at the view's edges.
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, strip.viewLeft, bar.top, strip.viewRight, bar.bottom);
    for (int i = 0; i < static_cast<int>(documents.size()); ++i) {
        const int l = tabEdges[static_cast<size_t>(i)];
        const int r = tabEdges[static_cast<size_t>(i) + 1];
        if (r <= strip.viewLeft) continue;
        if (l >= strip.viewRight) break;
        const Document& doc = documents[static_cast<size_t>(i)];
        const bool active = i == app.activeTab;
        const bool hovered = i == app.hoveredTab;
        FillSolid(dc, Rect{l, bar.top, r, bar.bottom},
                  active ? palette.editorColor : (hovered ? palette.hoverColor : palette.panelColor));
        FillSolid(dc, Rect{r - 1, bar.top + Px(8), r, bar.bottom - Px(8)}, palette.borderColor);  // separator
        if (active) FillSolid(dc, Rect{l, bar.bottom - Px(3), r, bar.bottom}, kActiveMarker);
        const COLORREF dot = doc.readOnlyFile ? kDotReadOnly : (doc.modified ? kDotModified : kDotClean);
        FillCircle(dc, Rect{l + Px(7), bar.top + Px(13), l + Px(15), bar.top + Px(21)}, dot);
        DrawTextBox(dc, doc.title, Rect{l + Px(26), bar.top, r - Px(34), bar.bottom}, app.tabFont,
                    active ? palette.textColor : palette.dimTextColor, DT_LEFT | DT_PATH_ELLIPSIS);
        const bool closeHot = hovered && app.hoveredTabClose;
        if (closeHot)
            FillSolid(dc, Rect{r - Px(20), bar.top + Px(7), r - Px(4), bar.bottom - Px(7)}, palette.activeColor);
        DrawTextBox(dc, L"x", Rect{r - Px(18), bar.top, r - Px(6), bar.bottom}, app.tabFont,
                    closeHot ? palette.textColor : palette.dimTextColor, DT_CENTER);
    }
    RestoreDC(dc, saved);
    if (!strip.HasButton(bar.right)) return;
    // The list button: a down-pointing chevron, over a faint fill while the pointer is on it.
    const Rect button{strip.buttonLeft, bar.top, bar.right, bar.bottom};
    if (app.hoveredTabList) FillSolid(dc, button, palette.hoverColor);
    FillSolid(dc, Rect{button.left, bar.top + Px(8), button.left + 1, bar.bottom - Px(8)}, palette.borderColor);
    const int cx = (button.left + button.right) / 2, cy = (bar.top + bar.bottom) / 2;
    const COLORREF pen = app.hoveredTabList ? palette.textColor : palette.dimTextColor;
    for (int t = 0; t < Px(2); ++t) {
        DrawLine(dc, cx - Px(5), cy - Px(2) + t, cx, cy + Px(3) + t, pen);
        DrawLine(dc, cx, cy + Px(3) + t, cx + Px(5), cy - Px(2) + t, pen);
    }
}

void PaintToolbar(HDC dc) {
    const Rect& bar = app.rects.toolbar;
    FillSolid(dc, bar, palette.panelColor);
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        const Rect button = ToolbarButtonRect(bar, i, app.dpi);
        const bool hovered = i == app.hoveredToolbarButton;
        if (hovered) FillSolid(dc, button, palette.hoverColor);
        if (app.toolbarImages[i]) {
            DrawToolbarImage(dc, app.toolbarImages[i], button);
        } else {
            DrawTextBox(dc, kToolbarButtons[i].glyph, button, app.uiFont,
                        hovered ? palette.textColor : palette.dimTextColor, DT_CENTER);
        }
    }
    FillSolid(dc, Rect{bar.left, bar.bottom - 1, bar.right, bar.bottom}, palette.borderColor);
}

void PaintCaption(HDC dc) {
    const LayoutRects& r = app.rects;
    FillSolid(dc, r.caption, palette.panelColor);
    if (app.smallIcon)
        DrawIconEx(dc, r.caption.left + Px(12), r.caption.top + Px(7), app.smallIcon, Px(18), Px(18), 0, nullptr,
                   DI_NORMAL);
    DrawTextBox(dc, CurrentWindowTitle(),
                Rect{r.caption.left + Px(32), r.caption.top, r.sidebarToggle.left - Px(6), r.caption.bottom},
                app.captionFont, palette.textColor, DT_LEFT | DT_PATH_ELLIPSIS);

    if (app.hoveredCaptionButton == 5) FillSolid(dc, r.sidebarToggle, palette.hoverColor);
    DrawTextBox(dc, L"\u2630", r.sidebarToggle, app.uiFont,
                app.sidebarVisible ? palette.textColor : palette.faintTextColor, DT_CENTER);

    const COLORREF minPen = app.hoveredCaptionButton == 1 ? palette.textColor : palette.dimTextColor;
    if (app.hoveredCaptionButton == 1) FillSolid(dc, r.minimize, palette.hoverColor);
    int cx = (r.minimize.left + r.minimize.right) / 2, cy = (r.minimize.top + r.minimize.bottom) / 2;
    DrawLine(dc, cx - Px(5), cy + Px(4), cx + Px(6), cy + Px(4), minPen);

    const COLORREF maxPen = app.hoveredCaptionButton == 2 ? palette.textColor : palette.dimTextColor;
    if (app.hoveredCaptionButton == 2) FillSolid(dc, r.maximize, palette.hoverColor);
    cx = (r.maximize.left + r.maximize.right) / 2;
    cy = (r.maximize.top + r.maximize.bottom) / 2;
    if (!app.maximized && !app.fullScreen) {
        DrawFrameRect(dc, cx - Px(5), cy - Px(5), cx + Px(5), cy + Px(5), maxPen);
    } else {
        DrawFrameRect(dc, cx - Px(2), cy - Px(7), cx + Px(4), cy + Px(3), maxPen);
        FillSolid(dc, Rect{cx - Px(6), cy - Px(3), cx + Px(2), cy + Px(7)},
                  app.hoveredCaptionButton == 2 ? palette.hoverColor : palette.panelColor);
        DrawFrameRect(dc, cx - Px(6), cy - Px(3), cx + Px(2), cy + Px(7), maxPen);
    }

    const bool closeHot = app.hoveredCaptionButton == 3;
    if (closeHot) FillSolid(dc, r.close, kCloseHover);
    cx = (r.close.left + r.close.right) / 2;
    cy = (r.close.top + r.close.bottom) / 2;
    const COLORREF closePen = closeHot ? RGB(255, 255, 255) : palette.dimTextColor;
    DrawLine(dc, cx - Px(5), cy - Px(5), cx + Px(6), cy + Px(6), closePen);
    DrawLine(dc, cx + Px(5), cy - Px(5), cx - Px(6), cy + Px(6), closePen);

    FillSolid(dc, Rect{r.caption.left, r.caption.bottom - 1, r.caption.right, r.caption.bottom}, palette.borderColor);
}

void ReleaseToolbarImages() {
    for (HBITMAP& image : app.toolbarImages) {
        if (image) DeleteObject(image);
        image = nullptr;
    }
}

void ReloadToolbarImages() {
    ReleaseToolbarImages();
    // Each image is embedded drawn for 100, 150 and 200 % (resources 101, 201 and 301 on): the
    // smallest that is at least the size needed is scaled down to it, never one scaled up unless
    // even the largest is too small.
    const int size = Px(kToolbarImageSize);
    const int firstId = size <= kToolbarImageSize ? 101 : size <= Scale(kToolbarImageSize, 144) ? 201 : 301;
    for (int i = 0; i < 17; ++i) app.toolbarImages[i] = LoadToolbarImage(app.instance, firstId + i, size);
}

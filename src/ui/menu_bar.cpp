#include "ui/menu_bar.h"

#include <windowsx.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/gdi_util.h"
#include "app/gdiplus_inc.h"
#include "app/main_window.h"
#include "document/document.h"
#include "io/convert.h"
#include "syntax/palette.h"
#include "ui/commands.h"

namespace {

MenuModel model;
std::vector<Rect> titleRects;

// The open menu and submenu; app.openMenu says which menu it is.
struct OpenMenuState {
    int hoveredRow = -1;  // index into rows.rows
    int openSubmenu = -1;
    int hoveredSubRow = -1;  // index into the submenu's items
    MenuRows rows;
    int menuWidth = 0, menuHeight = 0, shortcutWidth = 0;  // menuHeight: the body as shown
    int menuScroll = 0;                                    // pixels of a cut menu's rows scrolled above its top
    bool alignRight = false;                               // the body ends at the origin (the tab list)
    int submenuWidth = 0, submenuHeight = 0;
    POINT origin{};   // screen point the body was asked to start at
    POINT menuPos{};  // popup window positions, screen coordinates
    POINT submenuPos{};
};
OpenMenuState state;

void RepaintMenuBar() { RepaintArea(app.rects.menuBar); }

// The popups are measured and drawn in design pixels and scaled to the display as a whole (a
// transform when drawing, the window's size and the pointer's position when placing and hit
// testing), so their fonts are the menu font at its design size.
LOGFONTW MenuLogFont() {
    LOGFONTW lf{};
    GetObjectW(app.menuFont, sizeof lf, &lf);
    lf.lfHeight = Unscale(lf.lfHeight, app.dpi);
    return lf;
}

// The menu font's face, one unit smaller.
LOGFONTW ShortcutLogFont() {
    LOGFONTW lf = MenuLogFont();
    lf.lfHeight += lf.lfHeight < 0 ? 1 : -1;
    return lf;
}

POINT PopupPoint(POINT local) { return POINT{Unscale(local.x, app.dpi), Unscale(local.y, app.dpi)}; }

CheckState CurrentChecks() {
    CheckState checks{app.uiLanguage, app.colorScheme, app.theme, app.columnMode != 0, app.settings.wordWrap};
    checks.activeTab = app.activeTab;
    if (const Document* doc = ActiveDocument(); doc && !doc->hexMode) {
        checks.encodingCommand = CommandForEncoding(doc->encoding);
        checks.lineEndingCommand = CommandForLineEnding(doc->lineEnding);
    }
    return checks;
}

// Dark text on light fills; the fixed white would vanish on the Light theme's greys.
Colour TextOnFill(Colour fill) {
    if (!IsLightFill(fill)) return Rgb(255, 255, 255);
    return IsLightFill(palette.textColor) ? Rgb(0, 0, 0) : palette.textColor;
}

Gdiplus::Color ToArgb(Colour c, BYTE alpha = 255) {
    return Gdiplus::Color(alpha, GetRValue(c), GetGValue(c), GetBValue(c));
}

RECT WorkAreaAt(POINT screen) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromPoint(screen, MONITOR_DEFAULTTONEAREST), &info)) return info.rcWork;
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// Widest of some texts in a font, measured the way they are drawn.
double WidestText(Gdiplus::Graphics& g, const Gdiplus::Font& font, const std::vector<const std::wstring*>& texts) {
    double widest = 0;
    for (const std::wstring* text : texts) {
        if (text->empty()) continue;
        Gdiplus::RectF box;
        g.MeasureString(text->c_str(), static_cast<INT>(text->size()), &font, Gdiplus::PointF(0, 0),
                        Gdiplus::StringFormat::GenericTypographic(), &box);
        widest = std::max(widest, static_cast<double>(box.Width));
    }
    return widest;
}

// One row of a popup as it is drawn.
struct PopupRow {
    bool separator = false;
    std::wstring label, shortcut;
    bool checked = false, opensSubmenu = false, hovered = false;
};

struct PopupImage {
    int bodyWidth = 0, bodyHeight = 0;
    int scroll = 0;      // pixels of rows above the body's top
    int labelRight = 0;  // right end of the label box, popup coordinates
    std::vector<PopupRow> rows;
};

void AddRoundedRect(Gdiplus::GraphicsPath& path, float x, float y, float w, float h, float radius) {
    const float d = radius * 2;
    path.AddArc(x, y, d, d, 180, 90);
    path.AddArc(x + w - d, y, d, d, 270, 90);
    path.AddArc(x + w - d, y + h - d, d, d, 0, 90);
    path.AddArc(x, y + h - d, d, d, 90, 90);
    path.CloseFigure();
}

void DrawPopupContent(Gdiplus::Graphics& g, HDC dc, const PopupImage& image) {
    using namespace Gdiplus;
    const float m = kMenuShadowMargin;
    const float w = static_cast<float>(image.bodyWidth), h = static_cast<float>(image.bodyHeight);

    // Soft shadow, a little below the body: widest and faintest layer first.
    const std::vector<double> alphas = ShadowRingAlphas();
    for (int i = kShadowRings; i >= 1; --i) {
        const float grow = static_cast<float>(i);
        GraphicsPath layer;
        AddRoundedRect(layer, m - grow, m - grow + kShadowDrop, w + 2 * grow, h + 2 * grow, 4 + 0.4f * grow);
        SolidBrush shade(Color(static_cast<BYTE>(alphas[static_cast<size_t>(i - 1)] * 255 + 0.5), 0, 0, 0));
        g.FillPath(&shade, &layer);
    }

    GraphicsPath body;
    AddRoundedRect(body, m, m, w, h, 4);
    SolidBrush bodyBrush(ToArgb(palette.inputColor));
    g.FillPath(&bodyBrush, &body);
    // The outline runs along pixel centres so that it stays one crisp pixel wide.
    GraphicsPath outline;
    AddRoundedRect(outline, m + 0.5f, m + 0.5f, w - 1, h - 1, 4);
    Pen border(ToArgb(palette.borderColor), 1);
    g.DrawPath(&border, &outline);

    const LOGFONTW labelLogFont = MenuLogFont(), smallLogFont = ShortcutLogFont();
    Font labelFont(dc, &labelLogFont);
    Font smallFont(dc, &smallLogFont);
    const float fontHeight = labelFont.GetHeight(&g);
    StringFormat format(StringFormat::GenericTypographic());
    format.SetFormatFlags(format.GetFormatFlags() | StringFormatFlagsNoWrap);
    format.SetTrimming(StringTrimmingEllipsisCharacter);
    StringFormat rightAligned(&format);
    rightAligned.SetAlignment(StringAlignmentFar);

    const Colour hoverFill = palette.accentColor;
    const bool lightHover = IsLightFill(hoverFill);
    // Rows of a cut, scrolled menu stay inside the body.
    g.SetClip(RectF(m, m + 1, w, h - 2));
    int y = 16 - image.scroll;
    for (const PopupRow& row : image.rows) {
        if (row.separator) {
            SolidBrush line(ToArgb(palette.borderColor));
            g.FillRectangle(&line, 20, y + 4, image.bodyWidth + 4 - 20, 1);
            y += kMenuSeparatorHeight;
            continue;
        }
        Colour labelColour = palette.textColor, shortcutColour = palette.dimTextColor,
               checkColour = palette.accentColor;
        if (row.hovered) {
            SolidBrush fill(ToArgb(hoverFill));
            g.FillRectangle(&fill, 13, y, image.bodyWidth - 2, kMenuRowHeight);
            labelColour = checkColour = TextOnFill(hoverFill);
            shortcutColour = lightHover ? Rgb(0x40, 0x40, 0x40) : Rgb(0xE0, 0xE0, 0xE0);
        }
        const float textTop = y + (kMenuRowHeight - fontHeight) / 2;
        const float centreY = y + kMenuRowHeight / 2.0f;
        float labelLeft = 26;
        if (row.checked) {
            // A drawn tick: the glyph is missing from some interface fonts.
            Pen tick(ToArgb(checkColour), 1.8f);
            tick.SetLineJoin(LineJoinRound);
            tick.SetStartCap(LineCapRound);
            tick.SetEndCap(LineCapRound);
            const PointF points[] = {PointF(27.5f, centreY), PointF(30.5f, centreY + 3.5f),
                                     PointF(36.5f, centreY - 4.0f)};
            g.DrawLines(&tick, points, 3);
            labelLeft += 14;
        }
        SolidBrush labelBrush(ToArgb(labelColour));
        const RectF labelBox(labelLeft, textTop, image.labelRight - labelLeft, kMenuRowHeight - (textTop - y));
        g.DrawString(row.label.c_str(), static_cast<INT>(row.label.size()), &labelFont, labelBox, &format, &labelBrush);
        if (row.opensSubmenu) {
            Pen chevron(ToArgb(shortcutColour), 1.5f);
            chevron.SetLineJoin(LineJoinRound);
            chevron.SetStartCap(LineCapRound);
            chevron.SetEndCap(LineCapRound);
            const float x = static_cast<float>(image.bodyWidth) - 5;
            const PointF points[] = {PointF(x, centreY - 4), PointF(x + 4, centreY), PointF(x, centreY + 4)};
            g.DrawLines(&chevron, points, 3);
        }
        if (!row.shortcut.empty()) {
            SolidBrush shortcutBrush(ToArgb(shortcutColour));
            const RectF box(26, textTop, static_cast<float>(image.bodyWidth - 20 - 26), kMenuRowHeight - (textTop - y));
            g.DrawString(row.shortcut.c_str(), static_cast<INT>(row.shortcut.size()), &smallFont, box, &rightAligned,
                         &shortcutBrush);
        }
        y += kMenuRowHeight;
    }
}

// Renders a popup into a premultiplied 32-bit image and hands it to the layered window.
void PaintPopup(HWND window, POINT position, const PopupImage& image) {
    const int w = Px(image.bodyWidth + 2 * kMenuShadowMargin), h = Px(image.bodyHeight + 2 * kMenuShadowMargin);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down, so the rows match GDI+'s stride
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib && bits) {
        HGDIOBJ old = SelectObject(dc, dib);
        {
            Gdiplus::Bitmap canvas(w, h, w * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
            Gdiplus::Graphics g(&canvas);
            g.Clear(Gdiplus::Color(0, 0, 0, 0));
            g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
            g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
            if (app.dpi != kDesignDpi) {
                const float f = static_cast<float>(app.dpi) / kDesignDpi;
                g.ScaleTransform(f, f);
            }
            DrawPopupContent(g, dc, image);
        }
        SIZE size{w, h};
        POINT source{0, 0};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        UpdateLayeredWindow(window, screen, &position, &size, dc, &source, 0, &blend, ULW_ALPHA);
        SelectObject(dc, old);
    }
    if (dib) DeleteObject(dib);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

void PaintMenu() {
    if (app.openMenu < 0 || app.openMenu >= static_cast<int>(model.menus.size())) return;
    const Menu& menu = model.menus[static_cast<size_t>(app.openMenu)];
    const CheckState checks = CurrentChecks();
    PopupImage image;
    image.bodyWidth = state.menuWidth;
    image.bodyHeight = state.menuHeight;
    image.scroll = state.menuScroll;
    image.labelRight = 26 + state.menuWidth - state.shortcutWidth - 58;
    int row = 0;
    for (const MenuItem& item : menu.items) {
        PopupRow r;
        r.separator = item.separator;
        if (!item.separator) {
            r.label = item.label;
            r.shortcut = item.shortcut;
            r.checked = MenuItemChecked(item.id, checks);
            r.opensSubmenu = item.id < 0;
            r.hovered = row == state.hoveredRow;
            ++row;
        }
        image.rows.push_back(std::move(r));
    }
    PaintPopup(app.menuPopupWindow, state.menuPos, image);
}

void PaintSubmenu() {
    if (state.openSubmenu < 0) return;
    const CheckState checks = CurrentChecks();
    PopupImage image;
    image.bodyWidth = state.submenuWidth;
    image.bodyHeight = state.submenuHeight;
    // Submenus have no shortcut column: the label may use the body up to a small right margin.
    image.labelRight = kMenuShadowMargin + state.submenuWidth - 8;
    const std::vector<SubmenuItem>& items = model.submenus[static_cast<size_t>(state.openSubmenu)];
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        const SubmenuItem& item = items[static_cast<size_t>(i)];
        PopupRow r;
        r.separator = item.separator;
        if (!item.separator) {
            r.label = item.label;
            r.checked = SubmenuItemChecked(state.openSubmenu, item.id, checks);
            r.hovered = i == state.hoveredSubRow;
        }
        image.rows.push_back(std::move(r));
    }
    PaintPopup(app.subMenuPopupWindow, state.submenuPos, image);
}

// Measures the open menu, places its popup with the body at `origin` and shows it.
void ShowOpenMenu(POINT origin) {
    const Menu& menu = model.menus[static_cast<size_t>(app.openMenu)];
    std::vector<const std::wstring*> labels, shortcuts;
    for (const MenuItem& item : menu.items) {
        if (item.separator) continue;
        labels.push_back(&item.label);
        shortcuts.push_back(&item.shortcut);
    }
    HDC dc = CreateCompatibleDC(nullptr);
    double labelWidth = 0, shortcutWidth = 0;
    {
        Gdiplus::Graphics g(dc);
        const LOGFONTW labelLogFont = MenuLogFont(), smallLogFont = ShortcutLogFont();
        Gdiplus::Font labelFont(dc, &labelLogFont);
        Gdiplus::Font smallFont(dc, &smallLogFont);
        labelWidth = WidestText(g, labelFont, labels);
        shortcutWidth = WidestText(g, smallFont, shortcuts);
    }
    DeleteDC(dc);

    state.shortcutWidth = static_cast<int>(shortcutWidth);
    state.menuWidth = MenuBodyWidth(labelWidth, shortcutWidth);
    state.rows = LayoutMenuRows(menu.items);
    state.origin = origin;
    state.menuScroll = 0;
    const RECT work = WorkAreaAt(origin);
    // The body is placed in design pixels, measured from its title's bottom edge.
    const DropDownPlace place =
        PlaceDropDown(0, state.rows.height, Unscale(work.top - origin.y, app.dpi), Unscale(work.bottom - origin.y, app.dpi));
    state.menuHeight = place.shownHeight;
    if (app.openMenu == kTabListMenu && app.activeTab >= 0 &&
        app.activeTab < static_cast<int>(state.rows.rows.size())) {
        // The list of tabs opens on the active one: its row in view and lit.
        state.hoveredRow = app.activeTab;
        state.menuScroll = ScrollDropDownToRow(0, state.rows, app.activeTab, state.menuHeight);
    }
    const int w = Px(state.menuWidth + 2 * kMenuShadowMargin), h = Px(state.menuHeight + 2 * kMenuShadowMargin);
    const int bodyLeft = state.alignRight ? origin.x - Px(state.menuWidth) : origin.x;
    state.menuPos = POINT{FitInto(bodyLeft - Px(kMenuShadowMargin), w, work.left, work.right),
                          origin.y + Px(place.windowTop)};
    PaintMenu();
    SetWindowPos(app.menuPopupWindow, HWND_TOPMOST, state.menuPos.x, state.menuPos.y, w, h,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void SetHoveredTitle(int title) {
    if (app.hoveredMenuItem == title) return;
    app.hoveredMenuItem = title;
    RepaintMenuBar();
}

// The menu-bar title under a screen point, or -1.
// The menu bar title under a screen point, -1 if none. Only a menu opened from the bar follows the
// pointer along the bar: a context menu stays what it is until it closes.
int TitleAtScreen(POINT screen) {
    if (app.openMenu < 0 || app.openMenu >= static_cast<int>(titleRects.size())) return -1;
    ScreenToClient(app.mainWindow, &screen);
    return app.rects.menuBar.Contains(screen.x, screen.y) ? MenuTitleAt(screen.x, screen.y) : -1;
}

// The submenu item under a screen point; -1 on a separator or outside; `inside` tells whether the
// point is on the submenu's body at all.
int SubmenuItemAtScreen(POINT screen, bool& inside) {
    inside = false;
    if (state.openSubmenu < 0) return -1;
    const POINT at = PopupPoint(POINT{screen.x - state.submenuPos.x, screen.y - state.submenuPos.y});
    const int x = at.x, y = at.y;
    inside = InMenuBody(state.submenuWidth, state.submenuHeight, x, y);
    return SubmenuItemAt(model.submenus[static_cast<size_t>(state.openSubmenu)], state.submenuWidth, x, y);
}

const MenuItem* OpenMenuItemAtRow(int row) {
    if (app.openMenu < 0 || row < 0 || row >= static_cast<int>(state.rows.rows.size())) return nullptr;
    return &model.menus[static_cast<size_t>(app.openMenu)].items[static_cast<size_t>(state.rows.rows[row].item)];
}

void OnPopupMouseMove(HWND window, POINT local) {
    POINT screen = local;
    ClientToScreen(window, &screen);
    const int title = TitleAtScreen(screen);
    SetHoveredTitle(title);
    if (title >= 0 && title != app.openMenu) return OpenMenu(title);

    bool inSubmenu = false;
    const int subRow = SubmenuItemAtScreen(screen, inSubmenu);
    if (inSubmenu) {
        if (subRow != state.hoveredSubRow) {
            state.hoveredSubRow = subRow;
            PaintSubmenu();
        }
        return;
    }
    if (state.hoveredSubRow >= 0) {
        state.hoveredSubRow = -1;
        PaintSubmenu();
    }

    const POINT at = PopupPoint(local);
    const int row = InMenuBody(state.menuWidth, state.menuHeight, at.x, at.y)
                        ? MenuRowAt(state.rows, state.menuWidth, at.x, at.y + state.menuScroll)
                        : -1;
    if (row != state.hoveredRow) {
        state.hoveredRow = row;
        PaintMenu();
    }
    const MenuItem* item = OpenMenuItemAtRow(row);
    const int submenu = item ? SubmenuOf(item->id) : -1;
    if (submenu < 0) return CloseSubmenu();
    if (submenu == state.openSubmenu) return;
    POINT corner{Px(20), Px(state.rows.rows[static_cast<size_t>(row)].top - state.menuScroll)};
    ClientToScreen(window, &corner);
    OpenSubmenu(submenu, corner);
}

// A click that closed the menus goes on to what lies under it. Clicks on the main window and on
// the editor go through the main window, which routes editor clicks itself (column mode).
void RepostClick(UINT message, WPARAM keys, POINT screen) {
    HWND target = WindowFromPoint(screen);
    if (!target || !app.mainWindow || (target != app.mainWindow && !IsChild(app.mainWindow, target))) return;
    const Document* doc = ActiveDocument();
    if (message == WM_LBUTTONDOWN && doc && target == doc->editor) target = app.mainWindow;
    ScreenToClient(target, &screen);
    PostMessageW(target, message, keys, MAKELPARAM(screen.x, screen.y));
}

void OnPopupButtonDown(HWND window, UINT message, WPARAM keys, POINT local) {
    POINT screen = local;
    ClientToScreen(window, &screen);
    const int title = TitleAtScreen(screen);
    if (title >= 0) {
        if (title == app.openMenu)
            CloseMenus();
        else
            OpenMenu(title);
        return;
    }
    if (message != WM_LBUTTONDOWN) {
        CloseMenus();
        return RepostClick(message, keys, screen);
    }

    bool inSubmenu = false;
    const int subRow = SubmenuItemAtScreen(screen, inSubmenu);
    if (subRow >= 0) {
        const int id = model.submenus[static_cast<size_t>(state.openSubmenu)][static_cast<size_t>(subRow)].id;
        CloseMenus();
        return ExecuteCommand(id);
    }
    const POINT at = PopupPoint(local);
    const int row = InMenuBody(state.menuWidth, state.menuHeight, at.x, at.y)
                        ? MenuRowAt(state.rows, state.menuWidth, at.x, at.y + state.menuScroll)
                        : -1;
    const MenuItem* item = OpenMenuItemAtRow(row);
    // A click on the row that opened the submenu leaves both open.
    if (!item || SubmenuOf(item->id) != state.openSubmenu) CloseSubmenu();
    if (item) {
        if (item->id < 0) return;
        const int id = item->id;
        CloseMenus();
        return ExecuteCommand(id);
    }
    CloseMenus();
    RepostClick(message, keys, screen);
}

}  // namespace

void LayoutMenuTitles(HDC dc) {
    std::vector<int> widths;
    HGDIOBJ old = SelectObject(dc, app.menuFont);
    for (int i = 0; i < kMenuBarMenuCount && i < static_cast<int>(model.menus.size()); ++i) {
        const std::wstring& title = model.menus[static_cast<size_t>(i)].title;
        SIZE size{};
        GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &size);
        widths.push_back(size.cx);
    }
    SelectObject(dc, old);
    titleRects = LayoutTitleRects(widths, app.rects.menuBar.top, app.rects.menuBar.bottom, app.dpi);
}

void PaintMenuBar(HDC dc) {
    const Rect& bar = app.rects.menuBar;
    FillSolid(dc, bar, palette.panelColor);
    for (int i = 0; i < static_cast<int>(titleRects.size()); ++i) {
        const bool open = i == app.openMenu;
        const bool hovered = i == app.hoveredMenuItem;
        Colour text = palette.textColor;
        if (open || hovered) {
            const Colour fill = open ? palette.activeColor : palette.hoverColor;
            FillSolid(dc, titleRects[static_cast<size_t>(i)], fill);
            text = TextOnFill(fill);
        }
        DrawTextBox(dc, model.menus[static_cast<size_t>(i)].title, titleRects[static_cast<size_t>(i)], app.menuFont,
                    text, DT_CENTER);
    }
    FillSolid(dc, Rect{bar.left, bar.bottom - 1, bar.right, bar.bottom}, palette.borderColor);
}

int MenuTitleAt(int x, int y) { return TitleAt(titleRects, x, y); }

Rect MenuTitleRect(int index) {
    return index >= 0 && index < static_cast<int>(titleRects.size()) ? titleRects[static_cast<size_t>(index)] : Rect{};
}

void OpenMenu(int index) {
    if (index < 0 || index >= static_cast<int>(titleRects.size()) || !app.mainWindow) return;
    POINT at{titleRects[static_cast<size_t>(index)].left, app.rects.menuBar.bottom};
    ClientToScreen(app.mainWindow, &at);
    OpenMenuAt(index, at);
}

void OpenMenuAt(int index, POINT screen) {
    if (index < 0 || index >= static_cast<int>(model.menus.size()) || !app.menuPopupWindow) return;
    if (index == app.openMenu && IsWindowVisible(app.menuPopupWindow)) return;
    CloseSubmenu();
    state.alignRight = index == kTabListMenu;
    app.openMenu = index;
    state.hoveredRow = -1;
    ShowOpenMenu(screen);
    SetCapture(app.menuPopupWindow);
    RepaintMenuBar();
}

void OpenTabList(POINT screen) {
    if (model.menus.size() <= kTabListMenu) return;
    std::vector<std::wstring> titles;
    for (const Document& doc : documents) titles.push_back(doc.title);
    model.menus[kTabListMenu].items = TabListItems(titles);
    OpenMenuAt(kTabListMenu, screen);
}

void OpenSubmenu(int index, POINT screen) {
    if (index < 0 || index >= static_cast<int>(model.submenus.size()) || !app.subMenuPopupWindow || app.openMenu < 0)
        return;
    const std::vector<SubmenuItem>& items = model.submenus[static_cast<size_t>(index)];
    std::vector<const std::wstring*> labels;
    for (const SubmenuItem& item : items) {
        if (!item.separator) labels.push_back(&item.label);
    }
    HDC dc = CreateCompatibleDC(nullptr);
    double labelWidth = 0;
    {
        Gdiplus::Graphics g(dc);
        const LOGFONTW labelLogFont = MenuLogFont();
        Gdiplus::Font labelFont(dc, &labelLogFont);
        labelWidth = WidestText(g, labelFont, labels);
    }
    DeleteDC(dc);

    state.openSubmenu = index;
    state.hoveredSubRow = -1;
    state.submenuWidth = SubmenuBodyWidth(labelWidth);
    state.submenuHeight = SubmenuBodyHeight(items);
    const int w = Px(state.submenuWidth + 2 * kMenuShadowMargin), h = Px(state.submenuHeight + 2 * kMenuShadowMargin);
    // The submenu's shadow margin lies over the menu's, so the two bodies meet edge to edge.
    const int menuRight = state.menuPos.x + Px(state.menuWidth + 2 * kMenuShadowMargin);
    const RECT work = WorkAreaAt(screen);
    state.submenuPos = POINT{FitInto(menuRight - Px(2 * kMenuShadowMargin), w, work.left, work.right),
                             FitInto(screen.y - Px(8), h, work.top, work.bottom)};
    PaintSubmenu();
    SetWindowPos(app.subMenuPopupWindow, HWND_TOPMOST, state.submenuPos.x, state.submenuPos.y, w, h,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CloseSubmenu() {
    if (state.openSubmenu < 0) return;
    state.openSubmenu = -1;
    state.hoveredSubRow = -1;
    if (app.subMenuPopupWindow) ShowWindow(app.subMenuPopupWindow, SW_HIDE);
}

void CloseMenus() {
    if (app.openMenu < 0) return;
    // Cleared first: releasing the capture reports back to the popup, which would close again.
    app.openMenu = -1;
    state.hoveredRow = -1;
    if (app.menuPopupWindow && GetCapture() == app.menuPopupWindow) ReleaseCapture();
    CloseSubmenu();
    if (app.menuPopupWindow) ShowWindow(app.menuPopupWindow, SW_HIDE);
    RepaintMenuBar();
}

void RepaintOpenMenus() {
    if (app.openMenu < 0) return;
    PaintMenu();
    PaintSubmenu();
}

LRESULT CALLBACK MenuPopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT local{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_MOUSEMOVE:
            if (app.openMenu >= 0) OnPopupMouseMove(window, local);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (app.openMenu >= 0) OnPopupButtonDown(window, message, wParam, local);
            return 0;
        case WM_MOUSEWHEEL:
            // A menu cut at the bottom of the screen scrolls its rows; a submenu closes first.
            if (window == app.menuPopupWindow && app.openMenu >= 0) {
                const int scroll = ScrollDropDown(state.menuScroll, GET_WHEEL_DELTA_WPARAM(wParam), state.rows.height,
                                                  state.menuHeight);
                if (scroll != state.menuScroll) {
                    CloseSubmenu();
                    state.menuScroll = scroll;
                    state.hoveredRow = -1;
                    PaintMenu();
                }
            }
            return 0;
        case WM_MOUSEHWHEEL: return 0;
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_CAPTURECHANGED:
            // Another window took the mouse (a dialog, another program): the menu cannot follow it.
            if (reinterpret_cast<HWND>(lParam) != window) CloseMenus();
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(window, &ps);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

void BuildMenuModel() {
    model = BuildEnglishMenuModel();
    state = OpenMenuState{};
}

void RelabelMenus() {
    ApplyMenuLanguage(model, app.uiLanguage);
    RebuildRecentFilesMenu();
    if (app.searchPanelWindow) InvalidateRect(app.searchPanelWindow, nullptr, TRUE);
    if (app.openMenu >= 0) {
        CloseSubmenu();
        ShowOpenMenu(state.origin);
    }
    RepaintMenuBar();
}

void RebuildRecentFilesMenu() {
    if (model.menus.empty()) return;
    if (state.openSubmenu == kRecentFilesSubmenu) CloseSubmenu();
    model.submenus[kRecentFilesSubmenu] = RecentFilesSubmenu(app.settings.recent, app.uiLanguage);
    if (!app.mainWindow) return;
    HDC dc = GetDC(app.mainWindow);
    LayoutMenuTitles(dc);
    ReleaseDC(app.mainWindow, dc);
}

const MenuModel& CurrentMenuModel() { return model; }

// Drawing the menu popups: the shadowed body and its rows, rendered with GDI+ into a layered window.
#include "shell/menu_paint.h"

#include <algorithm>

#include "base/app_state.h"
#include "shell/menu_model.h"
#include "syntax/palette.h"

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

// Dark text on light fills; the fixed white would vanish on the Light theme's greys.
Colour TextOnFill(Colour fill) {
    if (!IsLightFill(fill)) return Rgb(255, 255, 255);
    return IsLightFill(palette.textColor) ? Rgb(0, 0, 0) : palette.textColor;
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

namespace {

Gdiplus::Color ToArgb(Colour c, BYTE alpha = 255) {
    return Gdiplus::Color(alpha, GetRValue(c), GetGValue(c), GetBValue(c));
}

void AddRoundedRect(Gdiplus::GraphicsPath& path, float x, float y, float w, float h, float radius) {
    const float d = radius * 2;
    path.AddArc(x, y, d, d, 180, 90);
    path.AddArc(x + w - d, y, d, d, 270, 90);
    path.AddArc(x + w - d, y + h - d, d, d, 0, 90);
    path.AddArc(x, y + h - d, d, d, 90, 90);
    path.CloseFigure();
}

// The body's soft shadow, its fill and its one-pixel outline, `w` by `h` inside the shadow margin.
void DrawPopupBody(Gdiplus::Graphics& g, float w, float h) {
    using namespace Gdiplus;
    const float m = kMenuShadowMargin;
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
}

// A tick or a chevron: short round-capped strokes through `points`.
void DrawStrokes(Gdiplus::Graphics& g, Colour colour, float width, const Gdiplus::PointF (&points)[3]) {
    Gdiplus::Pen pen(ToArgb(colour), width);
    pen.SetLineJoin(Gdiplus::LineJoinRound);
    pen.SetStartCap(Gdiplus::LineCapRound);
    pen.SetEndCap(Gdiplus::LineCapRound);
    g.DrawLines(&pen, points, 3);
}

// What every row of one popup is drawn with.
struct RowStyle {
    const Gdiplus::Font& label;
    const Gdiplus::Font& shortcut;
    const Gdiplus::StringFormat& format;
    const Gdiplus::StringFormat& rightAligned;
    float fontHeight;
};

// One row other than a separator, its top at `y`.
void DrawPopupRow(Gdiplus::Graphics& g, const PopupImage& image, const PopupRow& row, int y, const RowStyle& style) {
    using namespace Gdiplus;
    const Colour hoverFill = palette.accentColor;
    Colour labelColour = palette.textColor, shortcutColour = palette.dimTextColor, checkColour = palette.accentColor;
    if (row.hovered) {
        SolidBrush fill(ToArgb(hoverFill));
        g.FillRectangle(&fill, 13, y, image.bodyWidth - 2, kMenuRowHeight);
        labelColour = checkColour = TextOnFill(hoverFill);
        shortcutColour = IsLightFill(hoverFill) ? Rgb(0x40, 0x40, 0x40) : Rgb(0xE0, 0xE0, 0xE0);
    }
    const float textTop = y + (kMenuRowHeight - style.fontHeight) / 2;
    const float centreY = y + kMenuRowHeight / 2.0f;
    float labelLeft = 26;
    if (row.checked) {
        // A drawn tick: the glyph is missing from some interface fonts.
        const PointF points[] = {PointF(27.5f, centreY), PointF(30.5f, centreY + 3.5f), PointF(36.5f, centreY - 4.0f)};
        DrawStrokes(g, checkColour, 1.8f, points);
        labelLeft += 14;
    }
    SolidBrush labelBrush(ToArgb(labelColour));
    const RectF labelBox(labelLeft, textTop, image.labelRight - labelLeft, kMenuRowHeight - (textTop - y));
    g.DrawString(row.label.c_str(), static_cast<INT>(row.label.size()), &style.label, labelBox, &style.format,
                 &labelBrush);
    if (row.opensSubmenu) {
        const float x = static_cast<float>(image.bodyWidth) - 5;
        const PointF points[] = {PointF(x, centreY - 4), PointF(x + 4, centreY), PointF(x, centreY + 4)};
        DrawStrokes(g, shortcutColour, 1.5f, points);
    }
    if (!row.shortcut.empty()) {
        SolidBrush shortcutBrush(ToArgb(shortcutColour));
        const RectF box(26, textTop, static_cast<float>(image.bodyWidth - 20 - 26), kMenuRowHeight - (textTop - y));
        g.DrawString(row.shortcut.c_str(), static_cast<INT>(row.shortcut.size()), &style.shortcut, box,
                     &style.rightAligned, &shortcutBrush);
    }
}

void DrawPopupContent(Gdiplus::Graphics& g, HDC dc, const PopupImage& image) {
    using namespace Gdiplus;
    const float m = kMenuShadowMargin;
    const float w = static_cast<float>(image.bodyWidth), h = static_cast<float>(image.bodyHeight);
    DrawPopupBody(g, w, h);

    const LOGFONTW labelLogFont = MenuLogFont(), smallLogFont = ShortcutLogFont();
    Font labelFont(dc, &labelLogFont);
    Font smallFont(dc, &smallLogFont);
    StringFormat format(StringFormat::GenericTypographic());
    format.SetFormatFlags(format.GetFormatFlags() | StringFormatFlagsNoWrap);
    format.SetTrimming(StringTrimmingEllipsisCharacter);
    StringFormat rightAligned(&format);
    rightAligned.SetAlignment(StringAlignmentFar);
    const RowStyle style{labelFont, smallFont, format, rightAligned, labelFont.GetHeight(&g)};

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
        DrawPopupRow(g, image, row, y, style);
        y += kMenuRowHeight;
    }
}

}  // namespace

// Renders a popup into a premultiplied 32-bit image and hands it to the layered window.
void PaintMenuPopup(HWND window, POINT position, const PopupImage& image) {
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

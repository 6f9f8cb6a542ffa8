#include "base/gdi_util.h"

#include <dwmapi.h>

#include <algorithm>

#include "base/app_state.h"

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
    const COLORREF previous = SetDCBrushColor(dc, colour);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetDCBrushColor(dc, previous);
}

void FillSolid(HDC dc, const Rect& r, COLORREF colour) { FillSolid(dc, ToRECT(r), colour); }

void DrawTextBox(HDC dc, const std::wstring& text, const Rect& box, HFONT font, COLORREF colour, UINT format) {
    RECT r = ToRECT(box);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | format);
    SelectObject(dc, oldFont);
}

void RoundBox(HDC dc, const RECT& r, int corner, COLORREF fill, COLORREF outline) {
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    SetDCBrushColor(dc, fill);
    SetDCPenColor(dc, outline);
    RoundRect(dc, r.left, r.top, r.right, r.bottom, corner, corner);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour) {
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    const COLORREF previous = SetDCPenColor(dc, colour);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SetDCPenColor(dc, previous);
    SelectObject(dc, oldPen);
}

int FontHeight(HDC dc, HFONT font) {
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    return tm.tmHeight;
}

int WindowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (window && getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(window); dpi > 0) return static_cast<int>(dpi);
    }
    int dpi = 0;
    if (HDC screen = GetDC(nullptr)) {
        dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : kDesignDpi;
}

SIZE MonoCellSize() {
    SIZE size{};
    if (HDC dc = GetDC(app.mainWindow)) {
        HGDIOBJ old = SelectObject(dc, app.monoFont);
        GetTextExtentPoint32W(dc, L"M", 1, &size);
        SelectObject(dc, old);
        ReleaseDC(app.mainWindow, dc);
    }
    size.cx = std::max<LONG>(size.cx, 1);
    size.cy = std::max<LONG>(size.cy, 1);
    return size;
}

void SetDarkFrame(HWND window) {
    if (!window) return;
    using AllowDarkModeForWindowFn = BOOL(WINAPI*)(HWND, BOOL);
    if (HMODULE uxtheme = GetModuleHandleW(L"uxtheme.dll")) {
        // Exported by ordinal only on current systems; looked up by name like the rest.
        if (auto allow = reinterpret_cast<AllowDarkModeForWindowFn>(
                reinterpret_cast<void*>(GetProcAddress(uxtheme, "AllowDarkModeForWindow")))) {
            allow(window, TRUE);
        }
    }
    const BOOL on = TRUE;
    DwmSetWindowAttribute(window, 20, &on, sizeof on);
    DwmSetWindowAttribute(window, 19, &on, sizeof on);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
}

HFONT CreateDesignFont(const wchar_t* face, int height, int weight, int dpi) {
    return CreateFontW(-Scale(height, dpi), 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

HFONT CreateUiFont(int dpi) { return CreateDesignFont(L"Segoe UI", 12, FW_NORMAL, dpi); }

HFONT CreateCaptionFont(int dpi) { return CreateDesignFont(L"Segoe UI", 14, FW_BOLD, dpi); }

int TextWidth(HDC dc, HFONT font, const std::wstring& text) {
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    return size.cx;
}

std::wstring EndEllipsisText(HDC dc, HFONT font, const std::wstring& text, int width) {
    if (TextWidth(dc, font, text) <= width) return text;
    // The longest beginning that fits with the ellipsis after it; a surrogate pair is never split.
    size_t low = 0, high = text.size();
    while (low < high) {
        const size_t mid = (low + high + 1) / 2;
        if (TextWidth(dc, font, text.substr(0, mid) + L"\u2026") <= width)
            low = mid;
        else
            high = mid - 1;
    }
    if (low > 0 && low < text.size() && IS_HIGH_SURROGATE(text[low - 1])) --low;
    return text.substr(0, low) + L"\u2026";
}

#include "dialogs/dialog_frame.h"

#include <commctrl.h>

#include "base/app_state.h"
#include "base/gdi_util.h"
#include "dialogs/dialog_rules.h"
#include "syntax/palette.h"

namespace {

constexpr COLORREF kCloseHotColor = RGB(0xC4, 0x39, 0x3A);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Only one dialog is open at a time, so one button can be under the mouse.
HWND hotButton = nullptr;
int modalCount = 0;

void SetHotButton(HWND button) {
    if (hotButton == button) return;
    if (hotButton && IsWindow(hotButton)) InvalidateRect(hotButton, nullptr, FALSE);
    hotButton = button;
    if (button) InvalidateRect(button, nullptr, FALSE);
}

LRESULT CALLBACK HoverButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
        case WM_MOUSEMOVE:
            if (hotButton != button) {
                SetHotButton(button);
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, button, 0};
                TrackMouseEvent(&track);
            }
            break;
        case WM_MOUSELEAVE:
            if (hotButton == button) SetHotButton(nullptr);
            break;
        case WM_NCDESTROY:
            if (hotButton == button) hotButton = nullptr;
            RemoveWindowSubclass(button, HoverButtonProc, 0);
            break;
        default: break;
    }
    return DefSubclassProc(button, message, wParam, lParam);
}

}  // namespace

void RegisterDialogClass(const wchar_t* className, WNDPROC proc) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(app.instance, className, &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = app.instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = className;
    RegisterClassExW(&wc);
}

void DialogDisplay::MakeFonts(int newDpi) {
    dpi = newDpi;
    uiFont = CreateUiFont(dpi);
    captionFont = CreateCaptionFont(dpi);
}

void DialogDisplay::DeleteFonts() {
    if (uiFont) DeleteObject(uiFont);
    if (captionFont) DeleteObject(captionFont);
    uiFont = captionFont = nullptr;
}

int DialogOpeningDpi() { return WindowDpi(app.mainWindow); }

HWND CreateDialogWindow(const wchar_t* className, const std::wstring& title, int width, int height) {
    RECT owner{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (app.mainWindow) GetWindowRect(app.mainWindow, &owner);
    const int x = owner.left + (owner.right - owner.left - width) / 2;
    const int y = owner.top + (owner.bottom - owner.top - height) / 2;
    return CreateWindowExW(WS_EX_CONTROLPARENT, className, title.c_str(), WS_POPUP | WS_CLIPCHILDREN, x, y, width,
                           height, app.mainWindow, nullptr, app.instance, nullptr);
}

HWND CreateOwnerDrawnButton(HWND dialog, int id, const Rect& box, const std::wstring& text, bool tabStop, HFONT font) {
    HWND button =
        CreateWindowExW(0, L"BUTTON", text.c_str(), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | (tabStop ? WS_TABSTOP : 0),
                        box.left, box.top, box.Width(), box.Height(), dialog,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), app.instance, nullptr);
    if (button) {
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowSubclass(button, HoverButtonProc, 0, 0);
    }
    return button;
}

void PlaceChild(HWND dialog, int id, const Rect& box) {
    if (HWND child = GetDlgItem(dialog, id))
        SetWindowPos(child, nullptr, box.left, box.top, box.Width(), box.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

namespace {

BOOL CALLBACK SetChildFont(HWND child, LPARAM font) {
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    return TRUE;
}

}  // namespace

void FollowDpiChange(HWND dialog, DialogDisplay& display, int dpi, const RECT* suggested, int width, int height) {
    if (dpi <= 0) return;
    DialogDisplay old = display;
    display.MakeFonts(dpi);
    EnumChildWindows(dialog, SetChildFont, reinterpret_cast<LPARAM>(display.uiFont));
    old.DeleteFonts();
    RECT r = suggested ? *suggested : RECT{};
    if (!suggested) {
        GetWindowRect(dialog, &r);
        const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
        r = RECT{cx - width / 2, cy - height / 2, cx - width / 2 + width, cy - height / 2 + height};
    }
    SetWindowPos(dialog, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool IsHot(const DRAWITEMSTRUCT& item) { return (item.itemState & ODS_HOTLIGHT) || item.hwndItem == hotButton; }

bool IsPressed(const DRAWITEMSTRUCT& item) { return (item.itemState & ODS_SELECTED) != 0; }

bool DialogIsOpen() { return modalCount > 0; }
void NoteModalOpened() { ++modalCount; }
void NoteModalClosed() { --modalCount; }

void RunModal(HWND dialog, HWND focus) {
    NoteModalOpened();
    if (app.mainWindow) EnableWindow(app.mainWindow, FALSE);
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    SetForegroundWindow(dialog);
    if (focus) SetFocus(focus);
    MSG msg;
    while (IsWindow(dialog)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: leave the quit message for the main loop.
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!IsDialogMessageW(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (IsWindow(dialog)) EndModal(dialog);
    NoteModalClosed();
    if (app.mainWindow) InvalidateRect(app.mainWindow, nullptr, FALSE);
}

void EndModal(HWND dialog) {
    // The owner is enabled first, so that it, not some other program, becomes active.
    if (app.mainWindow) {
        EnableWindow(app.mainWindow, TRUE);
        SetForegroundWindow(app.mainWindow);
    }
    DestroyWindow(dialog);
}

void PaintDialogFrame(HDC dc, const RECT& client, const std::wstring& caption, const DialogDisplay& display) {
    const int width = client.right - client.left;
    const auto px = [&display](int design) { return display.Px(design); };
    FillSolid(dc, client, palette.chromeColor);
    FillSolid(dc, RECT{0, 0, width, px(32)}, palette.panelColor);
    FillSolid(dc, RECT{0, px(32) - 1, width, px(32)}, palette.borderColor);
    if (app.smallIcon) DrawIconEx(dc, px(12), px(7), app.smallIcon, px(18), px(18), 0, nullptr, DI_NORMAL);
    DrawTextBox(dc, caption, Rect{px(38), 0, width - px(52), px(32)}, display.captionFont, palette.textColor,
                DT_LEFT | DT_END_ELLIPSIS);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, palette.borderColor);
    Rectangle(dc, client.left, client.top, client.right, client.bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

void DrawCloseButton(const DRAWITEMSTRUCT& item, int dpi) {
    const bool lit = IsHot(item) || IsPressed(item);
    const RECT& r = item.rcItem;
    FillSolid(item.hDC, r, lit ? kCloseHotColor : palette.panelColor);
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const int five = Scale(5, dpi), six = Scale(6, dpi);
    const COLORREF mark = lit ? kWhite : palette.dimTextColor;
    // LineTo leaves out the last pixel, so each stroke runs one step further.
    DrawLine(item.hDC, cx - five, cy - five, cx + six, cy + six, mark);
    DrawLine(item.hDC, cx + five, cy - five, cx - six, cy + six, mark);
}

LRESULT DialogHitTest(HWND dialog, LPARAM screenPoint, const Rect& closeButton, int dpi) {
    POINT p{static_cast<short>(LOWORD(screenPoint)), static_cast<short>(HIWORD(screenPoint))};
    ScreenToClient(dialog, &p);
    const DialogHit hit = HitTestDialog(Unscale(p.x, dpi), Unscale(p.y, dpi), closeButton);
    return hit == DialogHit::Caption ? HTCAPTION : HTCLIENT;
}

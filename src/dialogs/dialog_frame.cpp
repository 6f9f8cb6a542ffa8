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

HWND CreateDialogWindow(const wchar_t* className, const std::wstring& title, int designWidth, int designHeight) {
    const int width = Px(designWidth), height = Px(designHeight);
    RECT owner{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (app.mainWindow) GetWindowRect(app.mainWindow, &owner);
    const int x = owner.left + (owner.right - owner.left - width) / 2;
    const int y = owner.top + (owner.bottom - owner.top - height) / 2;
    return CreateWindowExW(WS_EX_CONTROLPARENT, className, title.c_str(), WS_POPUP | WS_CLIPCHILDREN, x, y, width,
                           height, app.mainWindow, nullptr, app.instance, nullptr);
}

HWND CreateOwnerDrawnButton(HWND dialog, int id, const Rect& designBox, const std::wstring& text, bool tabStop) {
    const Rect box = Px(designBox);
    HWND button =
        CreateWindowExW(0, L"BUTTON", text.c_str(), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | (tabStop ? WS_TABSTOP : 0),
                        box.left, box.top, box.Width(), box.Height(), dialog,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), app.instance, nullptr);
    if (button) {
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(app.uiFont), FALSE);
        SetWindowSubclass(button, HoverButtonProc, 0, 0);
    }
    return button;
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

void PaintDialogFrame(HDC dc, const RECT& client, const std::wstring& caption) {
    const int width = client.right - client.left;
    FillSolid(dc, client, palette.chromeColor);
    FillSolid(dc, RECT{0, 0, width, Px(32)}, palette.panelColor);
    FillSolid(dc, RECT{0, Px(32) - 1, width, Px(32)}, palette.borderColor);
    if (app.smallIcon) DrawIconEx(dc, Px(12), Px(7), app.smallIcon, Px(18), Px(18), 0, nullptr, DI_NORMAL);
    DrawTextBox(dc, caption, Rect{Px(38), 0, width - Px(52), Px(32)}, app.captionFont, palette.textColor,
                DT_LEFT | DT_END_ELLIPSIS);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, palette.borderColor);
    Rectangle(dc, client.left, client.top, client.right, client.bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

void DrawCloseButton(const DRAWITEMSTRUCT& item) {
    const bool lit = IsHot(item) || IsPressed(item);
    const RECT& r = item.rcItem;
    FillSolid(item.hDC, r, lit ? kCloseHotColor : palette.panelColor);
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const COLORREF mark = lit ? kWhite : palette.dimTextColor;
    // LineTo leaves out the last pixel, so each stroke runs one step further.
    DrawLine(item.hDC, cx - Px(5), cy - Px(5), cx + Px(6), cy + Px(6), mark);
    DrawLine(item.hDC, cx + Px(5), cy - Px(5), cx - Px(6), cy + Px(6), mark);
}

LRESULT DialogHitTest(HWND dialog, LPARAM screenPoint, const Rect& closeButton) {
    POINT p{static_cast<short>(LOWORD(screenPoint)), static_cast<short>(HIWORD(screenPoint))};
    ScreenToClient(dialog, &p);
    const DialogHit hit = HitTestDialog(Unscale(p.x, app.dpi), Unscale(p.y, app.dpi), closeButton);
    return hit == DialogHit::Caption ? HTCAPTION : HTCLIENT;
}

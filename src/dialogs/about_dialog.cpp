#include <windows.h>

#include <string>

#include "base/app_state.h"
#include "base/gdi_util.h"
#include "dialogs/dialog_frame.h"
#include "dialogs/dialog_rules.h"
#include "dialogs/about_dialog.h"
#include "syntax/palette.h"
#include "base/strings.h"

namespace {

constexpr int kOk = 1;

HWND aboutWindow = nullptr;
HICON largeIcon = nullptr;  // the program's icon at 56 x 56 design pixels, loaded for the display's scale
DialogDisplay display;

int Dp(int design) { return display.Px(design); }
Rect Dp(const Rect& design) { return display.Px(design); }

void LoadLargeIcon() {
    if (largeIcon) DestroyIcon(largeIcon);
    largeIcon = static_cast<HICON>(LoadImageW(app.instance, MAKEINTRESOURCEW(1), IMAGE_ICON, Dp(56), Dp(56), 0));
}

// The dialog at a new display scale: fonts, window, icon, buttons, then one repaint.
void FollowDpi(int dpi, const RECT* suggested) {
    const AboutLayout size = LayOutAboutDialog(dpi);
    FollowDpiChange(aboutWindow, display, dpi, suggested, size.width, size.height);
    LoadLargeIcon();
    PlaceChild(aboutWindow, kOk, size.ok);
    PlaceChild(aboutWindow, kCloseButtonId, size.close);
    RedrawWindow(aboutWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    const int width = client.right - client.left;
    PaintDialogFrame(dc, client, LocalizedText(StringTable::MenuLabels, 35), display);
    if (HICON icon = largeIcon ? largeIcon : app.bigIcon)
        DrawIconEx(dc, Dp(34), Dp(72), icon, Dp(56), Dp(56), 0, nullptr, DI_NORMAL);
    DrawTextBox(dc, L"Tessary", Rect{Dp(108), Dp(62), width - Dp(24), Dp(98)}, display.captionFont, palette.textColor,
                DT_LEFT);
    const std::wstring version = MessageFor(MessageText::AboutVersion, kProgramVersion);
    DrawTextBox(dc, version, Rect{Dp(110), Dp(98), width - Dp(24), Dp(124)}, display.uiFont, palette.dimTextColor,
                DT_LEFT);
    DrawTextBox(dc, MessageFor(MessageText::AboutLine1), Dp(kAboutLineBoxes[0]), display.uiFont, palette.dimTextColor,
                DT_LEFT);
    DrawTextBox(dc, MessageFor(MessageText::AboutLine2), Dp(kAboutLineBoxes[1]), display.uiFont, palette.dimTextColor,
                DT_LEFT);
    FillSolid(dc, RECT{Dp(34), Dp(248), width - Dp(34), Dp(248) + 1}, palette.borderColor);
    EndPaint(window, &ps);
}

void DrawButton(const DRAWITEMSTRUCT& item) {
    if (item.CtlID == kCloseButtonId) {
        DrawCloseButton(item, display.dpi);
        return;
    }
    FillSolid(item.hDC, item.rcItem, IsHot(item) || IsPressed(item) ? palette.activeColor : palette.accentColor);
    wchar_t text[64] = {};
    GetWindowTextW(item.hwndItem, text, 64);
    DrawTextBox(item.hDC, text, FromRECT(item.rcItem), display.uiFont, RGB(255, 255, 255), DT_CENTER);
}

LRESULT CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCHITTEST: return DialogHitTest(window, lParam, kAboutCloseRect, display.dpi);
        case WM_DPICHANGED: FollowDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
        case WM_PAINT: Paint(window); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_DRAWITEM: DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
        case WM_COMMAND:
            // Enter and Escape arrive as OK and Cancel from the dialog keys.
            if (LOWORD(wParam) == kOk || LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == kCloseButtonId)
                EndModal(window);
            return 0;
        case WM_CLOSE: EndModal(window); return 0;
        case WM_DESTROY:
            if (largeIcon) DestroyIcon(largeIcon);
            largeIcon = nullptr;
            display.DeleteFonts();
            aboutWindow = nullptr;
            return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

void OpenAboutDialog() {
    if (DialogIsOpen()) return;
    RegisterDialogClass(L"TesAbout", AboutProc);
    display.MakeFonts(DialogOpeningDpi());
    const AboutLayout l = LayOutAboutDialog(display.dpi);
    aboutWindow = CreateDialogWindow(L"TesAbout", LocalizedText(StringTable::MenuLabels, 35), l.width, l.height);
    if (!aboutWindow) {
        display.DeleteFonts();
        return;
    }
    LoadLargeIcon();
    HWND ok = CreateOwnerDrawnButton(aboutWindow, kOk, l.ok, LocalizedText(StringTable::SettingsDialog, 3), true,
                                     display.uiFont);
    CreateOwnerDrawnButton(aboutWindow, kCloseButtonId, l.close, L"", false, display.uiFont);
    // Centred over a main window that straddles two displays, the dialog may have landed on the other.
    if (const int dpi = WindowDpi(aboutWindow); dpi != display.dpi) FollowDpi(dpi, nullptr);
    RunModal(aboutWindow, ok);
}

void ShowKeyBindings() {
    if (DialogIsOpen()) return;
    NoteModalOpened();
    MessageBoxW(app.mainWindow, KeyBindingText(app.uiLanguage).c_str(), KeyBindingsCaption(app.uiLanguage),
                MB_OK | MB_ICONINFORMATION);
    NoteModalClosed();
}

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

constexpr int kWidth = kAboutWidth, kHeight = 300;
constexpr int kOk = 1;
const Rect kCloseRect{414, 1, 460, 31};

HWND aboutWindow = nullptr;
HICON largeIcon = nullptr;  // the program's icon at 56 x 56, loaded for the window's lifetime

void Paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    const int width = client.right - client.left;
    PaintDialogFrame(dc, client, LocalizedText(StringTable::MenuLabels, 35));
    if (HICON icon = largeIcon ? largeIcon : app.bigIcon)
        DrawIconEx(dc, Px(34), Px(72), icon, Px(56), Px(56), 0, nullptr, DI_NORMAL);
    DrawTextBox(dc, L"Tessary", Rect{Px(108), Px(62), width - Px(24), Px(98)}, app.captionFont, palette.textColor,
                DT_LEFT);
    const std::wstring version = MessageFor(MessageText::AboutVersion, kProgramVersion);
    DrawTextBox(dc, version, Rect{Px(110), Px(98), width - Px(24), Px(124)}, app.uiFont, palette.dimTextColor, DT_LEFT);
    DrawTextBox(dc, MessageFor(MessageText::AboutLine1), Px(kAboutLineBoxes[0]), app.uiFont, palette.dimTextColor,
                DT_LEFT);
    DrawTextBox(dc, MessageFor(MessageText::AboutLine2), Px(kAboutLineBoxes[1]), app.uiFont, palette.dimTextColor,
                DT_LEFT);
    FillSolid(dc, RECT{Px(34), Px(248), width - Px(34), Px(248) + 1}, palette.borderColor);
    EndPaint(window, &ps);
}

void DrawButton(const DRAWITEMSTRUCT& item) {
    if (item.CtlID == kCloseButtonId) {
        DrawCloseButton(item);
        return;
    }
    FillSolid(item.hDC, item.rcItem, IsHot(item) || IsPressed(item) ? palette.activeColor : palette.accentColor);
    wchar_t text[64] = {};
    GetWindowTextW(item.hwndItem, text, 64);
    DrawTextBox(item.hDC, text, FromRECT(item.rcItem), app.uiFont, RGB(255, 255, 255), DT_CENTER);
}

LRESULT CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCHITTEST: return DialogHitTest(window, lParam, kCloseRect);
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
            aboutWindow = nullptr;
            return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

void OpenAboutDialog() {
    if (DialogIsOpen()) return;
    RegisterDialogClass(L"TesAbout", AboutProc);
    aboutWindow = CreateDialogWindow(L"TesAbout", LocalizedText(StringTable::MenuLabels, 35), kWidth, kHeight);
    if (!aboutWindow) return;
    largeIcon = static_cast<HICON>(LoadImageW(app.instance, MAKEINTRESOURCEW(1), IMAGE_ICON, Px(56), Px(56), 0));
    HWND ok =
        CreateOwnerDrawnButton(aboutWindow, kOk, kAboutOkRect, LocalizedText(StringTable::SettingsDialog, 3), true);
    CreateOwnerDrawnButton(aboutWindow, kCloseButtonId, kCloseRect, L"", false);
    RunModal(aboutWindow, ok);
}

void ShowKeyBindings() {
    if (DialogIsOpen()) return;
    NoteModalOpened();
    MessageBoxW(app.mainWindow, KeyBindingText(app.uiLanguage).c_str(), KeyBindingsCaption(app.uiLanguage),
                MB_OK | MB_ICONINFORMATION);
    NoteModalClosed();
}

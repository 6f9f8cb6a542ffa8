#include <windows.h>
#include <commdlg.h>
#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "base/app_state.h"
#include "base/change_notice.h"
#include "base/gdi_util.h"
#include "dialogs/dialog_frame.h"
#include "dialogs/dialog_rules.h"
#include "dialogs/settings_dialog.h"
#include "document/document.h"
#include "document/tabs.h"
#include "persist/persist.h"
#include "syntax/palette.h"
#include "base/strings.h"

namespace {

enum ControlId {
    kOk = 1,
    kCancel = 2,
    kFontSizeField = 1001,
    kTabWidthField = 1002,
    kZoomField = 1003,
    kWordWrapBox = 1004,
    kFontSizeMinus = 1012,
    kFontSizePlus = 1013,
    kTabWidthMinus = 1014,
    kTabWidthPlus = 1015,
    kZoomMinus = 1016,
    kZoomPlus = 1017,
    kFontButton = 1018,
    kEncodingList = 1019,
};
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The open dialog's working copies; the numbers live in the edit fields until OK.
struct SettingsDialog {
    HWND window = nullptr;
    int shift = 0;  // how far everything right of the label column moved for this language's labels
    DialogDisplay display;
    std::wstring face;
    bool wordWrap = false;
    HBRUSH inputBrush = nullptr;
} dialog;

std::wstring FieldText(int id) {
    HWND field = GetDlgItem(dialog.window, id);
    const int length = GetWindowTextLengthW(field);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(field, text.data(), length + 1)));
    return text;
}

// A control's box right of the label column, moved along with the column.
Rect Moved(const Rect& r) { return Rect{r.left + dialog.shift, r.top, r.right + dialog.shift, r.bottom}; }
int Dp(int design) { return dialog.display.Px(design); }
Rect Dp(const Rect& design) { return dialog.display.Px(design); }
// A box that starts in the label column and ends right of it: only its right end moves.
Rect Widened(const Rect& r) { return Rect{r.left, r.top, r.right + dialog.shift, r.bottom}; }

void SetField(int id, int value) { SetDlgItemTextW(dialog.window, id, std::to_wstring(value).c_str()); }

HWND CreateField(int id, const Rect& box, const std::wstring& text) {
    HWND field = CreateWindowExW(0, L"EDIT", text.c_str(),
                                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_CENTER | ES_NUMBER | ES_AUTOHSCROLL, box.left,
                                 box.top, box.Width(), box.Height(), dialog.window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), app.instance, nullptr);
    SetWindowTheme(field, L"", L"");
    SendMessageW(field, WM_SETFONT, reinterpret_cast<WPARAM>(dialog.display.uiFont), FALSE);
    SendMessageW(field, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(Dp(4), Dp(4)));
    return field;
}

// The drop-down list keeps the platform's behaviour but takes the theme's colours for its edge and
// its arrow button, which it would otherwise draw in the system's.
void PaintEncodingListEdge(HWND list) {
    RECT r;
    GetClientRect(list, &r);
    HDC dc = GetDC(list);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, palette.borderColor);
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
    SetDCPenColor(dc, palette.inputColor);
    Rectangle(dc, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    RECT button{r.right - 2 - GetSystemMetrics(SM_CXVSCROLL), r.top + 2, r.right - 2, r.bottom - 2};
    if (GetComboBoxInfo(list, &info)) {
        // The platform frames the selection field too; that frame goes under the field's colour.
        RECT item = info.rcItem;
        SetDCBrushColor(dc, palette.inputColor);
        for (int ring = 0; ring < 2; ++ring) {
            FrameRect(dc, &item, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
            InflateRect(&item, 1, 1);
        }
        button = info.rcButton;
    }
    FillSolid(dc, button, palette.inputColor);
    const int cx = (button.left + button.right) / 2, cy = (button.top + button.bottom) / 2;
    DrawLine(dc, cx - Dp(4), cy - Dp(2), cx, cy + Dp(2), palette.textColor);
    DrawLine(dc, cx + Dp(4), cy - Dp(2), cx - 1, cy + Dp(3), palette.textColor);
    ReleaseDC(list, dc);
}

LRESULT CALLBACK EncodingListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_NCDESTROY) RemoveWindowSubclass(list, EncodingListProc, 0);
    const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
    if (message == WM_PAINT || message == WM_SETFOCUS || message == WM_KILLFOCUS) PaintEncodingListEdge(list);
    return result;
}

SettingsLayout CurrentLayout() { return LayOutSettingsDialog(dialog.shift, dialog.display.dpi); }

// The platform sizes the closed list from its item height, the open one from the window's height.
void SizeEncodingList(HWND list, const SettingsLayout& l) {
    SetWindowPos(list, nullptr, l.encodingList.left, l.encodingList.top, l.encodingList.Width(), l.encodingListDrop,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Dp(18));
    SendMessageW(list, CB_SETITEMHEIGHT, 0, Dp(18));
}

void CreateControls() {
    HWND w = dialog.window;
    const SettingsLayout l = CurrentLayout();
    HFONT font = dialog.display.uiFont;
    CreateOwnerDrawnButton(w, kFontButton, l.fontButton, L"", true, font);
    const Settings& s = app.settings;
    const std::wstring values[3] = {std::to_wstring(s.fontSize), std::to_wstring(s.tabWidth), ZoomFieldText(s.zoom)};
    for (int row = 0; row < 3; ++row) {
        CreateOwnerDrawnButton(w, kFontSizeMinus + 2 * row, l.minus[row], L"", false, font);
        CreateField(kFontSizeField + row, l.fields[row], values[row]);
        CreateOwnerDrawnButton(w, kFontSizePlus + 2 * row, l.plus[row], L"", false, font);
    }
    HWND list = CreateWindowExW(
        0, L"COMBOBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
        l.encodingList.left, l.encodingList.top, l.encodingList.Width(), l.encodingListDrop, w,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEncodingList)), app.instance, nullptr);
    SetWindowTheme(list, L"", L"");
    SetWindowSubclass(list, EncodingListProc, 0, 0);
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (const EncodingChoice& choice : kEncodingChoices)
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.name));
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(EncodingListIndex(s.newEnc)), 0);
    const DialogText& wrap = kSettingsButtonTexts[0];
    CreateOwnerDrawnButton(w, kWordWrapBox, l.wordWrap, LocalizedText(wrap.table, wrap.entry), true, font);
    const DialogText& cancel = kSettingsButtonTexts[1];
    CreateOwnerDrawnButton(w, kCancel, l.cancel, LocalizedText(cancel.table, cancel.entry), true, font);
    const DialogText& ok = kSettingsButtonTexts[2];
    CreateOwnerDrawnButton(w, kOk, l.ok, LocalizedText(ok.table, ok.entry), true, font);
    CreateOwnerDrawnButton(w, kCloseButtonId, l.close, L"", false, font);
}

// The dialog at a new display scale: fonts, window, every control, then one repaint.
void FollowDpi(int dpi, const RECT* suggested) {
    HWND w = dialog.window;
    const SettingsLayout size = LayOutSettingsDialog(dialog.shift, dpi);
    FollowDpiChange(w, dialog.display, dpi, suggested, size.width, size.height);
    const SettingsLayout l = CurrentLayout();
    PlaceChild(w, kFontButton, l.fontButton);
    for (int row = 0; row < 3; ++row) {
        PlaceChild(w, kFontSizeMinus + 2 * row, l.minus[row]);
        PlaceChild(w, kFontSizeField + row, l.fields[row]);
        SendDlgItemMessageW(w, kFontSizeField + row, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                            MAKELPARAM(Dp(4), Dp(4)));
        PlaceChild(w, kFontSizePlus + 2 * row, l.plus[row]);
    }
    SizeEncodingList(GetDlgItem(w, kEncodingList), l);
    PlaceChild(w, kWordWrapBox, l.wordWrap);
    PlaceChild(w, kCancel, l.cancel);
    PlaceChild(w, kOk, l.ok);
    PlaceChild(w, kCloseButtonId, l.close);
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void ChooseFace() {
    // Sizes are points everywhere: the size field, the settings file, the editing component and the
    // font dialog, which starts at the field's size and hands back the size chosen in it.
    const int points = ClampToRange(ReadFieldNumber(FieldText(kFontSizeField)), kFontSizeRange);
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    LOGFONTW font{};
    font.lfHeight = -MulDiv(points, dpi, 72);
    wcsncpy(font.lfFaceName, dialog.face.c_str(), LF_FACESIZE - 1);
    CHOOSEFONTW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = dialog.window;
    choose.lpLogFont = &font;
    choose.Flags =
        CF_SCREENFONTS | CF_FIXEDPITCHONLY | CF_NOVERTFONTS | CF_NOSCRIPTSEL | CF_INITTOLOGFONTSTRUCT | CF_LIMITSIZE;
    choose.nSizeMin = kFontSizeRange.low;
    choose.nSizeMax = kFontSizeRange.high;
    if (ChooseFontW(&choose)) {
        dialog.face.assign(font.lfFaceName, wcsnlen(font.lfFaceName, LF_FACESIZE - 1));
        InvalidateRect(GetDlgItem(dialog.window, kFontButton), nullptr, FALSE);
        // iPointSize is in tenths of a point.
        if (choose.iPointSize > 0) SetField(kFontSizeField, ClampToRange((choose.iPointSize + 5) / 10, kFontSizeRange));
    }
}

void Step(int field, int delta) {
    const FieldRange ranges[3] = {kFontSizeRange, kTabWidthRange, kZoomFieldRange};
    SetField(field, StepField(FieldText(field), delta, ranges[field - kFontSizeField]));
}

void Apply() {
    const NumericSettings values =
        ReadSettingsFields(FieldText(kFontSizeField), FieldText(kTabWidthField), FieldText(kZoomField));
    Settings& s = app.settings;
    if (dialog.face != s.fontFace || values.fontSize != s.fontSize || values.tabWidth != s.tabWidth ||
        values.zoom != s.zoom) {
        s.fontFace = dialog.face;
        s.fontSize = values.fontSize;
        s.tabWidth = values.tabWidth;
        s.zoom = values.zoom;
        ReapplySettingsToAllTabs();
        NoteChange(kChangeStatusBar);
    }
    s.wordWrap = dialog.wordWrap;
    for (Document& doc : documents) ConfigureEditor(doc.editor);
    app.scrollWidthDirty = 1;
    const LRESULT selected = SendDlgItemMessageW(dialog.window, kEncodingList, CB_GETCURSEL, 0, 0);
    if (selected >= 0 && selected < kEncodingChoiceCount) s.newEnc = kEncodingChoices[selected].encoding;
    SaveSettings();
    EndModal(dialog.window);
}

// A framed button in `fill`, lighter under the mouse and darker while pressed.
void DrawFramedButton(const DRAWITEMSTRUCT& item, COLORREF fill, COLORREF frame) {
    const RECT& r = item.rcItem;
    FillSolid(item.hDC, r, IsPressed(item) ? palette.activeColor : IsHot(item) ? palette.hoverColor : fill);
    HGDIOBJ oldBrush = SelectObject(item.hDC, GetStockObject(NULL_BRUSH));
    HGDIOBJ oldPen = SelectObject(item.hDC, GetStockObject(DC_PEN));
    SetDCPenColor(item.hDC, frame);
    Rectangle(item.hDC, r.left, r.top, r.right, r.bottom);
    SelectObject(item.hDC, oldPen);
    SelectObject(item.hDC, oldBrush);
}

void DrawFocus(const DRAWITEMSTRUCT& item) {
    if (!(item.itemState & ODS_FOCUS) || (item.itemState & ODS_NOFOCUSRECT)) return;
    RECT r = item.rcItem;
    InflateRect(&r, -Dp(3), -Dp(3));
    SetTextColor(item.hDC, palette.textColor);
    SetBkColor(item.hDC, palette.chromeColor);
    DrawFocusRect(item.hDC, &r);
}

std::wstring ButtonText(HWND button) {
    wchar_t text[128] = {};
    GetWindowTextW(button, text, 128);
    return text;
}

void DrawCheckBox(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT& r = item.rcItem;
    FillSolid(dc, r, palette.chromeColor);
    const int top = r.top + (r.bottom - r.top - Dp(18)) / 2;
    const RECT box{r.left + Dp(10), top, r.left + Dp(28), top + Dp(18)};
    if (dialog.wordWrap) {
        FillSolid(dc, box, palette.accentColor);
        HPEN pen = CreatePen(PS_SOLID, Dp(2), kWhite);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        const POINT mark[3] = {{box.left + Dp(4), box.top + Dp(9)},
                               {box.left + Dp(8), box.top + Dp(13)},
                               {box.left + Dp(14), box.top + Dp(5)}};
        Polyline(dc, mark, 3);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    } else {
        const bool hot = IsHot(item);
        FillSolid(dc, box, hot ? palette.hoverColor : palette.inputColor);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
        SetDCPenColor(dc, hot ? palette.accentColor : palette.borderColor);
        Rectangle(dc, box.left, box.top, box.right, box.bottom);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
    }
    DrawTextBox(dc, ButtonText(item.hwndItem), Rect{r.left + Dp(36), r.top, r.right, r.bottom}, dialog.display.uiFont,
                palette.textColor, DT_LEFT);
    DrawFocus(item);
}

void DrawEncodingItem(const DRAWITEMSTRUCT& item) {
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillSolid(item.hDC, item.rcItem, selected ? palette.selectionColor : palette.inputColor);
    if (item.itemID < static_cast<UINT>(kEncodingChoiceCount)) {
        const RECT& r = item.rcItem;
        DrawTextBox(item.hDC, kEncodingChoices[item.itemID].name, Rect{r.left + Dp(6), r.top, r.right, r.bottom},
                    dialog.display.uiFont, palette.textColor, DT_LEFT);
    }
}

void DrawControl(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT& r = item.rcItem;
    const Rect box = FromRECT(r);
    const int id = static_cast<int>(item.CtlID);
    switch (id) {
        case kOk:
            FillSolid(dc, r, IsPressed(item) ? palette.activeColor : palette.accentColor);
            DrawTextBox(dc, ButtonText(item.hwndItem), box, dialog.display.uiFont, kWhite, DT_CENTER);
            DrawFocus(item);
            break;
        case kCancel:
            DrawFramedButton(item, palette.panelColor, palette.borderColor);
            DrawTextBox(dc, ButtonText(item.hwndItem), box, dialog.display.uiFont, palette.textColor, DT_CENTER);
            DrawFocus(item);
            break;
        case kCloseButtonId: DrawCloseButton(item, dialog.display.dpi); break;
        case kWordWrapBox: DrawCheckBox(item); break;
        case kFontButton:
            DrawFramedButton(item, palette.inputColor, IsHot(item) ? palette.accentColor : palette.borderColor);
            DrawTextBox(dc, dialog.face, Rect{box.left + Dp(8), box.top, box.right - Dp(4), box.bottom},
                        dialog.display.uiFont, palette.textColor, DT_LEFT | DT_END_ELLIPSIS);
            DrawFocus(item);
            break;
        case kEncodingList: DrawEncodingItem(item); break;
        default: {
            // Minus and plus: an 8-pixel bar through the centre, crossed on the plus buttons.
            DrawFramedButton(item, palette.inputColor, palette.borderColor);
            const COLORREF mark = IsPressed(item) ? kWhite : palette.textColor;
            const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
            DrawLine(dc, cx - Dp(4), cy, cx + Dp(4), cy, mark);
            if ((id - kFontSizeMinus) % 2 == 1) DrawLine(dc, cx, cy - Dp(4), cx, cy + Dp(4), mark);
            break;
        }
    }
}

void Paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    PaintDialogFrame(dc, client, LocalizedText(StringTable::SettingsDialog, 0), dialog.display);
    for (const DialogText& label : kSettingsLabels) {
        DrawTextBox(dc, LocalizedText(label.table, label.entry), Dp(Widened(label.box)), dialog.display.uiFont,
                    palette.dimTextColor, DT_LEFT | DT_END_ELLIPSIS);
    }
    // The edit fields carry no frame of their own.
    SetDCBrushColor(dc, palette.borderColor);
    for (const Rect& unmoved : kSettingsFieldRects) {
        const Rect field = Dp(Moved(unmoved));
        const RECT frame{field.left - 1, field.top - 1, field.right + 1, field.bottom + 1};
        FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    const int width = client.right - client.left;
    FillSolid(dc, RECT{Dp(20), Dp(248), width - Dp(20), Dp(248) + 1}, palette.borderColor);
    FillSolid(dc, RECT{Dp(20), Dp(296), width - Dp(20), Dp(296) + 1}, palette.borderColor);
    EndPaint(window, &ps);
}

void OnCommand(int id) {
    switch (id) {
        case kOk: Apply(); break;
        case kCancel:
        case kCloseButtonId: EndModal(dialog.window); break;
        case kFontButton: ChooseFace(); break;
        case kWordWrapBox:
            dialog.wordWrap = !dialog.wordWrap;
            InvalidateRect(GetDlgItem(dialog.window, kWordWrapBox), nullptr, FALSE);
            break;
        case kFontSizeMinus:
        case kTabWidthMinus:
        case kZoomMinus: Step(kFontSizeField + (id - kFontSizeMinus) / 2, -1); break;
        case kFontSizePlus:
        case kTabWidthPlus:
        case kZoomPlus: Step(kFontSizeField + (id - kFontSizePlus) / 2, +1); break;
        default: break;
    }
}

LRESULT CALLBACK SettingsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCHITTEST: return DialogHitTest(window, lParam, Moved(kSettingsCloseRect), dialog.display.dpi);
        case WM_DPICHANGED: FollowDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
        case WM_PAINT: Paint(window); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, palette.textColor);
            SetBkColor(dc, palette.inputColor);
            return reinterpret_cast<LRESULT>(dialog.inputBrush);
        }
        case WM_MEASUREITEM: {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (measure->CtlID == kEncodingList) measure->itemHeight = static_cast<UINT>(Dp(18));
            return TRUE;
        }
        case WM_DRAWITEM: DrawControl(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
            return 0;
        case WM_CLOSE: EndModal(window); return 0;
        case WM_DESTROY:
            if (dialog.inputBrush) DeleteObject(dialog.inputBrush);
            dialog.display.DeleteFonts();
            dialog = SettingsDialog{};
            return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

void OpenSettingsDialog() {
    if (DialogIsOpen()) return;
    RegisterDialogClass(L"TesSettings", SettingsProc);
    dialog.face = app.settings.fontFace;
    dialog.wordWrap = app.settings.wordWrap;
    dialog.inputBrush = CreateSolidBrush(palette.inputColor);
    dialog.display.MakeFonts(DialogOpeningDpi());
    // The label column is as wide as this language's widest label needs.
    int widest = 0;
    if (HDC screen = GetDC(nullptr)) {
        HGDIOBJ old = SelectObject(screen, dialog.display.uiFont);
        for (const DialogText& label : kSettingsLabels) {
            const std::wstring text = LocalizedText(label.table, label.entry);
            SIZE size{};
            GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &size);
            widest = std::max<int>(widest, size.cx);
        }
        SelectObject(screen, old);
        ReleaseDC(nullptr, screen);
    }
    // The label was measured in the dialog's pixels; the column is laid out in design pixels.
    dialog.shift = SettingsColumnShift(Unscale(widest, dialog.display.dpi));
    const SettingsLayout l = CurrentLayout();
    dialog.window =
        CreateDialogWindow(L"TesSettings", LocalizedText(StringTable::SettingsDialog, 0), l.width, l.height);
    if (!dialog.window) {
        DeleteObject(dialog.inputBrush);
        dialog.display.DeleteFonts();
        dialog = SettingsDialog{};
        return;
    }
    CreateControls();
    // Centred over a main window that straddles two displays, the dialog may have landed on the other.
    if (const int dpi = WindowDpi(dialog.window); dpi != dialog.display.dpi) FollowDpi(dpi, nullptr);
    RunModal(dialog.window, GetDlgItem(dialog.window, kFontSizeField));
}

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

constexpr int kWidth = 380, kHeight = 340;
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
const Rect kCloseRect{334, 1, 380, 31};
const Rect kFieldRects[3] = {{268, 89, 328, 109}, {268, 129, 328, 149}, {268, 169, 328, 189}};
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The open dialog's working copies; the numbers live in the edit fields until OK.
struct SettingsDialog {
    HWND window = nullptr;
    int shift = 0;  // how far everything right of the label column moved for this language's labels
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
// A box that starts in the label column and ends right of it: only its right end moves.
Rect Widened(const Rect& r) { return Rect{r.left, r.top, r.right + dialog.shift, r.bottom}; }

void SetField(int id, int value) { SetDlgItemTextW(dialog.window, id, std::to_wstring(value).c_str()); }

HWND CreateField(int id, const Rect& designBox, const std::wstring& text) {
    const Rect box = Px(designBox);
    HWND field = CreateWindowExW(0, L"EDIT", text.c_str(),
                                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_CENTER | ES_NUMBER | ES_AUTOHSCROLL, box.left,
                                 box.top, box.Width(), box.Height(), dialog.window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), app.instance, nullptr);
    SetWindowTheme(field, L"", L"");
    SendMessageW(field, WM_SETFONT, reinterpret_cast<WPARAM>(app.uiFont), FALSE);
    SendMessageW(field, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(Px(4), Px(4)));
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
    DrawLine(dc, cx - Px(4), cy - Px(2), cx, cy + Px(2), palette.textColor);
    DrawLine(dc, cx + Px(4), cy - Px(2), cx - 1, cy + Px(3), palette.textColor);
    ReleaseDC(list, dc);
}

LRESULT CALLBACK EncodingListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_NCDESTROY) RemoveWindowSubclass(list, EncodingListProc, 0);
    const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
    if (message == WM_PAINT || message == WM_SETFOCUS || message == WM_KILLFOCUS) PaintEncodingListEdge(list);
    return result;
}

void CreateControls() {
    HWND w = dialog.window;
    CreateOwnerDrawnButton(w, kFontButton, Moved(Rect{140, 49, 360, 75}), L"", true);
    const Settings& s = app.settings;
    const std::wstring values[3] = {std::to_wstring(s.fontSize), std::to_wstring(s.tabWidth), ZoomFieldText(s.zoom)};
    for (int row = 0; row < 3; ++row) {
        const int y = 89 + 40 * row;
        CreateOwnerDrawnButton(w, kFontSizeMinus + 2 * row, Moved(Rect{236, y, 264, y + 20}), L"", false);
        CreateField(kFontSizeField + row, Moved(kFieldRects[row]), values[row]);
        CreateOwnerDrawnButton(w, kFontSizePlus + 2 * row, Moved(Rect{332, y, 360, y + 20}), L"", false);
    }
    HWND list = CreateWindowExW(
        0, L"COMBOBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
        Px(140 + dialog.shift), Px(209), Px(194), Px(160), w, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEncodingList)),
        app.instance, nullptr);
    SetWindowTheme(list, L"", L"");
    SetWindowSubclass(list, EncodingListProc, 0, 0);
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(app.uiFont), FALSE);
    for (const EncodingChoice& choice : kEncodingChoices)
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.name));
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(EncodingListIndex(s.newEnc)), 0);
    const DialogText& wrap = kSettingsButtonTexts[0];
    CreateOwnerDrawnButton(w, kWordWrapBox, Widened(kSettingsWrapBox), LocalizedText(wrap.table, wrap.entry), true);
    const DialogText& cancel = kSettingsButtonTexts[1];
    CreateOwnerDrawnButton(w, kCancel, Moved(cancel.box), LocalizedText(cancel.table, cancel.entry), true);
    const DialogText& ok = kSettingsButtonTexts[2];
    CreateOwnerDrawnButton(w, kOk, Moved(ok.box), LocalizedText(ok.table, ok.entry), true);
    CreateOwnerDrawnButton(w, kCloseButtonId, Moved(kCloseRect), L"", false);
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
    InflateRect(&r, -Px(3), -Px(3));
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
    const int top = r.top + (r.bottom - r.top - Px(18)) / 2;
    const RECT box{r.left + Px(10), top, r.left + Px(28), top + Px(18)};
    if (dialog.wordWrap) {
        FillSolid(dc, box, palette.accentColor);
        HPEN pen = CreatePen(PS_SOLID, Px(2), kWhite);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        const POINT mark[3] = {{box.left + Px(4), box.top + Px(9)},
                               {box.left + Px(8), box.top + Px(13)},
                               {box.left + Px(14), box.top + Px(5)}};
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
    DrawTextBox(dc, ButtonText(item.hwndItem), Rect{r.left + Px(36), r.top, r.right, r.bottom}, app.uiFont,
                palette.textColor, DT_LEFT);
    DrawFocus(item);
}

void DrawEncodingItem(const DRAWITEMSTRUCT& item) {
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillSolid(item.hDC, item.rcItem, selected ? palette.selectionColor : palette.inputColor);
    if (item.itemID < static_cast<UINT>(kEncodingChoiceCount)) {
        const RECT& r = item.rcItem;
        DrawTextBox(item.hDC, kEncodingChoices[item.itemID].name, Rect{r.left + Px(6), r.top, r.right, r.bottom},
                    app.uiFont, palette.textColor, DT_LEFT);
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
            DrawTextBox(dc, ButtonText(item.hwndItem), box, app.uiFont, kWhite, DT_CENTER);
            DrawFocus(item);
            break;
        case kCancel:
            DrawFramedButton(item, palette.panelColor, palette.borderColor);
            DrawTextBox(dc, ButtonText(item.hwndItem), box, app.uiFont, palette.textColor, DT_CENTER);
            DrawFocus(item);
            break;
        case kCloseButtonId: DrawCloseButton(item); break;
        case kWordWrapBox: DrawCheckBox(item); break;
        case kFontButton:
            DrawFramedButton(item, palette.inputColor, IsHot(item) ? palette.accentColor : palette.borderColor);
            DrawTextBox(dc, dialog.face, Rect{box.left + Px(8), box.top, box.right - Px(4), box.bottom}, app.uiFont,
                        palette.textColor, DT_LEFT | DT_END_ELLIPSIS);
            DrawFocus(item);
            break;
        case kEncodingList: DrawEncodingItem(item); break;
        default: {
            // Minus and plus: an 8-pixel bar through the centre, crossed on the plus buttons.
            DrawFramedButton(item, palette.inputColor, palette.borderColor);
            const COLORREF mark = IsPressed(item) ? kWhite : palette.textColor;
            const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
            DrawLine(dc, cx - Px(4), cy, cx + Px(4), cy, mark);
            if ((id - kFontSizeMinus) % 2 == 1) DrawLine(dc, cx, cy - Px(4), cx, cy + Px(4), mark);
            break;
        }
    }
}

void Paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    PaintDialogFrame(dc, client, LocalizedText(StringTable::SettingsDialog, 0));
    for (const DialogText& label : kSettingsLabels) {
        DrawTextBox(dc, LocalizedText(label.table, label.entry), Px(Widened(label.box)), app.uiFont,
                    palette.dimTextColor, DT_LEFT | DT_END_ELLIPSIS);
    }
    // The edit fields carry no frame of their own.
    SetDCBrushColor(dc, palette.borderColor);
    for (const Rect& unmoved : kFieldRects) {
        const Rect field = Px(Moved(unmoved));
        const RECT frame{field.left - 1, field.top - 1, field.right + 1, field.bottom + 1};
        FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    const int width = client.right - client.left;
    FillSolid(dc, RECT{Px(20), Px(248), width - Px(20), Px(248) + 1}, palette.borderColor);
    FillSolid(dc, RECT{Px(20), Px(296), width - Px(20), Px(296) + 1}, palette.borderColor);
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
        case WM_NCHITTEST: return DialogHitTest(window, lParam, Moved(kCloseRect));
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
            if (measure->CtlID == kEncodingList) measure->itemHeight = static_cast<UINT>(Px(18));
            return TRUE;
        }
        case WM_DRAWITEM: DrawControl(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
            return 0;
        case WM_CLOSE: EndModal(window); return 0;
        case WM_DESTROY:
            if (dialog.inputBrush) DeleteObject(dialog.inputBrush);
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
    // The label column is as wide as this language's widest label needs.
    int widest = 0;
    if (HDC screen = GetDC(nullptr)) {
        HGDIOBJ old = SelectObject(screen, app.uiFont);
        for (const DialogText& label : kSettingsLabels) {
            const std::wstring text = LocalizedText(label.table, label.entry);
            SIZE size{};
            GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &size);
            widest = std::max<int>(widest, size.cx);
        }
        SelectObject(screen, old);
        ReleaseDC(nullptr, screen);
    }
    // The label was measured in the window's pixels; the column is laid out in design pixels.
    dialog.shift = SettingsColumnShift(Unscale(widest, app.dpi));
    dialog.window = CreateDialogWindow(L"TesSettings", LocalizedText(StringTable::SettingsDialog, 0),
                                       kWidth + dialog.shift, kHeight);
    if (!dialog.window) {
        DeleteObject(dialog.inputBrush);
        dialog = SettingsDialog{};
        return;
    }
    CreateControls();
    RunModal(dialog.window, GetDlgItem(dialog.window, kFontSizeField));
}

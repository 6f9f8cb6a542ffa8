// The main window's child windows: the search panel with its fields, buttons and results list,
// and the toolbar's tooltips.
#include "shell/child_windows.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "base/app_state.h"
#include "base/gdi_util.h"
#include "base/layout.h"
#include "search/search_panel.h"

namespace {

HWND PanelChild(int id) { return GetDlgItem(app.searchPanelWindow, id); }

}  // namespace

void CreateSearchPanel(HWND window) {
    app.searchPanelWindow = CreateWindowExW(0, L"TesResult", L"", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 300, 100, window,
                                            reinterpret_cast<HMENU>(2), app.instance, nullptr);
    if (!app.searchPanelWindow) return;
    SetDarkFrame(app.searchPanelWindow);
    struct Child {
        int id;
        const wchar_t* cls;
        const wchar_t* text;
        DWORD style;
        int w, h;
    };
    const DWORD button = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
    const DWORD edit = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL;
    const Child children[] = {
        {kPanelClose, L"BUTTON", L"\u00D7", button, 24, 24},
        {kPanelFind, L"EDIT", L"", edit, 100, 30},
        {kPanelReplace, L"EDIT", L"", edit, 100, 30},
        {kPanelCase, L"BUTTON", L"Aa", button, 30, 30},
        {kPanelWord, L"BUTTON", L"ab", button, 30, 30},
        {kPanelRegex, L"BUTTON", L".*", button, 30, 30},
        {kPanelAllFiles, L"BUTTON", L"F", button, 30, 30},
        {kPanelReplaceOne, L"BUTTON", L"R", button, 34, 28},
        {kPanelReplaceAll, L"BUTTON", L"All", button, 38, 28},
        {kPanelResults, L"TesResultList", L"", WS_CHILD | WS_VISIBLE, 100, 100},
    };
    for (const Child& c : children) {
        HWND child = CreateWindowExW(0, c.cls, c.text, c.style, 0, 0, c.w, c.h, app.searchPanelWindow,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), app.instance, nullptr);
        if (!child) continue;
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(app.uiFont), FALSE);
        if (c.id == kPanelFind || c.id == kPanelReplace) {
            SetWindowTheme(child, L"", L"");
            SubclassFindField(child);
        }
        if (c.id == kPanelResults) {
            app.resultListWindow = child;
            SetDarkFrame(child);
        }
    }
    ShowWindow(app.searchPanelWindow, SW_HIDE);
}

void LayoutSearchPanel() {
    RECT client;
    GetClientRect(app.searchPanelWindow, &client);
    HDC dc = GetDC(app.searchPanelWindow);
    HGDIOBJ old = SelectObject(dc, app.uiFont);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(app.searchPanelWindow, dc);
    const SearchPanelLayout p = ComputeSearchPanelLayout(client.right, client.bottom, tm.tmHeight, app.dpi);
    auto place = [](int id, const Rect& r) {
        if (HWND child = PanelChild(id)) MoveWindow(child, r.left, r.top, r.Width(), r.Height(), TRUE);
    };
    place(kPanelClose, p.close);
    place(kPanelAllFiles, p.allFilesButton);
    place(kPanelRegex, p.regexButton);
    place(kPanelWord, p.wordButton);
    place(kPanelCase, p.caseButton);
    place(kPanelFind, p.findBox);
    place(kPanelReplaceAll, p.replaceAllButton);
    place(kPanelReplaceOne, p.replaceButton);
    place(kPanelReplace, p.replaceBox);
    place(kPanelResults, p.results);
    const struct {
        int id;
        Rect box, text;
    } fields[] = {{kPanelFind, p.findBox, p.findText}, {kPanelReplace, p.replaceBox, p.replaceText}};
    for (const auto& f : fields) {
        HWND child = PanelChild(f.id);
        if (!child) continue;
        SetWindowRgn(child, CreateRoundRectRgn(0, 0, f.box.Width() + 1, f.box.Height() + 1, Px(6), Px(6)), TRUE);
        SendMessageW(child, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(Px(6), Px(6)));
        RECT text = ToRECT(f.text);
        SendMessageW(child, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&text));
    }
}

void CreateToolbarTooltip(HWND window) {
    app.toolbarTooltip =
        CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, app.instance, nullptr);
    if (!app.toolbarTooltip) return;
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_SUBCLASS;
        ti.hwnd = window;
        ti.uId = static_cast<UINT_PTR>(i + 1);
        ti.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(app.toolbarTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void UpdateTooltipRects() {
    if (!app.toolbarTooltip) return;
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = app.mainWindow;
        ti.uId = static_cast<UINT_PTR>(i + 1);
        ti.rect = app.rects.toolbar.Empty() ? RECT{} : ToRECT(ToolbarButtonRect(app.rects.toolbar, i, app.dpi));
        SendMessageW(app.toolbarTooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

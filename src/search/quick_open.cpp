#include "search/quick_open.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/editor.h"
#include "base/gdi_util.h"
#include "workflow/tab_actions.h"
#include "dialogs/dialog_frame.h"
#include "document/document.h"
#include "document/tabs.h"
#include "base/encoding.h"
#include "io/open.h"
#include "search/editor_search.h"
#include "search/quick_open_model.h"
#include "search/quick_open_paint.h"
#include "search/search_panel.h"
#include "search/symbols.h"
#include "syntax/palette.h"
#include "base/strings.h"

namespace {

// What the popup shows now. The folder walk and the symbol scan are kept while it stays open, so
// that a keystroke only filters them again.
struct QuickOpenState {
    int mode = kQuickPalette;
    std::vector<QuickItem> filtered;
    std::vector<QuickItem> palette;
    FolderFiles folder;
    bool folderWalked = false;
    SymbolCache symbols;
    WNDPROC baseQueryProc = nullptr;
    WNDPROC baseLineProc = nullptr;
    wchar_t droppedChar = 0;    // the character of a key handled at key-down
    bool settingQuery = false;  // the program empties the query box: no rebuild
};
QuickOpenState quick;

HWND Child(int id) { return app.quickOpenPopup ? GetDlgItem(app.quickOpenPopup, id) : nullptr; }

std::wstring ChildText(int id) {
    wchar_t buffer[512] = {};
    if (HWND child = Child(id)) GetWindowTextW(child, buffer, 512);
    return buffer;
}

HWND TextEditor() {
    const Document* doc = ActiveDocument();
    return doc && doc->editor && !doc->hexMode ? doc->editor : nullptr;
}

void FocusEditor() {
    if (HWND ed = TextEditor()) SetFocus(ed);
}

// ---- the lists ----------------------------------------------------------------------------------

std::vector<QuickItem> FileList(const std::wstring& query) {
    if (!quick.folderWalked) {
        quick.folder = WalkQuickOpenFolder(app.folderRoot);
        quick.folderWalked = true;
    }
    return FileListItems(quick.folder, query);
}

std::vector<QuickItem> SymbolList(const std::wstring& query) {
    HWND ed = TextEditor();
    if (!ed) return {NoDocumentSymbolRow()};
    const long long length = editor::Length(ed);
    const size_t fetched = static_cast<size_t>(std::min<long long>(length, kSymbolScanBytes + 1));
    const char* bytes = fetched ? editor::RangePointer(ed, 0, static_cast<long long>(fetched)) : nullptr;
    const std::string_view text(bytes ? bytes : "", bytes ? fetched : 0);
    const size_t scanned = SymbolScanLength(text);
    return SymbolItems(
        CachedSymbolScan(quick.symbols, text.substr(0, scanned), length > static_cast<long long>(scanned)), query);
}

std::vector<QuickItem> TextList(const std::wstring& query) {
    std::vector<TabText> tabs;
    if (!query.empty()) {
        for (int i = 0; i < static_cast<int>(documents.size()); ++i) {
            const Document& doc = documents[static_cast<size_t>(i)];
            if (!doc.hexMode && doc.editor) tabs.push_back(EditorTabText(doc.editor, doc.title, i));
        }
    }
    return TextListItems(tabs, query);
}

void BuildList(const std::wstring& query) {
    switch (quick.mode) {
        case kQuickPalette: quick.filtered = FilterPalette(quick.palette, query); break;
        case kQuickAnything:
            if (!query.empty() && query[0] == L':')
                quick.filtered = GotoLineItems(query.substr(1));
            else if (!query.empty() && query[0] == L'@')
                quick.filtered = SymbolList(query.substr(1));
            else if (!query.empty() && query[0] == L'#')
                quick.filtered = TextList(query.substr(1));
            else
                quick.filtered = FileList(query);
            break;
        case kQuickSymbol: quick.filtered = SymbolList(query); break;
        case kQuickText: quick.filtered = TextList(query); break;
        default: quick.filtered.clear(); break;
    }
}

void FillQuickList() {
    HWND list = Child(kQuickList);
    if (!list) return;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    SendMessageW(list, LB_INITSTORAGE, quick.filtered.size(), quick.filtered.size() * 64);
    for (const QuickItem& item : quick.filtered)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.label.c_str()));
    if (!quick.filtered.empty()) SendMessageW(list, LB_SETCURSEL, 0, 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void OnQueryChanged() {
    if (quick.mode == kQuickGotoLine || quick.settingQuery) return;
    BuildList(ChildText(kQuickQuery));
    FillQuickList();
}

int SelectedIndex() {
    HWND list = Child(kQuickList);
    return list ? static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)) : -1;
}

void MoveSelection(int step) {
    HWND list = Child(kQuickList);
    if (!list) return;
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    const int current = SelectedIndex();
    int next = current;
    if (step < 0 && current > 0) next = current - 1;
    if (step > 0) next = current < 0 ? 0 : std::min(current + 1, count - 1);
    if (next != current && next >= 0) SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(next), 0);
}

// ---- picking ------------------------------------------------------------------------------------

void MoveToLine(long long typed) {
    HWND ed = TextEditor();
    const long long line = ed ? TargetLine(typed, editor::LineCount(ed)) : -1;
    if (line < 0) return;
    editor::Send(ed, editor::kGotoLine, static_cast<WPARAM>(line));
    editor::Send(ed, editor::kScrollCaret);
}

// Selects the first occurrence of a lower-cased word in the active tab, letters A to Z without case.
void SelectWord(const std::wstring& word) {
    HWND ed = TextEditor();
    if (!ed) return;
    const std::string folded = LowerAsciiBytes(WideToUtf8(word));
    const long long length = editor::Length(ed);
    const char* bytes = length > 0 ? editor::RangePointer(ed, 0, length) : nullptr;
    if (!bytes) return;
    const size_t at = FindFolded(std::string_view(bytes, static_cast<size_t>(length)), 0, folded);
    if (at == std::string_view::npos) return;
    editor::Send(ed, editor::kSetSel, at, static_cast<LPARAM>(at + folded.size()));
    editor::Send(ed, editor::kScrollCaret);
}

void PickEntry(bool byEnter) {
    const int index = SelectedIndex();
    const QuickItem* selected = index >= 0 && index < static_cast<int>(quick.filtered.size())
                                    ? &quick.filtered[static_cast<size_t>(index)]
                                    : nullptr;
    if (!selected) return;
    const QuickPick pick =
        DecidePick(quick.mode, selected, ChildText(kQuickQuery), byEnter, static_cast<int>(documents.size()));
    HideQuickOpen();
    FocusEditor();
    switch (pick.kind) {
        // Through the main window, as a menu's command would come: the palette is one more way to
        // give a command, not a second place that runs them.
        case QuickPick::RunCommand:
            SendMessageW(app.mainWindow, WM_COMMAND, MAKEWPARAM(pick.command, 0), 0);
            return;
        case QuickPick::ActivateTab: ActivateTab(pick.tab); break;
        case QuickPick::OpenFile: OpenPath(pick.text); break;
        case QuickPick::FindWord: SelectWord(pick.text); return;
        case QuickPick::GotoLine: break;
        case QuickPick::Nothing: return;
    }
    MoveToLine(pick.line);
    FocusEditor();
}

void GotoLineFromBox() {
    HWND ed = TextEditor();
    if (!ed) return;
    const long long line = TargetLine(ParseLineNumber(ChildText(kQuickLineBox)), editor::LineCount(ed));
    if (line < 0) return;
    editor::Send(ed, editor::kGotoLine, static_cast<WPARAM>(line));
    editor::Send(ed, editor::kScrollCaret);
    HideQuickOpen();
    SetFocus(ed);
}

// Escape, Up, Down and Enter, from whichever child holds the focus.
bool HandlePopupKey(WPARAM vk) {
    switch (vk) {
        case VK_ESCAPE:
            HideQuickOpen();
            FocusEditor();
            return true;
        case VK_UP: MoveSelection(-1); return true;
        case VK_DOWN: MoveSelection(1); return true;
        case VK_RETURN:
            if (quick.mode == kQuickGotoLine)
                GotoLineFromBox();
            else
                PickEntry(true);
            return true;
        default: return false;
    }
}

// ---- the children -------------------------------------------------------------------------------

// The query box and the line box: the popup's keys are taken at key-down and their characters
// dropped; the line box also repaints its fill on focus changes and key releases.
LRESULT CALLBACK QuickFieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool lineBox = GetDlgCtrlID(window) == kQuickLineBox;
    const WNDPROC base = lineBox ? quick.baseLineProc : quick.baseQueryProc;
    if (!base) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_KEYDOWN: {
            quick.droppedChar = 0;
            const bool handled = lineBox ? (wParam == VK_ESCAPE || wParam == VK_RETURN) : true;
            if (handled && HandlePopupKey(wParam)) {
                quick.droppedChar = wParam == VK_RETURN ? L'\r' : wParam == VK_ESCAPE ? L'\x1B' : 0;
                return 0;
            }
            break;
        }
        case WM_CHAR:
            if ((quick.droppedChar && wParam == quick.droppedChar) || wParam == L'\r' || wParam == L'\n') {
                quick.droppedChar = 0;
                return 0;
            }
            quick.droppedChar = 0;
            break;
        case WM_PAINT:
            if (lineBox) {
                HDC dc = GetDC(window);
                RECT client;
                GetClientRect(window, &client);
                FillSolid(dc, client, SearchFieldFill());
                ReleaseDC(window, dc);
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_KEYUP:
            if (lineBox) {
                const LRESULT result = CallWindowProcW(base, window, message, wParam, lParam);
                InvalidateRect(window, nullptr, TRUE);
                return result;
            }
            break;
        default: break;
    }
    return CallWindowProcW(base, window, message, wParam, lParam);
}

// The popup's controls, placed in design pixels (96 dpi).
struct Spec {
    int id;
    DWORD exStyle;
    const wchar_t* cls;
    DWORD style;
    int x, y, w, h;
};
const Spec kChildSpecs[] = {
    {kQuickQuery, WS_EX_CLIENTEDGE, L"EDIT", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 8, 8, 544, 26},
    {kQuickList, 0, L"LISTBOX",
     WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT |
         LBS_OWNERDRAWFIXED,
     8, 44, 544, 260},
    {kQuickLineLabel, 0, L"STATIC", WS_CHILD | SS_CENTERIMAGE | SS_NOPREFIX, 12, 10, 46, 24},
    {kQuickLineBox, 0, L"EDIT", WS_CHILD | ES_NUMBER | ES_MULTILINE | ES_AUTOHSCROLL, 58, 10, 122, 24},
};
constexpr Rect kGoButton{188, 10, 246, 34}, kCloseButton{252, 10, 286, 34};

int ListRowHeight();
void FitListToRows(HWND list);

void CreateChildren(HWND popup) {
    for (const Spec& s : kChildSpecs) {
        HWND child = CreateWindowExW(s.exStyle, s.cls, L"", s.style, s.x, s.y, s.w, s.h, popup,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(s.id)), app.instance, nullptr);
        if (!child) continue;
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(app.uiFont), FALSE);
        if (s.id == kQuickQuery || s.id == kQuickLineBox) {
            SendMessageW(child, EM_SETLIMITTEXT, s.id == kQuickQuery ? 511 : 63, 0);
            const WNDPROC base = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(QuickFieldProc)));
            (s.id == kQuickQuery ? quick.baseQueryProc : quick.baseLineProc) = base;
        }
        if (s.id == kQuickList) {
            SetDarkFrame(child);
            SendMessageW(child, LB_SETITEMHEIGHT, 0, ListRowHeight());
            FitListToRows(child);
        }
    }
    for (HWND button : {CreateOwnerDrawnButton(popup, kQuickGo, Px(kGoButton), L"Go", false, app.uiFont),
                        CreateOwnerDrawnButton(popup, kQuickClose, Px(kCloseButton), L"\u00D7", false, app.uiFont)}) {
        if (button) ShowWindow(button, SW_HIDE);
    }
}

// A row of the list: the interface font's height with room above and below.
int ListRowHeight() {
    HDC dc = GetDC(nullptr);
    const int height = FontHeight(dc, app.uiFont);
    ReleaseDC(nullptr, dc);
    return std::max(Px(16), height + Px(8));
}

// The list shows whole rows: its height is cut to a multiple of the row height.
void FitListToRows(HWND list) {
    const int rowHeight = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    SetWindowPos(list, nullptr, 0, 0, Px(544), WholeRowsHeight(Px(260), rowHeight), SWP_NOMOVE | SWP_NOZORDER);
}

void ShowChildren(bool lineMode) {
    for (int id : {kQuickQuery, kQuickList}) ShowWindow(Child(id), lineMode ? SW_HIDE : SW_SHOW);
    for (int id : {kQuickLineLabel, kQuickLineBox, kQuickGo, kQuickClose})
        ShowWindow(Child(id), lineMode ? SW_SHOW : SW_HIDE);
}

// The controls at the display's scale.
void PlaceChildren() {
    const auto place = [](int id, const Rect& r) {
        if (HWND child = Child(id))
            MoveWindow(child, Px(r.left), Px(r.top), Px(r.right) - Px(r.left), Px(r.bottom) - Px(r.top), FALSE);
    };
    for (const Spec& s : kChildSpecs) place(s.id, Rect{s.x, s.y, s.x + s.w, s.y + s.h});
    place(kQuickGo, kGoButton);
    place(kQuickClose, kCloseButton);
    if (HWND list = Child(kQuickList)) {
        SendMessageW(list, LB_SETITEMHEIGHT, 0, ListRowHeight());
        FitListToRows(list);
    }
}

// Centred in the main window's client area, 40 pixels below its top, wherever that window is; the
// size in design pixels.
void PlacePopup(int designWidth, int designHeight) {
    PlaceChildren();
    const int width = Px(designWidth), height = Px(designHeight);
    RECT client{};
    POINT at{0, Px(40)};
    if (app.mainWindow) {
        GetClientRect(app.mainWindow, &client);
        at.x = (client.right - width) / 2;
        ClientToScreen(app.mainWindow, &at);
    }
    SetWindowPos(app.quickOpenPopup, HWND_TOPMOST, at.x, at.y, width, height, SWP_SHOWWINDOW);
}

// The popup and its controls for the current mode at the main window's scale; the goto-line box
// gets its rounded outline and its text area for that scale and the font of the moment.
void PlaceForMode() {
    if (quick.mode != kQuickGotoLine) {
        PlacePopup(560, 320);
        return;
    }
    if (HWND box = Child(kQuickLineBox)) {
        PlaceChildren();
        SetWindowRgn(box, CreateRoundRectRgn(0, 0, Px(122) + 1, Px(24) + 1, Px(6), Px(6)), TRUE);
        HDC dc = GetDC(box);
        const int height = FontHeight(dc, app.uiFont);
        ReleaseDC(box, dc);
        const int top = std::max(0, (Px(24) - height) / 2);
        RECT text{Px(6), top, Px(122 - 6), top + height};
        SendMessageW(box, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&text));
    }
    PlacePopup(310, 44);
}

LRESULT QueryState(WPARAM what) {
    switch (what) {
        case 0: return quick.mode;
        case 1: return Child(kQuickList) ? SendMessageW(Child(kQuickList), LB_GETCOUNT, 0, 0) : 0;
        case 2: return SelectedIndex();
        case 3: {
            HWND focus = GetFocus();
            return focus && GetParent(focus) == app.quickOpenPopup ? GetDlgCtrlID(focus) : 0;
        }
        default: return -1;
    }
}

}  // namespace

TabText EditorTabText(HWND ed, const std::wstring& title, int index) {
    const long long length = editor::Length(ed);
    const long long searchEnd = std::min(length, kTabSearchBytes);
    // A little past the searched part, so that a label near its end still has its line.
    const long long readable = std::min(length, searchEnd + 4096);
    const char* bytes = readable > 0 ? editor::RangePointer(ed, 0, readable) : nullptr;
    TabText tab;
    tab.title = title;
    tab.index = index;
    tab.text = std::string_view(bytes ? bytes : "", bytes ? static_cast<size_t>(readable) : 0);
    tab.searchEnd = bytes ? searchEnd : 0;
    tab.lineAt = [ed](long long position) {
        TabLine line;
        line.number = editor::Send(ed, editor::kLineFromPosition, static_cast<WPARAM>(position));
        line.start = editor::Send(ed, editor::kPositionFromLine, static_cast<WPARAM>(line.number));
        line.end = editor::Send(ed, editor::kGetLineEndPosition, static_cast<WPARAM>(line.number));
        return line;
    };
    // The component's own plain search without case; it never moves the text read above.
    tab.find = [ed](const std::string& query, long long from, long long to, long long& matchEnd) {
        const long long m = SearchEditorForward(ed, query, from, to, 0);
        matchEnd = m >= 0 ? editor::Send(ed, editor::kGetTargetEnd) : m;
        return m;
    };
    return tab;
}

LRESULT CALLBACK QuickOpenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: CreateChildren(window); return 0;
        case WM_PAINT: PaintQuickOpen(window, quick.mode == kQuickGotoLine); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item.CtlType == ODT_LISTBOX)
                DrawQuickOpenRow(item, quick.filtered, quick.mode, ChildText(kQuickQuery));
            else
                DrawQuickOpenButton(item);
            return TRUE;
        }
        case WM_MEASUREITEM:
            reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(ListRowHeight());
            return TRUE;
        case WM_CTLCOLORLISTBOX: return QuickOpenListColour(reinterpret_cast<HDC>(wParam));
        case WM_CTLCOLOREDIT: return QuickOpenControlColour(wParam, lParam, false);
        case WM_CTLCOLORSTATIC: return QuickOpenControlColour(wParam, lParam, true);
        case WM_COMMAND: {
            const int id = LOWORD(wParam), code = HIWORD(wParam);
            if (id == kQuickQuery && code == EN_CHANGE) OnQueryChanged();
            if (id == kQuickList && code == LBN_DBLCLK) PickEntry(false);
            if (id == kQuickGo && code == BN_CLICKED) GotoLineFromBox();
            if (id == kQuickClose && code == BN_CLICKED) {
                HideQuickOpen();
                FocusEditor();
            }
            return 0;
        }
        case WM_VKEYTOITEM:
            // Keys in the list: Enter and Escape are the popup's, the rest move the selection as usual.
            if (LOWORD(wParam) == VK_RETURN || LOWORD(wParam) == VK_ESCAPE) {
                HandlePopupKey(LOWORD(wParam));
                return -2;
            }
            return -1;
        case WM_KEYDOWN:
            if (HandlePopupKey(wParam)) return 0;
            break;
        case WM_NCHITTEST: {
            // The goto-line box is dragged by its body.
            const LRESULT hit = DefWindowProcW(window, message, wParam, lParam);
            return hit == HTCLIENT && quick.mode == kQuickGotoLine ? HTCAPTION : hit;
        }
        case kQueryQuickOpenState: return QueryState(wParam);
        case WM_DESTROY:
            ReleaseQuickOpenBrushes();
            return 0;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void OpenQuickOpen(int mode) {
    if (!app.quickOpenPopup) return;
    quick.mode = std::clamp(mode, 0, 3);
    ShowChildren(false);
    quick.folderWalked = false;
    quick.symbols = SymbolCache{};
    if (quick.mode == kQuickPalette) {
        quick.filtered = PaletteEntries();
        quick.palette = quick.filtered;
    } else {
        BuildList(L"");
    }
    // Emptying the box reports a change; the list for the empty query is already there.
    quick.settingQuery = true;
    SetWindowTextW(Child(kQuickQuery), L"");
    quick.settingQuery = false;
    FillQuickList();
    PlaceForMode();
    InvalidateRect(app.quickOpenPopup, nullptr, FALSE);
    SetFocus(Child(kQuickQuery));
}

void OpenGotoLine() {
    if (!app.quickOpenPopup) return;
    quick.mode = kQuickGotoLine;
    ShowChildren(true);
    SetWindowTextW(Child(kQuickLineLabel), LocalizedText(StringTable::GotoLine, 0));
    SetWindowTextW(Child(kQuickGo), LocalizedText(StringTable::GotoLine, 1));
    SetWindowTextW(Child(kQuickLineBox), L"");
    PlaceForMode();
    InvalidateRect(app.quickOpenPopup, nullptr, TRUE);
    SetFocus(Child(kQuickLineBox));
}

void FollowQuickOpenDpi() {
    if (!app.quickOpenPopup || !IsWindowVisible(app.quickOpenPopup)) return;
    PlaceForMode();
    RedrawWindow(app.quickOpenPopup, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool HideQuickOpen() {
    if (!app.quickOpenPopup || !IsWindowVisible(app.quickOpenPopup)) return false;
    ShowWindow(app.quickOpenPopup, SW_HIDE);
    // The walk and the scan are made again at the next opening; their memory goes now.
    quick.folder = FolderFiles{};
    quick.folderWalked = false;
    quick.symbols = SymbolCache{};
    return true;
}

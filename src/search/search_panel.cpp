#include "search/result_list.h"
#include "search/search_panel.h"

#include <windowsx.h>

#include <set>
#include <string>

#include "base/app_state.h"
#include "base/change_notice.h"
#include "base/gdi_util.h"
#include "document/document.h"
#include "document/tabs.h"
#include "base/encoding.h"
#include "persist/persist.h"
#include "project/sidebar.h"
#include "search/editor_search.h"
#include "search/find_in_files.h"
#include "syntax/palette.h"
#include "base/strings.h"

SearchResults results;

namespace {

constexpr UINT_PTR kDebounceTimer = 2;
constexpr UINT_PTR kRefreshTimer = 3;  // a searched tab was edited
constexpr UINT kDebounceMs = 250;
constexpr int kDragEdge = 7;
constexpr long long kAllFilesTabLimit = 16ll * 1024 * 1024;

WNDPROC baseFieldProc = nullptr;
ColourBrush fieldBrush;
bool resizing = false;
wchar_t droppedFieldChar = 0;  // the character a key handled at key-down will still produce

HWND PanelChild(int id) { return app.searchPanelWindow ? GetDlgItem(app.searchPanelWindow, id) : nullptr; }

// The box's text, at most 255 characters.
std::wstring FieldText(int id) {
    wchar_t buffer[256] = {};
    if (HWND field = PanelChild(id)) GetWindowTextW(field, buffer, 256);
    return buffer;
}

int CurrentFlags() { return SearchFlagWord(app.findCase != 0, app.findWord != 0, app.findRegex != 0); }

bool* OptionOf(int id) {
    switch (id) {
        case kPanelCase: return &app.findCase;
        case kPanelWord: return &app.findWord;
        case kPanelRegex: return &app.findRegex;
        case kPanelAllFiles: return &app.findAllFiles;
        default: return nullptr;
    }
}

void RepaintChild(int id) {
    if (HWND child = PanelChild(id)) InvalidateRect(child, nullptr, TRUE);
}

// Replace and Replace All act only on a tab whose text may change.
Document* EditableDocument() {
    Document* doc = ActiveDocument();
    if (!doc || !doc->editor || doc->hexMode || doc->readOnlyFile || doc->readOnlyView) return nullptr;
    return doc;
}

// What Replace and Replace All work with: the tab, the find text and the replacement in the
// component's form, both as UTF-8. False when there is nothing to replace in.
struct ReplaceRequest {
    Document* doc = nullptr;
    std::string find, replacement;
    int flags = 0;
};

bool PrepareReplace(ReplaceRequest& request) {
    request.doc = EditableDocument();
    const std::wstring find = FieldText(kPanelFind);
    if (!request.doc || find.empty()) return false;
    request.flags = CurrentFlags();
    std::wstring replacement = FieldText(kPanelReplace);
    if (request.flags & kFindRegex) replacement = ConvertReplacement(replacement);
    request.find = WideToUtf8(find);
    request.replacement = WideToUtf8(replacement);
    return true;
}

// After a search of the editor that ran out of its budget, the summary row says so (the live
// search that follows may well have kept within its own).
void NoteStopped(const SearchBudget& budget) {
    if (!budget.stopped || !app.searchPanelOpen) return;
    results.stopped = true;
    RebuildResultRows();
}

void ReplaceCurrent() {
    ReplaceRequest r;
    if (!PrepareReplace(r)) return;
    SearchBudget budget = InteractiveBudget();
    ReplaceCurrentInEditor(r.doc->editor, r.find, r.replacement, r.flags, &budget);
    NoteChange(kChangeStatusBar);
    if (app.searchPanelOpen) RunSearch();
    NoteStopped(budget);
}

void ReplaceAll() {
    ReplaceRequest r;
    if (!PrepareReplace(r)) return;
    SearchBudget budget = InteractiveBudget();
    if (ReplaceAllInEditor(r.doc->editor, r.find, r.replacement, r.flags, &budget) > 0) {
        r.doc->modified = 1;
        NoteChange(kChangeTitle);
    }
    if (app.searchPanelOpen) RunSearch();
    NoteStopped(budget);
}

void FindFromField() {
    Document* doc = ActiveDocument();
    if (!doc || doc->hexMode) return;
    SearchBudget budget = InteractiveBudget();
    FindInEditor(doc->editor, WideToUtf8(FieldText(kPanelFind)), CurrentFlags(), true, &budget);
    NoteChange(kChangeStatusBar);
    RunSearch();
    NoteStopped(budget);
}

void CollectTab(int index, const std::string& query, int flags, long long limit, SearchBudget& budget) {
    const Document& doc = documents[static_cast<size_t>(index)];
    if (doc.hexMode || !doc.editor) return;
    HitSource source{doc.path, doc.title, index};
    CollectEditorHits(doc.editor, query, flags, limit, source, results.hits, budget);
}

// ---- painting -------------------------------------------------------------------------------

RECT ChildRect(HWND parent, int id) {
    RECT r{};
    if (HWND child = GetDlgItem(parent, id)) {
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

void PaintPanel(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    FillSolid(dc, client, palette.panelColor);
    if (app.searchPanelOpen) {
        FillSolid(dc, Rect{0, 0, client.right, Px(30)}, palette.chromeColor);
        DrawTextBox(dc, LocalizedText(StringTable::SearchPanelTitle, 0), Rect{Px(10), 0, client.right - Px(10), Px(30)},
                    app.panelTitleFont, palette.textColor, DT_LEFT);
        DrawLine(dc, 0, 0, 0, client.bottom, palette.borderColor);
        DrawLine(dc, 0, Px(30), client.right, Px(30), palette.borderColor);
        DrawLine(dc, 0, Px(106), client.right, Px(106), palette.borderColor);
        for (int id : {kPanelFind, kPanelReplace}) {
            RECT r = ChildRect(window, id);
            RoundBox(dc, RECT{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1}, Px(6), SearchFieldFill(),
                     palette.borderColor);
        }
    }
    EndPaint(window, &ps);
}

void DrawPanelButton(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT& r = item.rcItem;
    const int id = static_cast<int>(item.CtlID);
    const bool* option = OptionOf(id);
    const bool on = option && *option;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool hot = (item.itemState & ODS_HOTLIGHT) != 0;
    FillSolid(dc, r, palette.panelColor);
    COLORREF fill = palette.panelColor, outline = palette.borderColor;
    if (on) {
        fill = palette.selectionColor;
        outline = palette.accentColor;
    } else if (pressed || hot) {
        fill = palette.hoverColor;
    }
    RoundBox(dc, RECT{r.left, r.top, r.right - 1, r.bottom - 1}, Px(6), fill, outline);
    wchar_t caption[16] = {};
    GetWindowTextW(item.hwndItem, caption, 16);
    const COLORREF textColour = id == kPanelClose ? RGB(139, 148, 163) : palette.textColor;
    DrawTextBox(dc, caption, FromRECT(r), app.uiFont, textColour, DT_CENTER);
    if (id == kPanelWord) {
        // "ab" is underlined: whole words.
        HGDIOBJ old = SelectObject(dc, app.uiFont);
        SIZE size{};
        GetTextExtentPoint32W(dc, caption, lstrlenW(caption), &size);
        SelectObject(dc, old);
        const int x = (r.left + r.right - size.cx) / 2, y = (r.top + r.bottom + size.cy) / 2;
        DrawLine(dc, x, y, x + size.cx, y, palette.textColor);
    }
}

void OnPanelCommand(int id, int code) {
    if (id == kPanelFind && code == EN_CHANGE) {
        SetTimer(app.searchPanelWindow, kDebounceTimer, kDebounceMs, nullptr);
        return;
    }
    if (code != BN_CLICKED) return;
    if (bool* option = OptionOf(id)) {
        *option = !*option;
        // Typing and Escape go on where they were: the click does not leave the focus on the toggle.
        SetFocus(GetDlgItem(app.searchPanelWindow, kPanelFind));
        RepaintChild(id);
        SaveUiState();
        RunSearch();
        return;
    }
    switch (id) {
        case kPanelClose: CloseSearchPanel(); break;
        case kPanelReplaceOne:
        case kPanelReplaceAll:
            // As with the toggles, the keys (Enter, Escape, F3, Ctrl+F) go on working: the focus
            // returns to the box the button belongs to.
            SetFocus(GetDlgItem(app.searchPanelWindow, id == kPanelReplaceOne ? kPanelReplace : kPanelFind));
            if (id == kPanelReplaceOne)
                ReplaceCurrent();
            else
                ReplaceAll();
            break;
        default: break;
    }
}

void DragPanelEdge(HWND window, int x) {
    POINT p{x, 0};
    MapWindowPoints(window, app.mainWindow, &p, 1);
    RECT main;
    GetClientRect(app.mainWindow, &main);
    // The panel's width is kept in design pixels, like the sidebar's it is measured against.
    const int width =
        PanelWidthForDrag(Unscale(main.right, app.dpi), app.sidebarVisible ? kSidebarWidth : 0, Unscale(p.x, app.dpi));
    if (width != app.searchPanelWidth) {
        app.searchPanelWidth = width;
        NoteChange(kChangeLayout);
    }
}

void PaintFieldPlaceholder(HWND field) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(field, &ps);
    RECT client;
    GetClientRect(field, &client);
    FillSolid(dc, client, SearchFieldFill());
    const bool isFind = GetDlgCtrlID(field) == kPanelFind;
    DrawTextBox(dc, LocalizedText(StringTable::MenuLabels, isFind ? 17 : 18),
                Rect{Px(6), 0, client.right - Px(6), client.bottom}, app.uiFont, palette.faintTextColor, DT_LEFT);
    EndPaint(field, &ps);
}

// The clipboard's text into a box, on one line: in an expression a line break is one written out
// ("\R" finds any line end in the find box, "\n" inserts a line feed from the replace box), in
// plain text a space.
void PasteIntoField(HWND field) {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(field)) return;
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    const bool findBox = GetDlgCtrlID(field) == kPanelFind;
    const std::wstring lineBreak = !app.findRegex ? L" " : findBox ? L"\\R" : L"\\n";
    const std::wstring flat = FlattenPastedText(text, lineBreak);
    SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(flat.c_str()));
}

bool ForwardedToMainWindow(WPARAM vk) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    return vk == VK_ESCAPE || vk == VK_F1 || vk == VK_F3 || vk == VK_F11 || (ctrl && (vk == 'F' || vk == 'H'));
}

bool DarkText() {
    const COLORREF t = palette.textColor;
    return GetRValue(t) + GetGValue(t) + GetBValue(t) < 3 * 128;
}

// The same search again over the edited text; the list keeps its place as far as it still can.
void RefreshAfterEdit() {
    const int scrollY = results.scrollY, scrollX = results.scrollX;
    RunSearch();
    results.scrollY = scrollY;
    results.scrollX = scrollX;
    RebuildResultRows();
}

}  // namespace

COLORREF SearchFieldFill() { return DarkText() ? palette.inputColor : RGB(28, 28, 28); }
COLORREF SearchMatchFill() { return DarkText() ? RGB(190, 215, 240) : RGB(43, 65, 87); }

LRESULT CALLBACK FindFieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!baseFieldProc) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_PAINT:
            if (GetWindowTextLengthW(window) == 0 && GetFocus() != window) {
                PaintFieldPlaceholder(window);
                return 0;
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_KEYUP: {
            const LRESULT result = CallWindowProcW(baseFieldProc, window, message, wParam, lParam);
            InvalidateRect(window, nullptr, TRUE);
            return result;
        }
        case WM_KEYDOWN:
            droppedFieldChar = 0;
            if (wParam == VK_RETURN) {
                droppedFieldChar = L'\r';
                if (GetDlgCtrlID(window) == kPanelFind)
                    FindFromField();
                else
                    ReplaceCurrent();
                return 0;
            }
            if (ForwardedToMainWindow(wParam)) {
                // Escape, Ctrl+F and Ctrl+H make characters; the function keys make none.
                droppedFieldChar = wParam == VK_ESCAPE ? L'\x1B' : wParam == 'F' ? L'\x06' : wParam == 'H' ? L'\b' : 0;
                PostMessageW(app.mainWindow, WM_KEYDOWN, wParam, lParam);
                return 0;
            }
            if (wParam == 'A' && GetKeyState(VK_CONTROL) < 0) {
                droppedFieldChar = L'\x01';
                SendMessageW(window, EM_SETSEL, 0, -1);
                return 0;
            }
            break;
        case WM_PASTE:
            PasteIntoField(window);
            return 0;
        case WM_CHAR:
            // The character of a key handled above (Enter, Escape, Ctrl+F, Ctrl+H...) is dropped;
            // a line break never enters the one-line boxes.
            if ((droppedFieldChar && wParam == droppedFieldChar) || wParam == L'\r' || wParam == L'\n') {
                droppedFieldChar = 0;
                return 0;
            }
            droppedFieldChar = 0;
            break;
        default: break;
    }
    return CallWindowProcW(baseFieldProc, window, message, wParam, lParam);
}

void SubclassFindField(HWND field) {
    baseFieldProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FindFieldProc)));
}

LRESULT CALLBACK SearchPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: PaintPanel(window); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_DRAWITEM: DrawPanelButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
        case WM_COMMAND: OnPanelCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_CTLCOLOREDIT: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, palette.textColor);
            SetBkColor(dc, SearchFieldFill());
            return reinterpret_cast<LRESULT>(fieldBrush.For(SearchFieldFill()));
        }
        case WM_TIMER:
            if (wParam == kDebounceTimer) {
                KillTimer(window, kDebounceTimer);
                KillTimer(window, kRefreshTimer);
                RunSearch();
            }
            if (wParam == kRefreshTimer) {
                KillTimer(window, kRefreshTimer);
                RefreshAfterEdit();
            }
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                const POINT p = CursorInClient(window);
                if (resizing || p.x < Px(kDragEdge)) {
                    SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
                    return TRUE;
                }
            }
            break;
        case WM_LBUTTONDOWN:
            if (GET_X_LPARAM(lParam) < Px(kDragEdge)) {
                resizing = true;
                SetCapture(window);
            }
            return 0;
        case WM_MOUSEMOVE:
            if (resizing) DragPanelEdge(window, GET_X_LPARAM(lParam));
            return 0;
        case WM_LBUTTONUP:
            if (resizing) {
                resizing = false;
                ReleaseCapture();
                NoteChange(kChangeLayout);
            }
            return 0;
        case WM_CAPTURECHANGED: resizing = false; return 0;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) {
                CloseSearchPanel();
                return 0;
            }
            break;
        case WM_DESTROY: fieldBrush.Release(); return 0;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void OpenSearchPanel(bool focusReplace) {
    app.searchPanelOpen = 1;
    if (app.searchPanelWindow) ShowWindow(app.searchPanelWindow, SW_SHOW);
    if (app.resultListWindow) ShowWindow(app.resultListWindow, SW_SHOW);
    NoteChange(kChangeLayout);
    RunSearch();
    if (HWND field = PanelChild(focusReplace ? kPanelReplace : kPanelFind)) SetFocus(field);
}

void CloseSearchPanel() {
    app.searchPanelOpen = 0;
    results = SearchResults{};
    if (app.resultListWindow) {
        KillTimer(app.resultListWindow, 1);
        if (GetCapture() == app.resultListWindow) ReleaseCapture();
    }
    for (int id : {kPanelFind, kPanelReplace}) {
        if (HWND field = PanelChild(id)) SetWindowTextW(field, L"");
    }
    if (app.searchPanelWindow) {
        KillTimer(app.searchPanelWindow, kDebounceTimer);  // the emptied box asks for no search
        KillTimer(app.searchPanelWindow, kRefreshTimer);
        ShowWindow(app.searchPanelWindow, SW_HIDE);
    }
    if (app.resultListWindow) ShowWindow(app.resultListWindow, SW_HIDE);
    NoteChange(kChangeLayout);
    if (Document* doc = ActiveDocument()) {
        if (doc->editor && !doc->hexMode) SetFocus(doc->editor);
    }
}

void RunSearch() {
    if (app.searchPanelWindow) KillTimer(app.searchPanelWindow, kRefreshTimer);  // this search covers the edits
    std::vector<HitGroup> previous = std::move(results.groups);
    results.groups.clear();
    results.hits.clear();
    results.hits.reserve(kMaxHits);
    results.selAnchor = results.selEnd = -1;
    results.scrollY = results.scrollX = 0;
    const std::wstring query = app.activeTab >= 0 && app.searchPanelOpen ? FieldText(kPanelFind) : std::wstring();
    // One budget for the whole pass: tabs and files together stop after about a second.
    SearchBudget budget = InteractiveBudget();
    results.searched = !query.empty();
    results.patternError = RegexError{};
    if (!query.empty()) {
        const int flags = CurrentFlags();
        const std::string utf8 = WideToUtf8(query);
        if (flags & kFindRegex) results.patternError = DescribeRegexError(utf8, flags);
        if (!app.findAllFiles) {
            if (app.activeTab < static_cast<int>(documents.size())) CollectTab(app.activeTab, utf8, flags, 0, budget);
        } else {
            std::set<std::wstring> openPaths;
            for (const Document& doc : documents) {
                if (!doc.path.empty()) openPaths.insert(doc.path);
            }
            for (int i = 0; i < static_cast<int>(documents.size()) && results.hits.size() < kMaxHits; ++i)
                CollectTab(i, utf8, flags, kAllFilesTabLimit, budget);
            if (!app.folderRoot.empty() && results.hits.size() < kMaxHits && !budget.stopped) {
                LineMatcher matcher;
                PrepareLineMatcher(matcher, query, flags);
                SearchFolder(app.folderRoot, matcher, openPaths, results.hits, {}, &budget);
            }
        }
    }
    results.stopped = budget.stopped;
    results.groups = GroupHits(results.hits, previous);
    RebuildResultRows();
}

void NoteSearchedTextChanged(HWND editor) {
    if (!app.searchPanelOpen || !app.searchPanelWindow || !editor) return;
    const Document* active = ActiveDocument();
    const bool searched = app.findAllFiles || (active && active->editor == editor);
    if (!searched || GetWindowTextLengthW(PanelChild(kPanelFind)) == 0) return;
    const auto length = static_cast<long long>(SendMessageW(editor, 2006 /* SCI_GETLENGTH */, 0, 0));
    SetTimer(app.searchPanelWindow, kRefreshTimer, SearchRefreshDelayMs(length), nullptr);
}

void FindAllCommand() {
    app.findAllFiles = 1;
    RepaintChild(kPanelAllFiles);
    OpenSearchPanel(false);
}

void FindNextCommand(bool forward) {
    Document* doc = ActiveDocument();
    if (!doc) return;
    if (!app.searchPanelOpen) OpenSearchPanel(false);
    if (doc->hexMode) return;
    SearchBudget budget = InteractiveBudget();
    FindInEditor(doc->editor, WideToUtf8(FieldText(kPanelFind)), CurrentFlags(), forward, &budget);
    NoteChange(kChangeStatusBar);
    NoteStopped(budget);
}

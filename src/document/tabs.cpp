#include "document/tabs.h"

#include <vector>

#include "base/app_state.h"
#include "base/change_notice.h"
#include "base/editor.h"
#include "base/scroll_geometry.h"
#include "document/document.h"
#include "document/tab_rules.h"
#include "syntax/languages.h"
#include "syntax/palette.h"
#include "base/strings.h"

namespace {

constexpr int kEditorControlId = 2000;

int tabBatches = 0;

void ShowEditorOf(const Document& doc, bool show) {
    if (doc.editor) ShowWindow(doc.editor, show && !doc.hexMode ? SW_SHOW : SW_HIDE);
}

}  // namespace

void ConfigureEditor(HWND ed) {
    if (!ed) return;
    using namespace editor;
    const Settings& s = app.settings;
    Send(ed, kSetCodePage, 65001);
    Send(ed, kSetWrapMode, s.wordWrap ? 1 : 0);
    if (s.wordWrap) {
        Send(ed, kSetScrollWidth, 1);
        Send(ed, kSetScrollWidthTracking, 0);
    }
    Send(ed, kSetTabWidth, static_cast<WPARAM>(s.tabWidth));
    if (!s.wordWrap) Send(ed, kSetScrollWidthTracking, 1);
    // The main window draws its own scroll bars.
    Send(ed, kSetHScrollBar, 0);
    Send(ed, kSetVScrollBar, 0);
    Send(ed, kMarginSetType, 0, 1);  // margin 0 shows line numbers
    StyleSetColours(ed, kLineNumberStyle, palette.lineNumberColor, palette.editorColor);
    for (int margin = 1; margin <= 4; ++margin) Send(ed, kSetMarginWidth, static_cast<WPARAM>(margin), 0);
    Send(ed, kSetSelBack, 1, palette.selectionColor);
    Send(ed, kSetSelFore, 1, palette.textColor);
    Send(ed, kSetCaretFore, palette.textColor);
    Send(ed, kSetCaretWidth, 1);
    Send(ed, kSetViewWs, 0);
    Send(ed, kSetModEventMask, static_cast<WPARAM>(-1));
    Send(ed, kSetPositionCache, 4096);
    Send(ed, kSetZoom, static_cast<WPARAM>(s.zoom));
    UpdateLineNumberMargin(ed);
}

void ReapplySettingsToAllTabs() {
    for (Document& doc : documents) {
        ConfigureEditor(doc.editor);
        ApplyLanguageStyles(doc.editor, doc.language);
        UpdateLineNumberMargin(doc.editor);  // in the line numbers' new font
        editor::SetReadOnly(doc.editor, doc.readOnlyFile || doc.readOnlyView || doc.hexMode);
    }
}

void UpdateLineNumberMargin(HWND ed) {
    if (!ed) return;
    using namespace editor;
    const int digitWidth = static_cast<int>(Send(ed, kTextWidth, kLineNumberStyle, reinterpret_cast<LPARAM>("9")));
    const int width = LineNumberMarginWidth(LineCount(ed), digitWidth);
    if (Send(ed, kGetMarginWidth, 0) != width) Send(ed, kSetMarginWidth, 0, width);
}

int NextUntitledNumber() {
    std::vector<std::wstring> titles;
    titles.reserve(documents.size());
    for (const Document& doc : documents) titles.push_back(doc.title);
    return ::NextUntitledNumber(titles, LocalizedText(StringTable::UntitledName, 0));
}

std::wstring WorkspaceName() { return WorkspaceNameOf(app.folderRoot); }

std::wstring CurrentWindowTitle() {
    const Document* doc = ActiveDocument();
    return WindowTitleText(doc != nullptr, doc ? doc->title : std::wstring(), doc && doc->modified, WorkspaceName());
}

void CreateTab(const std::wstring& path, HWND parent) {
    Document doc;
    if (!path.empty()) {
        doc.path = path;
        doc.title = FileNameOf(path);
        doc.language = DetectLanguage(path);
    } else {
        doc.title = UntitledTitle(LocalizedText(StringTable::UntitledName, 0), NextUntitledNumber());
        doc.language = 0;
    }
    doc.editor = editor::Create(parent, WS_CHILD | (tabBatches == 0 ? WS_VISIBLE : 0) | WS_TABSTOP, kEditorControlId,
                                app.instance);
    ConfigureEditor(doc.editor);
    if (path.empty()) doc.encoding = app.settings.newEnc;
    if (Document* current = ActiveDocument()) ShowEditorOf(*current, false);

    documents.push_back(std::move(doc));
    app.activeTab = static_cast<int>(documents.size()) - 1;
    Document& added = documents.back();
    NoteChange(kChangeEditorCreated, added.editor);
    if (tabBatches == 0) ShowEditorOf(added, true);
    ApplyLanguageStyles(added.editor, added.language);
    if (app.columnMode && added.editor) {
        editor::Send(added.editor, editor::kSetSelectionMode, 1);
        editor::Send(added.editor, editor::kSetVirtualSpaceOptions, 1);
    }
    NoteChange(kChangeTitle | kChangeLayout);
    if (tabBatches == 0 && app.mainWindow && added.editor) SetFocus(added.editor);
}

TabBatch::TabBatch() { ++tabBatches; }

TabBatch::~TabBatch() {
    // The views follow when `changes` ends, just after this.
    if (--tabBatches == 0 && ActiveDocument()) SwitchToTab(app.activeTab);
}

void SwitchToTab(int index) {
    if (index < 0 || index >= static_cast<int>(documents.size())) return;
    if (Document* current = ActiveDocument()) ShowEditorOf(*current, false);
    app.activeTab = index;
    Document& doc = documents[static_cast<size_t>(index)];
    ShowEditorOf(doc, true);
    if (doc.hexMode || !doc.editor)
        SetFocus(app.mainWindow);
    else
        SetFocus(doc.editor);
    UpdateLineNumberMargin(doc.editor);  // its line count may have changed while it was hidden
    NoteChange(kChangeTitle | kChangeTabBar | kChangeEditorArea | kChangeLayout);
}

void RemoveTab(int index, bool replaceWhenLast) {
    if (index < 0 || index >= static_cast<int>(documents.size())) return;
    const int countBefore = static_cast<int>(documents.size());
    Document& doc = documents[static_cast<size_t>(index)];
    const bool discarded = doc.modified != 0;
    ReleaseMapping(doc);
    editor::Destroy(doc.editor);
    doc.editor = nullptr;
    documents.erase(documents.begin() + index);

    app.activeTab = ActiveIndexAfterClose(app.activeTab, index, countBefore);
    if (Document* active = ActiveDocument()) {
        ShowEditorOf(*active, true);
        if (active->editor && !active->hexMode && app.mainWindow) SetFocus(active->editor);
        NoteChange(kChangeLayout);
    } else if (replaceWhenLast) {
        CreateTab(L"", app.mainWindow);
    }
    // A discarded text leaves the crash snapshot too, or a crash would bring back what the user let go.
    NoteChange(kChangeTitle | kChangeTabBar | kChangeEditorArea | (discarded ? kChangeTabSet : 0u));
}

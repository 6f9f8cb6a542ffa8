#include "ui/commands.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "app/app_state.h"
#include "app/editor.h"
#include "document/document.h"
#include "document/tabs.h"
#include "io/convert.h"
#include "io/external_change.h"
#include "io/open.h"
#include "io/save.h"
#include "persist/persist.h"

namespace {

// Sends an editing message to the active tab's editor when it shows text.
void TextCommand(UINT message) {
    Document* doc = ActiveDocument();
    if (doc && !doc->hexMode) editor::Send(doc->editor, message);
}

// The tab context menu acts on the tab it was opened for.
void TabMenuCommand(int id) {
    const int tab = app.contextTab;
    if (tab < 0 || tab >= static_cast<int>(documents.size())) return;
    switch (id) {
    case 700: CloseTab(tab, 1); break;
    case 701: CloseAllTabs(); break;
    case 702: SaveDocument(tab, documents[static_cast<size_t>(tab)].path.empty() ? 1 : 0); break;
    case 703:
    case 704: SaveDocument(tab, 1); break;
    case 705: ReloadDocument(tab); break;
    default: break;
    }
}

}  // namespace

void OpenDocumentation() {
    const std::wstring manual = ProgramDirectory() + L"manual.html";
    ShellExecuteW(app.mainWindow, L"open", manual.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void ChangeZoom(int delta) {
    app.settings.zoom = std::clamp(app.settings.zoom + delta, -20, 40);
    for (Document& doc : documents) editor::Send(doc.editor, editor::kSetZoom, static_cast<WPARAM>(app.settings.zoom));
    app.scrollWidthDirty = 1;
    SaveSettings();
    if (app.mainWindow) InvalidateRect(app.mainWindow, nullptr, FALSE);
}

void ExecuteCommand(int id) {
    switch (id) {
        case 100: CreateTab(L"", app.mainWindow); break;
    case 101: OpenPath(OpenFileDialog()); break;
        case 103:
            if (app.activeTab >= 0) SaveDocument(app.activeTab, 0);
            break;
        case 104:
            if (app.activeTab >= 0) SaveDocument(app.activeTab, 1);
            break;
        case 105:
            // Only tabs with unsaved changes: rewriting an unmodified tab from memory would undo
            // what another program wrote to that file since.
            for (int i = 0; i < static_cast<int>(documents.size()); ++i) {
                const Document& doc = documents[static_cast<size_t>(i)];
            if (doc.modified) SaveDocument(i, doc.path.empty() ? 1 : 0);
            }
            break;
        case 107:
            if (app.activeTab >= 0) CloseTab(app.activeTab, 1);
            break;
        case 108: CloseAllTabs(); break;
        case 109:
            if (app.mainWindow) PostMessageW(app.mainWindow, WM_CLOSE, 0, 0);
            break;
        case 120: TextCommand(editor::kUndo); break;
        case 121: TextCommand(editor::kRedo); break;
        case 122: TextCommand(editor::kCut); break;
        case 123: TextCommand(editor::kCopy); break;
        case 124: TextCommand(editor::kPaste); break;
        case 125: TextCommand(editor::kClear); break;
        case 280: OpenDocumentation(); break;
        case 290: ChangeZoom(1); break;
        case 291: ChangeZoom(-1); break;
        default:
        if (const int encoding = EncodingForCommand(id); encoding >= 0) {
            SetSaveEncoding(encoding);
        } else if (int eolMode = 0, lineEnding = 0; LineEndingForCommand(id, eolMode, lineEnding)) {
            ConvertLineEndings(eolMode, lineEnding);
        } else if (id >= 700 && id <= 709) {
            TabMenuCommand(id);
        }
        break;
    }
}

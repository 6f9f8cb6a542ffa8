#include "ui/commands.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "app/app_state.h"
#include "app/editor.h"
#include "document/document.h"
#include "document/tabs.h"
#include "io/save.h"
#include "persist/persist.h"

namespace {

// Sends an editing message to the active tab's editor when it shows text.
void TextCommand(UINT message) {
    Document* doc = ActiveDocument();
    if (doc && !doc->hexMode) editor::Send(doc->editor, message);
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
                if (documents[static_cast<size_t>(i)].modified) SaveDocument(i, 0);
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
        default: break;
    }
}

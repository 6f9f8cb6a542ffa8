#include "ui/commands.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <new>
#include <string>

#include "app/app_state.h"
#include "app/editor.h"
#include "app/main_window.h"
#include "dialogs/dialog_rules.h"
#include "dialogs/dialogs.h"
#include "document/document.h"
#include "document/tabs.h"
#include "document/tab_rules.h"
#include "io/convert.h"
#include "io/external_change.h"
#include "io/open.h"
#include "io/save.h"
#include "persist/persist.h"
#include "persist/recovery.h"
#include "project/file_actions.h"
#include "project/project.h"
#include "project/sidebar.h"
#include "search/quick_open.h"
#include "search/quick_open_model.h"
#include "search/search_panel.h"
#include "syntax/themes.h"
#include "tools/tools.h"
#include "ui/keyboard.h"
#include "ui/menu_bar.h"
#include "ui/menu_model.h"
#include "views/hex_view.h"
#include "views/print.h"
#include "ui/strings.h"

namespace {

// Sends an editing message to the active tab's editor when it shows text.
void TextCommand(UINT message) {
    Document* doc = ActiveDocument();
    if (doc && !doc->hexMode) editor::Send(doc->editor, message);
}

// The sidebar and the status bar: flip, lay out, remember.
void TogglePanel(int& visible) {
    visible = !visible;
    Layout();
    SaveUiState();
}

void ToggleColumnMode() {
    app.columnMode = !app.columnMode;
    for (Document& doc : documents) {
        editor::Send(doc.editor, editor::kSetSelectionMode, app.columnMode ? 1 : 0);
        editor::Send(doc.editor, editor::kSetRectangularSelectionModifier, app.columnMode ? 0 : 4);
        editor::Send(doc.editor, editor::kSetVirtualSpaceOptions, app.columnMode ? 1 : 0);
        if (doc.editor) InvalidateRect(doc.editor, nullptr, FALSE);
    }
    RepaintArea(app.rects.statusBar);
    RepaintOpenMenus();
}

void ToggleWordWrap() {
    app.settings.wordWrap = !app.settings.wordWrap;
    for (Document& doc : documents) ConfigureEditor(doc.editor);
    app.scrollWidthDirty = 1;
    SaveSettings();
    RepaintOpenMenus();
    InvalidateRect(app.mainWindow, nullptr, FALSE);
}

// Rename: the tab's file moves to a name the user picks, and the tab keeps its text, undo history
// and modified state; a move that fails changes nothing and says why. An untitled tab has no file
// to move: it is saved under the chosen name instead.
void RenameTabFile(int index) {
    if (documents[static_cast<size_t>(index)].path.empty()) {
        SaveDocument(index, 1);
        return;
    }
    const std::wstring source = documents[static_cast<size_t>(index)].path;
    const std::wstring target = SaveFileDialog(source, LocalizedText(StringTable::TabMenuLabels, 4), false);
    // The dialog kept the user waiting: the tab may have gone meanwhile.
    if (target.empty() || target == source || index >= static_cast<int>(documents.size()) ||
        documents[static_cast<size_t>(index)].path != source)
        return;
    std::wstring reason;
    if (!MoveFileTo(source, target, reason)) {
        const std::wstring text =
            MessageFor(MessageText::RenameFailed, source + L"\n\u2192 " + target) + L"\n\n" + reason;
        MessageBoxW(app.mainWindow, text.c_str(), L"Tessary", MB_OK | MB_ICONERROR);
        return;
    }
    TakeNewPath(documents[static_cast<size_t>(index)], target);
    NoteRecoveryChange();  // the crash snapshot names the tab's file
    RebuildSidebarRows();
    ClampSidebarScroll();
    if (app.sidebarWindow) InvalidateRect(app.sidebarWindow, nullptr, TRUE);
}

// The tab context menu acts on the tab it was opened for.
void TabMenuCommand(int id) {
    const int tab = app.contextTab;
    if (tab < 0 || tab >= static_cast<int>(documents.size())) return;
    switch (id) {
        case 700: CloseTab(tab, 1); break;
        case 701: CloseAllTabs(); break;
        case 702: SaveDocument(tab, documents[static_cast<size_t>(tab)].path.empty() ? 1 : 0); break;
        case 703: SaveDocument(tab, 1); break;
        case 704: RenameTabFile(tab); break;
        case 705: ReloadDocument(tab); break;
        case 706: ShowInExplorer(documents[static_cast<size_t>(tab)].path); break;
        case 707: CopyTextToClipboard(documents[static_cast<size_t>(tab)].path); break;
        case 708: {
            const std::wstring& path = documents[static_cast<size_t>(tab)].path;
            if (!path.empty()) CopyTextToClipboard(FileNameOf(path));
            break;
        }
        case 709: CopyTextToClipboard(FolderOf(documents[static_cast<size_t>(tab)].path)); break;
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
    // Zoomed digits need a wider (or allow a narrower) line-number margin, in every tab.
    for (Document& doc : documents) {
        editor::Send(doc.editor, editor::kSetZoom, static_cast<WPARAM>(app.settings.zoom));
        UpdateLineNumberMargin(doc.editor);
    }
    app.scrollWidthDirty = 1;
    SaveSettings();
    if (app.mainWindow) InvalidateRect(app.mainWindow, nullptr, FALSE);
}

namespace {

// The command's label in the current interface language, for messages about it.
std::wstring CommandLabel(int id) {
    MenuModel model = BuildEnglishMenuModel();
    ApplyMenuLanguage(model, app.uiLanguage);
    for (const Menu& menu : model.menus) {
        for (const MenuItem& item : menu.items)
            if (item.id == id && !item.label.empty()) return item.label;
    }
    return L"#" + std::to_wstring(id);
}

void RunCommand(int id);

}  // namespace

void ExecuteCommand(int id) {
    // Out of memory: the command's work is made before it changes anything, so the tab is as it
    // was; the program and every other tab go on.
    try {
        RunCommand(id);
    } catch (const std::bad_alloc&) {
        MessageBoxW(app.mainWindow, MessageFor(MessageText::NotEnoughMemory, CommandLabel(id)).c_str(), L"Tessary",
                    MB_OK | MB_ICONERROR);
    }
}

namespace {

void RunCommand(int id) {
    switch (id) {
        case 100: CreateTab(L"", app.mainWindow); break;
        case 101: OpenPath(OpenFileDialog()); break;
        case 102:
        case 242: OpenFolder(); break;
        case 240: {
            const std::wstring path = OpenFileDialog();
            if (!path.empty()) OpenProjectPath(path);
            break;
        }
        case 241: SaveProjectCommand(); break;
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
        case 106: PrintActiveTab(); break;
        case 107:
            if (app.activeTab >= 0) CloseTab(app.activeTab, 1);
            break;
        case 108: CloseAllTabs(); break;
        case 109:
            if (app.mainWindow) PostMessageW(app.mainWindow, WM_CLOSE, 0, 0);
            break;
        case 120:
        case 121:
            if (Document* doc = ActiveDocument(); doc && doc->hexMode)
                id == 120 ? HexUndo(*doc) : HexRedo(*doc);
            else
                TextCommand(id == 120 ? editor::kUndo : editor::kRedo);
            break;
        case 122: TextCommand(editor::kCut); break;
        case 123: TextCommand(editor::kCopy); break;
        case 124: TextCommand(editor::kPaste); break;
        case 125: TextCommand(editor::kClear); break;
        case 126: TextCommand(editor::kSelectAll); break;
        case 127: ToggleComment(); break;
        case 128: TextCommand(editor::kTab); break;
        case 129: TextCommand(editor::kBackTab); break;
        case 130: ToggleColumnMode(); break;
        case 140: ExpandSelectionCommand(); break;
        case 141: ShrinkSelectionCommand(); break;
        case 142: SingleSelectionCommand(); break;
        case 143: SplitSelectionIntoLines(); break;
        case 160: OpenSearchPanel(false); break;
        case 161: OpenSearchPanel(true); break;
        case 162: FindAllCommand(); break;
        case 163: FindNextCommand(true); break;
        case 164: FindNextCommand(false); break;
        case 180: TogglePanel(app.sidebarVisible); break;
        case 181: Layout(); break;
        case 182: TogglePanel(app.statusBarVisible); break;
        case 183: ToggleFullScreen(); break;
        case 184: ToggleFocusMode(); break;
        case 185: ToggleHexMode(); break;
        case 186: ToggleWordWrap(); break;
        case 200:
        case 201: OpenQuickOpen(kQuickAnything); break;
        case 202: OpenQuickOpen(kQuickSymbol); break;
        case 203: OpenGotoLine(); break;
        case 220: OpenQuickOpen(kQuickPalette); break;
        case 221: RequestBuild(); break;
        case 222: CancelBuild(); break;
        case 223: ToggleMacroRecording(); break;
        case 224: PlayMacro(); break;
        case 260: OpenSettingsDialog(); break;
        case 261: ShowKeyBindings(); break;
        case 282: OpenAboutDialog(); break;
        case 281: {
            // No network access takes place.
            const std::wstring text = MessageFor(MessageText::VersionCheck, kProgramVersion);
            MessageBoxW(app.mainWindow, text.c_str(), L"Tessary", MB_OK | MB_ICONINFORMATION);
            break;
        }
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
            } else if ((id >= 480 && id <= 482) || (id >= 500 && id <= 505)) {
                (id < 500 ? app.theme : app.colorScheme) = id - (id < 500 ? 480 : 500);
                ApplyThemeAndScheme();
                SaveUiState();
            } else if (id >= 800 && id <= 809) {
                OpenRecentFile(id - 800);
            } else if (id == 820) {
                ClearRecentFiles();
            } else if (id >= 400 && id <= 419) {
                app.uiLanguage = id - 400;
                RelabelMenus();
                RepaintArea(app.rects.menuBar);
                InvalidateRect(app.mainWindow, nullptr, FALSE);
                SaveUiState();
            }
            break;
    }
}

}  // namespace

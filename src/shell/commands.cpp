#include "shell/commands.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <new>
#include <string>

#include "base/app_state.h"
#include "base/editor.h"
#include "shell/window_frame.h"
#include "workflow/tab_actions.h"
#include "dialogs/dialog_rules.h"
#include "dialogs/settings_dialog.h"
#include "dialogs/about_dialog.h"
#include "document/document.h"
#include "document/tabs.h"
#include "document/tab_rules.h"
#include "io/convert.h"
#include "base/file_access.h"
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
#include "tools/build_runner.h"
#include "tools/editor_tools.h"
#include "base/command_ids.h"
#include "shell/help_address.h"
#include "shell/keyboard.h"
#include "shell/menu_bar.h"
#include "shell/menu_model.h"
#include "views/hex_view.h"
#include "views/print.h"
#include "base/strings.h"

namespace {

// Sends an editing message to the active tab's editor when it shows text.
void TextCommand(UINT message) {
    Document* doc = ActiveDocument();
    if (doc && !doc->hexMode) editor::Send(doc->editor, message);
}

// The sidebar and the status bar: flip, lay out, remember.
void TogglePanel(bool& visible) {
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
        SaveDocument(index, true);
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
        case kCmdTabClose: CloseTab(tab, true); break;
        case kCmdTabCloseAll: CloseAllTabs(); break;
        case kCmdTabSave: SaveDocument(tab, documents[static_cast<size_t>(tab)].path.empty()); break;
        case kCmdTabSaveAs: SaveDocument(tab, true); break;
        case kCmdTabRename: RenameTabFile(tab); break;
        case kCmdTabReload: ReloadDocument(tab); break;
        case kCmdTabShowInExplorer: ShowInExplorer(documents[static_cast<size_t>(tab)].path); break;
        case kCmdTabCopyFullPath: CopyTextToClipboard(documents[static_cast<size_t>(tab)].path); break;
        case kCmdTabCopyFileName: {
            const std::wstring& path = documents[static_cast<size_t>(tab)].path;
            if (!path.empty()) CopyTextToClipboard(FileNameOf(path));
            break;
        }
        case kCmdTabCopyFolderPath: CopyTextToClipboard(FolderOf(documents[static_cast<size_t>(tab)].path)); break;
        default: break;
    }
}

}  // namespace

namespace {

// The manual's section about what holds the focus, or "" for its top.
std::wstring ManualSection() {
    HWND focus = GetFocus();
    auto inside = [focus](HWND window) { return window && focus && (focus == window || IsChild(window, focus)); };
    if (inside(app.searchPanelWindow) || inside(app.resultListWindow)) return L"search";
    const Document* doc = ActiveDocument();
    return doc && doc->hexMode ? L"hex" : L"";
}

}  // namespace

void OpenDocumentation() {
    const std::wstring manual = ProgramDirectory() + L"manual.html";
    // Opening the file drops any "#section" of an address, so the program registered for .html
    // pages is started with the address itself; without one, the manual opens at its top.
    // The program is started by the full path the association names, never looked up by name: a
    // bare name would be searched for in the current folder first.
    wchar_t command[2048] = {}, program[MAX_PATH] = {};
    DWORD length = 2048, programLength = MAX_PATH;
    if (SUCCEEDED(AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_COMMAND, L".html", L"open", command, &length)) &&
        SUCCEEDED(AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, L".html", L"open", program,
                                    &programLength)) &&
        !PathIsRelativeW(program)) {
        std::wstring line = CommandLineFor(command, FileAddress(manual, ManualSection()));
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (CreateProcessW(program, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
            return;
        }
    }
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

// The File and Project menus' commands; false for any other id.
bool RunFileCommand(int id) {
    switch (id) {
        case kCmdNewFile: CreateTab(L"", app.mainWindow); return true;
        case kCmdOpenFile: OpenPath(OpenFileDialog()); return true;
        case kCmdOpenFolder:
        case kCmdAddFolder: OpenFolder(); return true;
        case kCmdOpenProject: {
            const std::wstring path = OpenFileDialog();
            if (!path.empty()) OpenProjectPath(path);
            return true;
        }
        case kCmdSaveProject: SaveProjectCommand(); return true;
        case kCmdSave:
            if (app.activeTab >= 0) SaveDocument(app.activeTab, false);
            return true;
        case kCmdSaveAs:
            if (app.activeTab >= 0) SaveDocument(app.activeTab, true);
            return true;
        case kCmdSaveAll:
            // Only tabs with unsaved changes: rewriting an unmodified tab from memory would undo
            // what another program wrote to that file since.
            for (int i = 0; i < static_cast<int>(documents.size()); ++i) {
                const Document& doc = documents[static_cast<size_t>(i)];
                if (doc.modified) SaveDocument(i, doc.path.empty());
            }
            return true;
        case kCmdPrint: PrintActiveTab(); return true;
        case kCmdCloseFile:
            if (app.activeTab >= 0) CloseTab(app.activeTab, true);
            return true;
        case kCmdCloseAll: CloseAllTabs(); return true;
        case kCmdExit:
            if (app.mainWindow) PostMessageW(app.mainWindow, WM_CLOSE, 0, 0);
            return true;
        default: return false;
    }
}

// The commands that come in numbered ranges: encodings, line endings, the tab menu, themes and
// schemes, recent files, interface languages.
void RunRangeCommand(int id) {
    if (const int encoding = EncodingForCommand(id); encoding >= 0) {
        SetSaveEncoding(encoding);
    } else if (int eolMode = 0, lineEnding = 0; LineEndingForCommand(id, eolMode, lineEnding)) {
        ConvertLineEndings(eolMode, lineEnding);
    } else if (id >= kCmdTabClose && id <= kCmdTabCopyFolderPath) {
        TabMenuCommand(id);
    } else if (id >= kCmdThemeFirst && id < kCmdThemeFirst + 3) {
        app.theme = id - kCmdThemeFirst;
        ApplyThemeAndScheme();
        SaveUiState();
    } else if (id >= kCmdSchemeFirst && id < kCmdSchemeFirst + 6) {
        app.colorScheme = id - kCmdSchemeFirst;
        ApplyThemeAndScheme();
        SaveUiState();
    } else if (id >= kCmdRecentFirst && id < kCmdRecentFirst + 10) {
        OpenRecentFile(id - kCmdRecentFirst);
    } else if (id == kCmdClearRecent) {
        ClearRecentFiles();
    } else if (id >= kCmdTabListFirst && id <= kCmdTabListLast) {
        if (id - kCmdTabListFirst < static_cast<int>(documents.size())) ActivateTab(id - kCmdTabListFirst);
    } else if (id >= kCmdInterfaceLanguageFirst && id < kCmdInterfaceLanguageFirst + kInterfaceLanguageCount) {
        app.uiLanguage = id - kCmdInterfaceLanguageFirst;
        RelabelMenus();
        RepaintArea(app.rects.menuBar);
        InvalidateRect(app.mainWindow, nullptr, FALSE);
        SaveUiState();
    }
}

void RunCommand(int id) {
    if (RunFileCommand(id)) return;
    switch (id) {
        case kCmdUndo:
        case kCmdRedo:
            if (Document* doc = ActiveDocument(); doc && doc->hexMode)
                id == kCmdUndo ? HexUndo(*doc) : HexRedo(*doc);
            else
                TextCommand(id == kCmdUndo ? editor::kUndo : editor::kRedo);
            break;
        case kCmdCut: TextCommand(editor::kCut); break;
        case kCmdCopy: TextCommand(editor::kCopy); break;
        case kCmdPaste: TextCommand(editor::kPaste); break;
        case kCmdDelete: TextCommand(editor::kClear); break;
        case kCmdSelectAll: TextCommand(editor::kSelectAll); break;
        case kCmdToggleComment: ToggleComment(); break;
        case kCmdIndent: TextCommand(editor::kTab); break;
        case kCmdOutdent: TextCommand(editor::kBackTab); break;
        case kCmdColumnMode: ToggleColumnMode(); break;
        case kCmdExpandSelection: ExpandSelectionCommand(); break;
        case kCmdShrinkSelection: ShrinkSelectionCommand(); break;
        case kCmdSingleSelection: SingleSelectionCommand(); break;
        case kCmdSplitIntoLines: SplitSelectionIntoLines(); break;
        case kCmdFind: OpenSearchPanel(false); break;
        case kCmdReplace: OpenSearchPanel(true); break;
        case kCmdFindAll: FindAllCommand(); break;
        case kCmdFindNext: FindNextCommand(true); break;
        case kCmdFindPrevious: FindNextCommand(false); break;
        case kCmdSidebar: TogglePanel(app.sidebarVisible); break;
        case kCmdLayout: Layout(); break;
        case kCmdStatusBar: TogglePanel(app.statusBarVisible); break;
        case kCmdFullScreen: ToggleFullScreen(); break;
        case kCmdDistractionFree: ToggleFocusMode(); break;
        case kCmdHexMode: ToggleHexMode(); break;
        case kCmdWordWrap: ToggleWordWrap(); break;
        case kCmdQuickOpen:
        case kCmdGotoFile: OpenQuickOpen(kQuickAnything); break;
        case kCmdGotoSymbol: OpenQuickOpen(kQuickSymbol); break;
        case kCmdGotoLine: OpenGotoLine(); break;
        case kCmdCommandPalette: OpenQuickOpen(kQuickPalette); break;
        case kCmdBuild: RequestBuild(); break;
        case kCmdCancelBuild: CancelBuild(); break;
        case kCmdRecordMacro: ToggleMacroRecording(); break;
        case kCmdPlayMacro: PlayMacro(); break;
        case kCmdSettings: OpenSettingsDialog(); break;
        case kCmdKeyBindings: ShowKeyBindings(); break;
        case kCmdAbout: OpenAboutDialog(); break;
        case kCmdCheckForUpdates: {
            // No network access takes place.
            const std::wstring text = MessageFor(MessageText::VersionCheck, kProgramVersion);
            MessageBoxW(app.mainWindow, text.c_str(), L"Tessary", MB_OK | MB_ICONINFORMATION);
            break;
        }
        case kCmdDocumentation: OpenDocumentation(); break;
        case kCmdZoomIn: ChangeZoom(1); break;
        case kCmdZoomOut: ChangeZoom(-1); break;
        default: RunRangeCommand(id); break;
    }
}

}  // namespace

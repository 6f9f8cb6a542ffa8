// The tab workflow: what opening, saving, closing, activating and reloading a tab mean for the
// user, with the questions they are asked. The byte-level work is io's; the views follow through
// change notes.
#include "workflow/tab_actions.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/change_notice.h"
#include "base/editor.h"
#include "workflow/progress.h"
#include "document/document.h"
#include "document/tab_rules.h"
#include "document/tabs.h"
#include "io/drop_list.h"
#include "base/file_access.h"
#include "io/open.h"
#include "io/path_identity.h"
#include "io/save.h"
#include "persist/persist.h"
#include "persist/recovery.h"
#include "persist/recovery_plan.h"
#include "persist/session_file.h"
#include "syntax/languages.h"
#include "base/strings.h"

namespace {

constexpr uint64_t kLargeBuffer = 200ull * 1024 * 1024 + 1;

// The question comes with a message box, which activates the main window again; without this
// guard that activation would ask a second time, and so on.
bool asking = false;

bool Valid(int index) { return index >= 0 && index < static_cast<int>(documents.size()); }

void ShowError(const std::wstring& text) {
    MessageBoxW(app.mainWindow, text.c_str(), L"Tessary", MB_OK | MB_ICONERROR);
}

// A modified tab's changes before they could be lost: Yes saves them, No leaves them, Cancel keeps
// everything. True when the caller may go on (unmodified, saved, or No).
bool AskAboutUnsavedChanges(int index, MessageText question) {
    const Document& doc = documents[static_cast<size_t>(index)];
    if (!doc.modified) return true;
    const std::wstring text = MessageFor(question, doc.title);
    const int answer = MessageBoxW(app.mainWindow, text.c_str(), L"Tessary", MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) return false;
    if (answer == IDYES) {
        SaveDocument(index, false);
        if (!Valid(index) || documents[static_cast<size_t>(index)].modified) return false;
    }
    return true;
}

// A large text being read on a worker into the tab whose editor is `editor`.
struct PendingLoad {
    unsigned id = 0;
    HWND editor = nullptr;
    std::wstring path;
    std::wstring name;  // the tab's own title, shown again once the read has ended
    int percent = 0;
    bool reload = false;  // the tab keeps its text until the read has ended
    FileStamp before;     // the file's stamp from before the read
    std::unique_ptr<BackgroundTextLoad> load;
};
std::vector<PendingLoad> pendingLoads;
unsigned lastLoadId = 0;

PendingLoad* LoadOfEditor(HWND ed) {
    for (PendingLoad& pending : pendingLoads) {
        if (pending.editor == ed) return &pending;
    }
    return nullptr;
}

int TabOfEditor(HWND ed) {
    for (size_t i = 0; i < documents.size(); ++i) {
        if (documents[i].editor == ed) return static_cast<int>(i);
    }
    return -1;
}

// The status bar shows the progress of the active tab's read, when it has one.
void ShowLoadProgress() {
    const Document* doc = ActiveDocument();
    const PendingLoad* pending = doc ? LoadOfEditor(doc->editor) : nullptr;
    const int percent = pending ? pending->percent : -1;
    if (app.progressPercent == percent) return;
    app.progressPercent = percent;
    NoteChange(kChangeStatusBar);
}

void ShowLoadTitle(const PendingLoad& pending) {
    const int index = TabOfEditor(pending.editor);
    if (index < 0) return;
    documents[static_cast<size_t>(index)].title =
        pending.name + L" " + MessageFor(MessageText::LoadingPercent, std::to_wstring(pending.percent));
    NoteChange(kChangeTitle | kChangeTabBar);
}

// Stops the read of the tab whose editor is `ed` (waiting for its worker) and forgets it; the tab's
// own title comes back. Nothing of the text is kept.
void DropLoad(HWND ed) {
    for (size_t i = 0; i < pendingLoads.size(); ++i) {
        if (pendingLoads[i].editor != ed) continue;
        PendingLoad pending = std::move(pendingLoads[i]);
        pendingLoads.erase(pendingLoads.begin() + static_cast<std::ptrdiff_t>(i));
        pending.load.reset();
        const int index = TabOfEditor(ed);
        if (index >= 0) {
            documents[static_cast<size_t>(index)].title = pending.name;
            AbandonBackgroundLoad(documents[static_cast<size_t>(index)]);
            NoteChange(kChangeTitle | kChangeTabBar);
        }
        ShowLoadProgress();
        return;
    }
}

// Hooks that read a large text of the tab on a worker, which tells the main window how far it has
// got through kTextLoadMessage with the id of the read.
LoadHooks BackgroundHooks(unsigned id) {
    LoadHooks hooks;
    hooks.background = true;
    HWND window = app.mainWindow;
    hooks.backgroundProgress = [window, id, shown = -1](uint64_t done, uint64_t total) mutable {
        const int percent = total == 0 ? 100 : static_cast<int>(std::min(done, total) * 100 / total);
        if (percent == shown) return;
        shown = percent;
        PostMessageW(window, kTextLoadMessage, id, percent);
    };
    hooks.backgroundDone = [window, id] { PostMessageW(window, kTextLoadMessage, id, -1); };
    return hooks;
}

// Follows the read a load into the tab at `index` has started on a worker.
void TrackLoad(int index, unsigned id, const std::wstring& path, LoadHooks& hooks) {
    PendingLoad pending;
    pending.id = id;
    pending.editor = documents[static_cast<size_t>(index)].editor;
    pending.path = path;
    pending.name = documents[static_cast<size_t>(index)].title;
    pending.reload = documents[static_cast<size_t>(index)].reloading;
    pending.before = hooks.before;
    pending.load = std::move(hooks.started);
    pendingLoads.push_back(std::move(pending));
    ShowLoadTitle(pendingLoads.back());
    ShowLoadProgress();
}

// Before a reload: whether to go on with it.
bool ResolveUnsavedChanges(int index) { return AskAboutUnsavedChanges(index, MessageText::ReloadUnsavedQuestion); }

// Reads the file again with the same rules as opening it. A read that fails keeps the tab as it
// was and says why.
bool ReloadContent(int index) {
    Document& doc = documents[static_cast<size_t>(index)];
    const std::wstring path = doc.path;
    std::wstring error;
    if (doc.hexMode) {
        if (ReloadHexBytes(doc, error)) return true;
        MessageBoxW(app.mainWindow, error.c_str(), L"Tessary", MB_OK | MB_ICONERROR);
        return false;
    }
    const long long lengthBefore = editor::Length(doc.editor);
    ProgressDisplay progress;
    // A large text is read again on a worker; the tab shows its old text until the new one is there.
    const unsigned id = ++lastLoadId;
    LoadHooks hooks = BackgroundHooks(id);
    hooks.keepText = true;
    hooks.progress = [&progress](uint64_t done, uint64_t total) { progress.Report(done, total); };
    const LoadOutcome outcome = LoadIntoTab(index, path, error, &hooks);
    if (outcome == LoadOutcome::Loading) {
        TrackLoad(index, id, path, hooks);
        return false;  // the rest follows when the read has ended
    }
    if (outcome == LoadOutcome::Failed || outcome == LoadOutcome::Missing) {
        if (outcome == LoadOutcome::Missing) error = LocalizedText(StringTable::FileErrors, 1) + path;
        MessageBoxW(app.mainWindow, error.c_str(), L"Tessary", MB_OK | MB_ICONERROR);
        // A large file that failed part-way has left the tab empty: an empty tab bound to the
        // path would wipe the file at the next save, so it goes.
        Document& failed = documents[static_cast<size_t>(index)];
        if (!failed.hexMode && lengthBefore > 0 && editor::Length(failed.editor) == 0) {
            failed.modified = 0;
            CloseTab(index, true);
        }
        return false;
    }
    // Styled on every reload: a save under a new name has changed the language without restyling.
    Document& loaded = documents[static_cast<size_t>(index)];
    if (outcome == LoadOutcome::Text) ApplyLanguageStyles(loaded.editor, loaded.language);
    return true;
}

void AfterReload(int index) {
    // The load has recorded the stamp it took before reading.
    Document& doc = documents[static_cast<size_t>(index)];
    RefreshReadOnly(doc);
    if (index == app.activeTab && doc.editor) {
        ShowWindow(doc.editor, doc.hexMode ? SW_HIDE : SW_SHOW);
        SetFocus(doc.hexMode ? app.mainWindow : doc.editor);
    }
    NoteChange(kChangeTitle | kChangeTabBar | kChangeLayout);
}

}  // namespace

int OpenPath(const std::wstring& requested) {
    // Bound to a full path at once: a relative one would follow the process's current folder, which
    // the file dialogs move.
    const std::wstring path = TabPathOf(requested);
    if (path.empty()) return -1;
    const int existing = FindTabForPath(path);
    if (existing >= 0) {
        ActivateTab(existing);
        return existing;
    }
    // A file that exists but cannot be read must not become an empty tab bound to its path:
    // saving that tab later would wipe the file.
    const DWORD attributes = GetFileAttributesW(ExtendedPath(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return -1;

    CreateTab(path, app.mainWindow);
    const int index = app.activeTab;
    std::wstring error;
    // A large text is read on a worker that tells the main window how far it has got.
    const unsigned id = ++lastLoadId;
    LoadHooks hooks = BackgroundHooks(id);
    const LoadOutcome outcome = LoadIntoTab(index, path, error, &hooks);
    if (outcome == LoadOutcome::Loading) {
        TrackLoad(index, id, path, hooks);
        AddRecentFile(path);
        NoteChange(kChangeLayout);
        return index;
    }
    if (outcome == LoadOutcome::Failed) {
        CloseTab(index, documents.size() == 1);
        ShowError(error);
        return -1;
    }
    Document& doc = documents[static_cast<size_t>(index)];
    if (outcome == LoadOutcome::Missing) {
        // A path that does not exist yet opens empty; saving creates the file.
        doc.fileTime = doc.fileSize = 0;
        RefreshReadOnly(doc);
    }
    NoteChange(kChangeTitle);
    // Written to while it was read: asked about at once, before anything can be saved over it (and
    // before the recent-files list is written, which may be this very file).
    if (outcome != LoadOutcome::Missing) CheckExternalChange(index);
    AddRecentFile(path);
    NoteChange(kChangeLayout);
    return index;
}

std::wstring OpenFileDialog() {
    std::vector<wchar_t> buffer(MAX_PATH + 1, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = app.mainWindow;
    ofn.lpstrFilter =
        L"All "
        L"Files\0*.*\0Text\0*.txt\0Source\0*.c;*.cpp;*.h;*.hpp;*.cs;*.py;*.js;*.ts;*.json;*.html;*.css;*.md;*.xml\0";
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    return GetOpenFileNameW(&ofn) ? std::wstring(buffer.data()) : std::wstring();
}

void OpenDroppedFiles(HDROP drop) {
    std::vector<std::wstring> paths;
    if (const void* block = GlobalLock(drop)) {
        paths = ReadDropList(block, GlobalSize(drop));
        GlobalUnlock(drop);
    }
    const RecentFilesBatch oneWrite;
    const TabBatch together;
    for (const std::wstring& path : paths) {
        const DWORD attributes = GetFileAttributesW(ExtendedPath(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        OpenPath(path);
    }
    DragFinish(drop);
}

std::wstring SaveFileDialog(const std::wstring& currentPath, const wchar_t* caption, bool overwritePrompt) {
    std::vector<wchar_t> buffer(MAX_PATH + 1, L'\0');
    if (!currentPath.empty() && currentPath.size() <= MAX_PATH)
        std::copy(currentPath.begin(), currentPath.end(), buffer.begin());
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = app.mainWindow;
    ofn.lpstrFilter = L"All Files\0*.*\0";
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = caption;
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | (overwritePrompt ? OFN_OVERWRITEPROMPT : 0);
    return GetSaveFileNameW(&ofn) ? std::wstring(buffer.data()) : std::wstring();
}

void SaveDocument(int index, bool saveAs) {
    if (!Valid(index)) return;
    Document& doc = documents[static_cast<size_t>(index)];
    // A tab still being read holds none of its text yet: saving it would empty the file. A tab being
    // read again holds all of the text it shows: saving that is what the user asks for, so the
    // reload stops.
    if (doc.reloading) DropLoad(doc.editor);
    if (TabIsLoading(index)) return;
    if (!saveAs && !doc.path.empty() && doc.readOnlyFile) {
        MessageBoxW(app.mainWindow, MessageFor(MessageText::ReadOnlySave).c_str(), L"Tessary",
                    MB_OK | MB_ICONINFORMATION);
        return;
    }
    std::wstring target = doc.path;
    if (saveAs || target.empty()) {
        target = SaveFileDialog(doc.path);
        if (target.empty()) return;
    }
    bool unreadable = false;
    bool written = false;
    {
        ProgressDisplay progress;
        written = WriteTab(doc, target, &unreadable,
                           [&progress](uint64_t done, uint64_t total) { progress.Report(done, total); });
    }
    if (!written) {
        // The mapped file itself could not be read: that, not the target, is what the user must
        // look at.
        const std::wstring text = unreadable ? CannotReadMessage(doc.path, SystemErrorText(ERROR_READ_FAULT))
                                             : MessageFor(MessageText::SaveFailed);
        MessageBoxW(app.mainWindow, text.c_str(), L"Tessary", MB_OK | MB_ICONERROR);
        return;
    }
    doc.modified = false;
    TakeNewPath(doc, target);
    if (PathsNameOneFile(target, SettingsPath())) ReloadSettings();
}

void ActivateTab(int index) {
    if (!Valid(index)) return;
    SwitchToTab(index);
    ShowLoadProgress();
    CheckExternalChange(index);
    NoteChange(kChangeActiveTab);
}

bool SettleUnsavedChanges(int index) {
    return Valid(index) && AskAboutUnsavedChanges(index, MessageText::SaveChangesQuestion);
}

bool CloseTab(int index, bool replaceWhenLast) {
    if (!Valid(index) || !SettleUnsavedChanges(index)) return false;
    DropLoad(documents[static_cast<size_t>(index)].editor);
    RemoveTab(index, replaceWhenLast);
    return true;
}

void CloseAllTabs() {
    for (int i = static_cast<int>(documents.size()) - 1; i >= 0; --i) {
        if (!CloseTab(i, false)) return;
    }
    CreateTab(L"", app.mainWindow);
}

void CheckExternalChange(int index) {
    // A tab being read is looked at once its read has ended.
    if (asking || !Valid(index) || TabIsLoading(index)) return;
    Document& doc = documents[static_cast<size_t>(index)];
    if (doc.path.empty()) return;
    RefreshReadOnly(doc);
    if (doc.fileTime == 0) return;
    const FileStamp now = FileTimeAndSize(doc.path);
    if (now.time == 0 || (now.time == doc.fileTime && now.size == doc.fileSize)) return;

    asking = true;
    const std::wstring message = std::wstring(LocalizedText(StringTable::ExternalChange, 0)) + doc.path + L"\n" +
                                 LocalizedText(StringTable::ExternalChange, doc.fileSize >= kLargeBuffer ? 2 : 1);
    const int answer = MessageBoxW(app.mainWindow, message.c_str(), L"Tessary", MB_YESNO | MB_ICONQUESTION);
    // No: nothing is recorded, so the question comes again while the file differs.
    if (answer == IDYES && Valid(index) && ResolveUnsavedChanges(index) && ReloadContent(index)) AfterReload(index);
    asking = false;
}

void ReloadDocument(int index) {
    if (!Valid(index) || TabIsLoading(index)) return;
    if (documents[static_cast<size_t>(index)].path.empty()) {
        MessageBoxW(app.mainWindow, MessageFor(MessageText::ReloadWithoutFile).c_str(), L"Tessary",
                    MB_OK | MB_ICONINFORMATION);
        return;
    }
    asking = true;
    const bool go = ResolveUnsavedChanges(index) && ReloadContent(index);
    asking = false;
    if (go) AfterReload(index);
}

bool TabIsLoading(int index) { return Valid(index) && LoadOfEditor(documents[static_cast<size_t>(index)].editor); }

bool CancelActiveLoad() {
    if (!TabIsLoading(app.activeTab)) return false;
    const int index = app.activeTab;
    const bool reload = documents[static_cast<size_t>(index)].reloading;
    DropLoad(documents[static_cast<size_t>(index)].editor);
    if (reload) return true;  // the tab keeps the text it had
    documents[static_cast<size_t>(index)].modified = 0;
    CloseTab(index, true);
    return true;
}

void OnTextLoadMessage(WPARAM id, LPARAM percent) {
    PendingLoad* found = nullptr;
    for (PendingLoad& pending : pendingLoads) {
        if (pending.id == id) found = &pending;
    }
    if (!found) return;  // cancelled meanwhile
    if (percent >= 0) {
        found->percent = static_cast<int>(percent);
        ShowLoadTitle(*found);
        ShowLoadProgress();
        return;
    }
    const HWND ed = found->editor;
    const std::wstring path = found->path;
    const std::wstring name = found->name;
    const bool reload = found->reload;
    const FileStamp before = found->before;
    std::unique_ptr<BackgroundTextLoad> load = std::move(found->load);
    // Forgotten without ending the tab's state: the worker has ended, its result is held by `load`.
    pendingLoads.erase(pendingLoads.begin() + (found - pendingLoads.data()));
    ShowLoadProgress();
    const int index = TabOfEditor(ed);
    if (index < 0) return;
    documents[static_cast<size_t>(index)].title = name;
    std::wstring error;
    const LoadOutcome outcome = FinishBackgroundLoad(index, path, *load, before, error);
    load.reset();
    if (outcome == LoadOutcome::Failed && reload) {
        NoteChange(kChangeTitle | kChangeTabBar);
        ShowError(error);  // the tab keeps its text
        return;
    }
    if (outcome == LoadOutcome::Failed) {
        documents[static_cast<size_t>(index)].modified = 0;
        CloseTab(index, documents.size() == 1);
        ShowError(error);
        return;
    }
    Document& doc = documents[static_cast<size_t>(index)];
    if (index == app.activeTab && doc.editor) {
        ShowWindow(doc.editor, doc.hexMode ? SW_HIDE : SW_SHOW);
        if (GetForegroundWindow() == app.mainWindow) SetFocus(doc.hexMode ? app.mainWindow : doc.editor);
    }
    NoteChange(kChangeTitle | kChangeTabBar | kChangeLayout | kChangeEditorArea | kChangeStatusBar);
    // Written to while it was read: asked about now that there is something to compare.
    if (index == app.activeTab) CheckExternalChange(index);
}

void OpenRecentFile(int index) {
    if (index < 0 || index >= static_cast<int>(app.settings.recent.size())) return;
    const std::wstring path = app.settings.recent[static_cast<size_t>(index)];
    const DWORD attributes = GetFileAttributesW(ExtendedPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        const std::wstring message = MessageFor(MessageText::RecentFileGone) + path;
        MessageBoxW(app.mainWindow, message.c_str(), L"Tessary", MB_OK | MB_ICONWARNING);
        app.settings.recent.erase(app.settings.recent.begin() + index);
        SaveSettings();
        NoteChange(kChangeRecentFiles);
        return;
    }
    OpenPath(path);
}

void RestoreSession() {
    const std::wstring text = ReadSessionFile();
    if (text.empty()) return;
    Session session;
    if (!ReadSessionText(text, session)) return;
    // An untitled tab that the crash recovery of this start already brought back (with its later
    // edits) is not brought back a second time; with nothing else left there is nothing to ask.
    const std::wstring key = SessionKey(text);
    std::vector<char> wanted;
    int count = 0;
    for (size_t i = 0; i < session.entries.size(); ++i) {
        const bool again = session.entries[i].path.empty() && RecoveredFromSession(key, static_cast<int>(i));
        wanted.push_back(again ? 0 : 1);
        count += again ? 0 : 1;
    }
    if (count == 0) return;
    wchar_t question[512];
    std::swprintf(question, 512, LocalizedText(StringTable::RestorePrompt, 0), count);
    if (MessageBoxW(app.mainWindow, question, L"Tessary", MB_YESNO | MB_ICONQUESTION) != IDYES) {
        DeleteFileW(SessionPath().c_str());
        return;
    }
    const RecentFilesBatch oneWrite;
    const TabBatch together;
    // Only the empty tab the window opened with makes way; recovered tabs stay.
    if (documents.size() == 1 && documents[0].path.empty() && !documents[0].modified &&
        editor::Length(documents[0].editor) == 0)
        CloseTab(0, false);
    // The tab each entry became: an entry that does not open shifts the tabs after it.
    std::vector<int> tabOfEntry;
    for (size_t i = 0; i < session.entries.size(); ++i) {
        const SessionEntry& entry = session.entries[i];
        if (!wanted[i]) {
            tabOfEntry.push_back(-1);
            continue;
        }
        if (!entry.path.empty()) {
            tabOfEntry.push_back(OpenPath(entry.path));
            continue;
        }
        CreateTab(L"", app.mainWindow);
        tabOfEntry.push_back(static_cast<int>(documents.size()) - 1);
        Document& doc = documents.back();
        NoteSessionTab(doc.editor, key, static_cast<int>(i));
        {
            SettingText setting;
            SetEditorText(doc.editor, entry.text);
        }
        doc.modified = 1;
        doc.savedText.clear();
        doc.savedTextValid = 0;
        ApplyLanguageStyles(doc.editor, doc.language);
        editor::Send(doc.editor, editor::kSetSel, 0, 0);
        NoteChange(kChangeTitle | kChangeTabBar);
    }
    // Entries that all failed to open must not leave a window without a tab.
    if (documents.empty()) CreateTab(L"", app.mainWindow);
    ActivateTab(RestoredActiveTab(session.active, tabOfEntry, static_cast<int>(documents.size())));
}

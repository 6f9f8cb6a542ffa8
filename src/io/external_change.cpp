#include "io/external_change.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "app/app_state.h"
#include "app/editor.h"
#include "app/main_window.h"
#include "document/document.h"
#include "document/tabs.h"
#include "io/file_access.h"
#include "io/open.h"
#include "io/save.h"
#include "project/sidebar.h"
#include "syntax/languages.h"
#include "ui/strings.h"

namespace {

constexpr uint64_t kLargeBuffer = 200ull * 1024 * 1024 + 1;

// The question comes with a message box, which activates the main window again; without this
// guard that activation would ask a second time, and so on.
bool asking = false;

bool Valid(int index) { return index >= 0 && index < static_cast<int>(documents.size()); }

// Unsaved changes: save first (Yes), drop them (No) or keep everything (Cancel). Returns whether to
// go on with the reload.
bool ResolveUnsavedChanges(int index) {
    Document& doc = documents[static_cast<size_t>(index)];
    if (!doc.modified) return true;
    const std::wstring question = MessageFor(MessageText::ReloadUnsavedQuestion, doc.title);
    const int answer = MessageBoxW(app.mainWindow, question.c_str(), L"Tessary", MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) return false;
    if (answer == IDYES) {
        SaveDocument(index, 0);
        if (!Valid(index) || documents[static_cast<size_t>(index)].modified) return false;
    }
    return true;
}

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
    const LoadOutcome outcome = LoadIntoTab(index, path, error);
    if (outcome == LoadOutcome::Failed || outcome == LoadOutcome::Missing) {
        if (outcome == LoadOutcome::Missing) error = LocalizedText(StringTable::FileErrors, 1) + path;
        MessageBoxW(app.mainWindow, error.c_str(), L"Tessary", MB_OK | MB_ICONERROR);
        // A large file that failed part-way has left the tab empty: an empty tab bound to the
        // path would wipe the file at the next save, so it goes.
        Document& failed = documents[static_cast<size_t>(index)];
        if (!failed.hexMode && lengthBefore > 0 && editor::Length(failed.editor) == 0) {
            failed.modified = 0;
            CloseTab(index, 1);
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
    UpdateWindowTitle();
    ClampSidebarScroll();
    if (app.sidebarWindow) InvalidateRect(app.sidebarWindow, nullptr, TRUE);
    RepaintArea(app.rects.tabBar);
    Layout();
}

}  // namespace

bool ReloadHexBytes(Document& doc, std::wstring& error) {
    const std::wstring path = doc.path;
    const FileStamp before = FileTimeAndSize(path);  // taken before the read, as for any load
    if (MapForHex(doc, path)) {
        doc.hexBytes.clear();
    } else {
        // Not mappable (an empty file, say): read it whole when it is small enough. A failure here
        // leaves the tab's mapping or bytes as they were.
        ReadResult read = FileSizeOf(path) <= kSmallFileLimit ? ReadFileBytes(path) : ReadResult{};
        if (read.status != ReadStatus::Ok) {
            const bool missing = read.status == ReadStatus::NotFound;
            error = LocalizedText(StringTable::FileErrors, missing ? 1 : 0) + path;
            if (!missing && read.error) error += L"\n\n" + SystemErrorText(read.error);
            return false;
        }
        ReleaseMapping(doc);
        doc.hexOverlay.clear();
        doc.hexBytes = std::move(read.bytes);
    }
    const int64_t caret = doc.hexCaret;
    const int lowNibble = doc.hexCaretLowNibble;
    EnterHexMode(doc);
    doc.fileTime = before.time;
    doc.fileSize = before.size;
    DetectHexEncoding(doc);
    const uint64_t size = doc.mapped ? doc.mapSize : doc.hexBytes.size();
    // The caret stays where it was, limited to the bytes that are there now.
    const uint64_t last = size == 0 ? 0 : size - 1;
    doc.hexCaret = static_cast<int64_t>(std::min<uint64_t>(static_cast<uint64_t>(std::max<int64_t>(caret, 0)), last));
    doc.hexCaretLowNibble = doc.hexCaret == caret ? lowNibble : 0;
    return true;
}

void CheckExternalChange(int index) {
    if (asking || !Valid(index)) return;
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
    if (!Valid(index)) return;
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

#include "workflow/recovery_restore.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/app_state.h"
#include "base/change_notice.h"
#include "base/editor.h"
#include "workflow/tab_actions.h"
#include "document/document.h"
#include "document/hex_model.h"
#include "document/tabs.h"
#include "base/file_access.h"
#include "io/open.h"
#include "persist/recovery.h"
#include "persist/recovery_file.h"
#include "persist/recovery_plan.h"
#include "syntax/languages.h"
#include "base/strings.h"

namespace {

// One entry's data as its snapshot folder holds it.
struct SnapshotData {
    std::string text;                               // the text, or a hex tab's bytes
    std::unordered_map<uint64_t, uint8_t> changes;  // a mapped hex tab's changed bytes
};

int IndexOfPath(const std::wstring& path) {
    for (size_t i = 0; i < documents.size(); ++i) {
        if (documents[i].path == path) return static_cast<int>(i);
    }
    return -1;
}

void ShowRestored(Document& doc, const RecoveryEntry& entry) {
    if (doc.path.empty() && !entry.title.empty()) doc.title = entry.title;
    NoteChange(kChangeTitle | kChangeTabBar);
}

// Puts the recovered text into the tab's editor, marked modified.
void FillText(Document& doc, const RecoveryEntry& entry, const std::string& text) {
    editor::SetReadOnly(doc.editor, false);
    {
        SettingText setting;
        editor::SetText(doc.editor, text);
    }
    doc.encoding = entry.encoding;
    doc.lineEnding = entry.lineEnding;
    if (doc.language != entry.language) {
        doc.language = entry.language;
        ApplyLanguageStyles(doc.editor, doc.language);
    }
    doc.modified = 1;
    doc.savedText.clear();
    doc.savedTextValid = 0;
    const long long caret = std::min<long long>(entry.caret, editor::Length(doc.editor));
    editor::Send(doc.editor, editor::kSetSel, static_cast<WPARAM>(caret), static_cast<LPARAM>(caret));
    editor::Send(doc.editor, editor::kScrollCaret);
    RefreshReadOnly(doc);
}

// Bytes in memory as a modified hex tab.
void FillHexBytes(Document& doc, const RecoveryEntry& entry, std::vector<uint8_t> bytes) {
    ReleaseMapping(doc);
    doc.hexOverlay.clear();
    doc.hexBytes = std::move(bytes);
    EnterHexMode(doc);
    doc.hexSavePointValid = 0;
    doc.modified = 1;
    doc.encoding = entry.encoding;
    doc.lineEnding = entry.lineEnding;
    SetHexCaret(doc, entry.caret, 0);
}

std::wstring Reason(int text, DWORD error) {
    std::wstring reason = LocalizedText(StringTable::RecoveryPrompt, text);
    if (error) reason += L" (" + SystemErrorText(error) + L")";
    return reason;
}

// The file of a recovered tab changed on disk since the snapshot: Yes puts the changes over it as
// it is now, No opens them as a new untitled tab, Cancel leaves them for the next start.
int AskAboutChangedFile(const RecoveryEntry& entry) {
    wchar_t question[2048];
    std::swprintf(question, 2048, LocalizedText(StringTable::RecoveryPrompt, kFileChanged), entry.path.c_str());
    return MessageBoxW(app.mainWindow, question, L"Tessary", MB_YESNOCANCEL | MB_ICONWARNING);
}

// Reads what the snapshot folder `from` holds for `entry`; false, with `reason`, when that cannot
// be read whole.
bool ReadSnapshotData(const LeftoverSnapshot& from, const RecoveryEntry& entry, SnapshotData& data,
                      std::wstring& reason) {
    const std::wstring folder = RecoveryRoot() + from.name + L"\\";
    const ReadResult read = ReadFileBytes(folder + entry.file);
    if (read.status != ReadStatus::Ok) {
        reason = Reason(kTextUnreadable, read.error ? read.error : ERROR_FILE_NOT_FOUND);
        return false;
    }
    data.text.assign(read.bytes.begin(), read.bytes.end());
    if (entry.hex == 2 && !ReadHexChanges(data.text, data.changes)) {
        reason = Reason(kTextUnreadable, ERROR_FILE_CORRUPT);
        return false;
    }
    return true;
}

// The changed bytes of a mapped hex tab over a copy of its file as it is now.
bool ChangesOverFileCopy(const RecoveryEntry& entry, const SnapshotData& data, std::vector<uint8_t>& bytes,
                         std::wstring& reason) {
    if (FileSizeOf(entry.path) > kRecoveryTextLimit) {
        reason = Reason(kFileUnavailable, ERROR_FILE_TOO_LARGE);
        return false;
    }
    const ReadResult file = ReadFileBytes(entry.path);
    if (file.status != ReadStatus::Ok) {
        reason = Reason(kFileUnavailable, file.error ? file.error : ERROR_FILE_NOT_FOUND);
        return false;
    }
    bytes = file.bytes;
    for (const auto& [offset, value] : data.changes) {
        if (offset < bytes.size()) bytes[static_cast<size_t>(offset)] = value;
    }
    return true;
}

// The user chose to keep the changes apart from the file that changed on disk: a new untitled tab.
EntryFate RestoreAsUntitled(const RecoveryEntry& entry, const SnapshotData& data, const std::wstring& origin,
                            std::wstring& reason) {
    std::vector<uint8_t> bytes;
    if (entry.hex == 2) {
        if (!ChangesOverFileCopy(entry, data, bytes, reason)) return EntryFate::Kept;
    } else if (entry.hex == 1) {
        bytes.assign(data.text.begin(), data.text.end());
    }
    CreateTab(L"", app.mainWindow);
    Document& doc = documents[static_cast<size_t>(app.activeTab)];
    if (entry.hex) {
        FillHexBytes(doc, entry, std::move(bytes));
    } else {
        FillText(doc, entry, data.text);
    }
    NoteRestoredTab(doc.editor, origin, std::wstring(), entry.sessionEntry);
    NoteChange(kChangeTitle | kChangeTabBar);
    return EntryFate::Restored;
}

// The tab a recovered entry goes into, made active: the file's own tab when the file opens (as
// text for a text entry), else a new one; -1 when a mapped hex entry finds no tab of its file.
int TabForEntry(const RecoveryEntry& entry, bool onDisk) {
    int index = -1;
    if (onDisk) {
        OpenPath(entry.path);
        index = IndexOfPath(entry.path);
        if (index >= 0 && documents[static_cast<size_t>(index)].hexMode && !entry.hex) index = -1;
    }
    if (entry.hex == 2 && index < 0) return -1;
    if (index < 0) {
        CreateTab(onDisk ? L"" : entry.path, app.mainWindow);
        index = app.activeTab;
    } else {
        ActivateTab(index);
    }
    return index;
}

// The changed bytes of a mapped hex tab over a fresh mapping of its file; the tab keeps the
// mapping it has when that fails.
bool FillMappedChanges(Document& doc, const RecoveryEntry& entry, const SnapshotData& data, std::wstring& reason) {
    if (!MapForHex(doc, entry.path)) {
        reason = Reason(kFileUnavailable, GetLastError());
        return false;
    }
    EnterHexMode(doc);
    for (const auto& [offset, value] : data.changes) {
        if (offset < doc.mapSize) doc.hexOverlay[offset] = value;
    }
    doc.hexSavePointValid = 0;
    doc.modified = 1;
    doc.encoding = entry.encoding;
    doc.lineEnding = entry.lineEnding;
    SetHexCaret(doc, entry.caret, 0);
    return true;
}

// Opens one recovered entry, keeping the file itself untouched.
EntryFate RestoreOne(const LeftoverSnapshot& from, const RecoveryEntry& entry, std::wstring& reason) {
    SnapshotData data;
    if (!ReadSnapshotData(from, entry, data, reason)) return EntryFate::Kept;
    const bool onDisk = !entry.path.empty() && IsFile(entry.path);
    if (entry.hex == 2 && !onDisk) {
        reason = Reason(kFileUnavailable, ERROR_FILE_NOT_FOUND);
        return EntryFate::Kept;
    }
    // The snapshot knew the file with this time and size; another content now is the user's to weigh.
    const FileStamp now = onDisk ? FileTimeAndSize(entry.path) : FileStamp{};
    const bool changed = onDisk && entry.fileTime != 0 && (now.time != entry.fileTime || now.size != entry.fileSize);
    const std::wstring origin = OriginAfterRestore(from.name, entry);
    if (changed) {
        const int answer = AskAboutChangedFile(entry);
        if (answer == IDCANCEL) return EntryFate::Kept;
        if (answer == IDNO) return RestoreAsUntitled(entry, data, origin, reason);
    }
    const int index = TabForEntry(entry, onDisk);
    if (index < 0) {
        reason = Reason(kFileUnavailable, 0);
        return EntryFate::Kept;
    }
    Document& doc = documents[static_cast<size_t>(index)];
    if (entry.hex == 2) {
        if (!FillMappedChanges(doc, entry, data, reason)) return EntryFate::Kept;
    } else if (entry.hex == 1) {
        FillHexBytes(doc, entry, std::vector<uint8_t>(data.text.begin(), data.text.end()));
    } else {
        FillText(doc, entry, data.text);
    }
    if (onDisk && !doc.path.empty()) {
        // What the tab knows of the file: the snapshot's stamp, so that a change on disk since
        // then is noticed at the next check; after the user chose to put the changes over the new
        // content, that content's stamp.
        doc.fileTime = changed ? now.time : entry.fileTime;
        doc.fileSize = changed ? now.size : entry.fileSize;
    }
    NoteRestoredTab(doc.editor, origin, doc.path.empty() ? entry.session : std::wstring(), entry.sessionEntry);
    ShowRestored(doc, entry);
    return EntryFate::Restored;
}

std::wstring NameList(const std::vector<std::wstring>& names) {
    std::wstring list;
    for (const std::wstring& name : names) list += L"\n" + name;
    return list;
}

void TellTooLarge(const std::vector<std::wstring>& names) {
    const std::wstring text = LocalizedText(StringTable::RecoveryPrompt, kTooLarge) + NameList(names);
    MessageBoxW(app.mainWindow, text.c_str(), L"Tessary", MB_OK | MB_ICONWARNING);
}

bool AskToRecover(int count, const std::vector<std::wstring>& staleSince) {
    wchar_t question[512];
    std::swprintf(question, 512, LocalizedText(StringTable::RecoveryPrompt, kAskText), count);
    std::wstring text = question;
    for (const std::wstring& since : staleSince) {
        wchar_t line[512];
        std::swprintf(line, 512, LocalizedText(StringTable::RecoveryPrompt, kStaleLine), since.c_str());
        text += L"\n\n";
        text += line;
    }
    return MessageBoxW(app.mainWindow, text.c_str(), L"Tessary", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void TellNotRestored(const std::vector<std::pair<std::wstring, std::wstring>>& failed) {
    wchar_t head[1024];
    std::swprintf(head, 1024, LocalizedText(StringTable::RecoveryPrompt, kNotRestored), RecoveryRoot().c_str());
    std::wstring text = head;
    for (const auto& [name, why] : failed) text += L"\n" + name + L": " + why;
    MessageBoxW(app.mainWindow, text.c_str(), L"Tessary", MB_OK | MB_ICONWARNING);
}

}  // namespace

void OfferRecovery() {
    const size_t tabsBefore = documents.size();
    RecoverySteps steps = RecoveryFolderSteps();
    steps.tellTooLarge = TellTooLarge;
    steps.ask = AskToRecover;
    steps.restore = RestoreOne;
    steps.tellFailed = TellNotRestored;
    const int restored = RunRecovery(steps);
    // The empty tab the window opened with is not wanted beside the recovered ones.
    if (restored > 0 && tabsBefore == 1 && documents.size() > 1) {
        const Document& first = documents.front();
        if (first.path.empty() && !first.modified && editor::Length(first.editor) == 0) {
            CloseTab(0, false);
            ActivateTab(static_cast<int>(documents.size()) - 1);
        }
    }
    SnapshotRestoredTabs(restored);
}

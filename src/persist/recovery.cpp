#include "persist/recovery.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "app/app_state.h"
#include "app/editor.h"
#include "app/main_window.h"
#include "document/document.h"
#include "document/tabs.h"
#include "io/file_access.h"
#include "io/open.h"
#include "persist/recovery_file.h"
#include "syntax/languages.h"
#include "ui/strings.h"
#include "views/hex_model.h"

namespace {

const wchar_t kIndexName[] = L"recovery.json";
const wchar_t kLockName[] = L"lock";

// What the snapshot holds of one tab's editor.
struct Slot {
    int id = 0;
    uint64_t changed = 1;  // bumped by every change of the tab
    uint64_t written = 0;  // the value of `changed` that the snapshot's text file holds
};

// One snapshot's file work, done away from the interface thread.
struct SnapshotJob {
    std::wstring folder;
    std::vector<std::pair<std::wstring, std::string>> texts;  // file name, bytes
    std::string index;                                        // empty: the snapshot is removed
    std::set<std::wstring> keep;                              // text files the index names
};

std::wstring ownFolder;  // with a trailing separator; empty while snapshots are off
std::wstring ownName;
HANDLE lockFile = INVALID_HANDLE_VALUE;
std::map<HWND, Slot> slots;
int nextSlotId = 1;
SnapshotClock snapshotClock;
bool timerRunning = false;
std::thread writer;
std::atomic<bool> writing{false};
std::atomic<bool> writeFailed{false};

std::wstring RecoveryRoot() {
    const std::wstring dir = ProgramDirectory();
    return dir.empty() ? std::wstring() : dir + L"recovery\\";
}

std::vector<std::wstring> FilesIn(const std::wstring& folder, bool directories) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const bool isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const std::wstring name = data.cFileName;
        if (isDirectory == directories && name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

bool IsTextFileName(const std::wstring& name) {
    return name.size() > 8 && name.compare(0, 4, L"tab-") == 0 && name.compare(name.size() - 4, 4, L".txt") == 0;
}

// Removes a snapshot folder and everything the program put in it.
void RemoveFolder(const std::wstring& folder) {
    for (const std::wstring& name : FilesIn(folder, false)) DeleteFileW((folder + name).c_str());
    RemoveDirectoryW(folder.substr(0, folder.size() - 1).c_str());
}

void WriteJob(const SnapshotJob& job) {
    bool ok = true;
    for (const auto& [name, bytes] : job.texts) {
        ok = ok && AtomicWriteBytes(job.folder + name, bytes.data(), bytes.size(), false);
    }
    // The index is replaced only once every text it names is in place.
    const std::wstring index = job.folder + kIndexName;
    if (ok)
        ok = job.index.empty() ? (DeleteFileW(index.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND)
                               : AtomicWriteBytes(index, job.index.data(), job.index.size(), false);
    if (ok) {
        for (const std::wstring& name : FilesIn(job.folder, false)) {
            if (IsTextFileName(name) && !job.keep.count(name)) DeleteFileW((job.folder + name).c_str());
        }
    }
    if (!ok) writeFailed = true;
}

void FinishWriter() {
    if (writer.joinable()) writer.join();
}

// Copies out what changed since the last snapshot and hands the writing to a worker thread.
// False when the previous snapshot is still being written (try again at the next tick).
bool TakeSnapshot() {
    if (ownFolder.empty()) return true;
    if (writing) return false;
    FinishWriter();
    if (writeFailed) {
        // A folder that cannot be written: snapshots stay off, nothing else changes.
        ownFolder.clear();
        return true;
    }
    SnapshotJob job;
    job.folder = ownFolder;
    std::vector<RecoveryEntry> entries;
    std::map<HWND, Slot> live;
    for (const Document& doc : documents) {
        if (!doc.modified || !doc.editor) continue;
        Slot slot = slots.count(doc.editor) ? slots[doc.editor] : Slot{};
        if (slot.id == 0) slot.id = nextSlotId++;
        RecoveryEntry entry;
        entry.path = doc.path;
        entry.title = doc.title;
        entry.encoding = doc.encoding;
        entry.lineEnding = doc.lineEnding;
        entry.language = doc.language;
        entry.caret = doc.hexMode ? doc.hexCaret : editor::Send(doc.editor, editor::kGetCurrentPos);
        entry.fileTime = doc.fileTime;
        entry.fileSize = doc.fileSize;
        // A hex tab keeps its bytes, or for a mapped file only the changed ones.
        entry.hex = !doc.hexMode ? 0 : doc.mapped ? 2 : 1;
        const uint64_t length = entry.hex == 2   ? doc.hexOverlay.size() * 9
                                : entry.hex == 1 ? doc.hexBytes.size()
                                                 : static_cast<uint64_t>(editor::Length(doc.editor));
        if (length > kRecoveryTextLimit) {
            entry.skipped = 1;
        } else {
            entry.file = L"tab-" + std::to_wstring(slot.id) + L".txt";
            job.keep.insert(entry.file);
            if (slot.written != slot.changed) {
                job.texts.emplace_back(entry.file, entry.hex == 2 ? FormatHexChanges(doc.hexOverlay)
                                                   : entry.hex == 1
                                                       ? std::string(doc.hexBytes.begin(), doc.hexBytes.end())
                                                       : editor::GetText(doc.editor));
                slot.written = slot.changed;
            }
        }
        entries.push_back(std::move(entry));
        live[doc.editor] = slot;
    }
    // Keep the numbering of tabs that are not modified now, so that their next change still
    // counts as one.
    for (const Document& doc : documents) {
        if (doc.editor && !live.count(doc.editor) && slots.count(doc.editor)) {
            Slot slot = slots[doc.editor];
            slot.written = 0;
            live[doc.editor] = slot;
        }
    }
    slots = std::move(live);
    if (!entries.empty()) job.index = FormatRecoveryIndex(entries);
    writing = true;
    writer = std::thread([job = std::move(job)] {
        WriteJob(job);
        writing = false;
    });
    return true;
}

struct Leftover {
    std::wstring folder;
    std::vector<RecoveryEntry> entries;
};

// Snapshot folders of instances that are no longer running and left a readable index.
std::vector<Leftover> FindLeftovers() {
    std::vector<Leftover> found;
    const std::wstring root = RecoveryRoot();
    if (root.empty()) return found;
    for (const std::wstring& name : FilesIn(root, true)) {
        if (name == ownName) continue;
        const std::wstring folder = root + name + L"\\";
        // A running instance holds its lock file open without sharing.
        HANDLE lock = CreateFileW((folder + kLockName).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (lock == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION) continue;
        if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
        const ReadResult index = ReadFileBytes(folder + kIndexName);
        Leftover leftover{folder, {}};
        if (index.status == ReadStatus::NotFound) {
            // Nothing was ever snapshotted there (or a clean exit was cut short): an empty folder goes.
            bool holdsText = false;
            for (const std::wstring& file : FilesIn(folder, false)) holdsText = holdsText || IsTextFileName(file);
            if (!holdsText) RemoveFolder(folder);
            continue;
        }
        if (index.status != ReadStatus::Ok ||
            !ReadRecoveryIndex(std::string(index.bytes.begin(), index.bytes.end()), leftover.entries))
            continue;  // damaged: left for the user to look at
        found.push_back(std::move(leftover));
    }
    return found;
}

int IndexOfPath(const std::wstring& path) {
    for (size_t i = 0; i < documents.size(); ++i) {
        if (documents[i].path == path) return static_cast<int>(i);
    }
    return -1;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(ExtendedPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A recovered hex tab: its bytes, or the file mapped again with the changed bytes over it, marked
// modified. False when the file cannot be mapped (the tab is left as it was opened).
bool RestoreHexEntry(Document& doc, const RecoveryEntry& entry, const std::string& bytes,
                     const std::unordered_map<uint64_t, uint8_t>& changes) {
    ReleaseMapping(doc);
    doc.hexOverlay.clear();
    doc.hexBytes.clear();
    if (entry.hex == 1) {
        doc.hexBytes.assign(bytes.begin(), bytes.end());
    } else if (!MapForHex(doc, entry.path)) {
        return false;
    }
    EnterHexMode(doc);
    for (const auto& [offset, value] : changes) {
        if (offset < doc.mapSize) doc.hexOverlay[offset] = value;
    }
    doc.hexSavePointValid = 0;
    doc.modified = 1;
    doc.encoding = entry.encoding;
    doc.lineEnding = entry.lineEnding;
    SetHexCaret(doc, entry.caret, 0);
    return true;
}

// Opens one recovered tab: the file as it is on disk with the recovered text over it, or a tab
// bound to the path (or untitled) holding the text. The file itself is not touched.
void RestoreEntry(const RecoveryEntry& entry, const std::string& text) {
    int index = -1;
    const bool onDisk = !entry.path.empty() && IsFile(entry.path);
    std::unordered_map<uint64_t, uint8_t> changes;
    // Changed bytes need the file they go over.
    if (entry.hex == 2 && (!onDisk || !ReadHexChanges(text, changes))) return;
    if (onDisk) {
        OpenPath(entry.path);
        index = IndexOfPath(entry.path);
        if (index >= 0 && documents[static_cast<size_t>(index)].hexMode && !entry.hex) index = -1;
    }
    if (entry.hex == 2 && index < 0) return;
    if (index < 0) {
        CreateTab(onDisk ? L"" : entry.path, app.mainWindow);
        index = app.activeTab;
    } else {
        ActivateTab(index);
    }
    Document& doc = documents[static_cast<size_t>(index)];
    if (entry.hex) {
        if (!RestoreHexEntry(doc, entry, text, changes)) return;
        if (doc.path.empty() && !entry.title.empty()) doc.title = entry.title;
        // What the tab knew of the file: a change on disk since then is noticed at the next check.
        if (onDisk && !doc.path.empty()) {
            doc.fileTime = entry.fileTime;
            doc.fileSize = entry.fileSize;
        }
        UpdateWindowTitle();
        RepaintArea(app.rects.tabBar);
        return;
    }
    editor::SetReadOnly(doc.editor, false);
    app.settingText = 1;
    editor::SetText(doc.editor, text);
    app.settingText = 0;
    doc.encoding = entry.encoding;
    doc.lineEnding = entry.lineEnding;
    if (doc.language != entry.language) {
        doc.language = entry.language;
        ApplyLanguageStyles(doc.editor, doc.language);
    }
    if (doc.path.empty() && !entry.title.empty()) doc.title = entry.title;
    doc.modified = 1;
    doc.savedText.clear();
    doc.savedTextValid = 0;
    if (onDisk && !doc.path.empty()) {
        // What the tab knew of the file: a change on disk since then is noticed at the next check.
        doc.fileTime = entry.fileTime;
        doc.fileSize = entry.fileSize;
    }
    const long long caret = std::min<long long>(entry.caret, editor::Length(doc.editor));
    editor::Send(doc.editor, editor::kSetSel, static_cast<WPARAM>(caret), static_cast<LPARAM>(caret));
    editor::Send(doc.editor, editor::kScrollCaret);
    RefreshReadOnly(doc);
    UpdateWindowTitle();
    RepaintArea(app.rects.tabBar);
}

}  // namespace

void StartRecovery() {
    const std::wstring root = RecoveryRoot();
    if (root.empty()) return;
    CreateDirectoryW(root.substr(0, root.size() - 1).c_str(), nullptr);
    ownName = std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
    const std::wstring folder = root + ownName + L"\\";
    if (!CreateDirectoryW(folder.substr(0, folder.size() - 1).c_str(), nullptr)) return;
    lockFile = CreateFileW((folder + kLockName).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (lockFile == INVALID_HANDLE_VALUE) {
        RemoveFolder(folder);
        return;
    }
    ownFolder = folder;
}

void OfferRecovery() {
    std::vector<Leftover> leftovers = FindLeftovers();
    int count = 0;
    for (const Leftover& leftover : leftovers) {
        for (const RecoveryEntry& entry : leftover.entries) count += entry.skipped ? 0 : 1;
    }
    if (count == 0) return;
    wchar_t question[512];
    std::swprintf(question, 512, LocalizedText(StringTable::RecoveryPrompt, 0), count);
    const bool recover = MessageBoxW(app.mainWindow, question, L"Tessary", MB_YESNO | MB_ICONQUESTION) == IDYES;
    if (recover) {
        const size_t tabsBefore = documents.size();
        for (const Leftover& leftover : leftovers) {
            for (const RecoveryEntry& entry : leftover.entries) {
                if (entry.skipped) continue;
                const ReadResult text = ReadFileBytes(leftover.folder + entry.file);
                if (text.status != ReadStatus::Ok) continue;  // that text is lost; the others still come
                RestoreEntry(entry, std::string(text.bytes.begin(), text.bytes.end()));
            }
        }
        // The empty tab the window opened with is not wanted beside the recovered ones.
        if (tabsBefore == 1 && documents.size() > 1) {
            const Document& first = documents.front();
            if (first.path.empty() && !first.modified && editor::Length(first.editor) == 0) {
                CloseTab(0, 0);
                ActivateTab(static_cast<int>(documents.size()) - 1);
            }
        }
        NoteRecoveryChange();
    }
    for (const Leftover& leftover : leftovers) RemoveFolder(leftover.folder);
}

void NoteRecoverySetChange() {
    if (ownFolder.empty() || !app.mainWindow) return;
    NoteSnapshotChange(snapshotClock, GetTickCount64());
    if (!timerRunning) timerRunning = SetTimer(app.mainWindow, kRecoveryTimerId, 1000, nullptr) != 0;
}

void NoteRecoveryChange() {
    if (ownFolder.empty() || !app.mainWindow) return;
    if (const Document* doc = ActiveDocument()) {
        if (doc->editor) ++slots[doc->editor].changed;
    }
    NoteRecoverySetChange();
}

void OnRecoveryTimer() {
    if (!SnapshotDue(snapshotClock, GetTickCount64())) return;
    if (!TakeSnapshot()) return;
    NoteSnapshotTaken(snapshotClock);
    KillTimer(app.mainWindow, kRecoveryTimerId);
    timerRunning = false;
}

void EndRecovery(bool cleanExit) {
    FinishWriter();
    if (lockFile != INVALID_HANDLE_VALUE) CloseHandle(lockFile);
    lockFile = INVALID_HANDLE_VALUE;
    if (cleanExit && !ownName.empty()) {
        RemoveFolder(RecoveryRoot() + ownName + L"\\");
        const std::wstring root = RecoveryRoot();
        RemoveDirectoryW(root.substr(0, root.size() - 1).c_str());  // only when no other snapshot is there
    }
    ownFolder.clear();
}

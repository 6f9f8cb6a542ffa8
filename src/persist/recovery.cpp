#include "persist/recovery.h"

#include <windows.h>

#include <atomic>
#include <cwchar>
#include <map>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <tuple>
#include <vector>

#include "base/app_state.h"
#include "base/change_notice.h"
#include "base/editor.h"
#include "document/document.h"
#include "document/tabs.h"
#include "base/file_access.h"
#include "persist/recovery_file.h"
#include "persist/recovery_plan.h"
#include "base/strings.h"

namespace {

const wchar_t kIndexName[] = L"recovery.json";
const wchar_t kLegacyLockName[] = L"lock";  // the lock inside the folder, as older versions kept it
const wchar_t kStaleName[] = L"stale";      // written when a snapshot write failed after the index

// What the snapshot holds of one tab's editor.
struct Slot {
    int id = 0;
    uint64_t changed = 1;  // bumped by every change of the tab
    uint64_t written = 0;  // the value of `changed` that the snapshot's text file holds
    std::wstring file;     // that text file
    std::wstring origin;   // the older snapshot entry this tab was recovered from
    std::wstring session;  // the session file an untitled tab was restored from, and its entry there
    int sessionEntry = -1;
};

// One snapshot's file work, done away from the interface thread.
struct SnapshotJob {
    std::wstring folder;
    std::vector<std::pair<std::wstring, std::string>> texts;  // file name, bytes
    std::string index;                                        // empty: the snapshot is removed
    std::set<std::wstring> keep;                              // text files the index names
    std::vector<PendingSettle> settle;                        // old folders to settle once it is written
    bool ok = false;
};

std::wstring ownFolder;  // with a trailing separator; empty while snapshots are off
std::wstring ownName;
HANDLE ownLock = INVALID_HANDLE_VALUE;
bool ended = false;
std::map<HWND, Slot> slots;
int nextSlotId = 1;
uint64_t nextFileNumber = 1;
SnapshotClock snapshotClock;
SnapshotFailures failures;
std::wstring notice;
std::vector<std::tuple<HWND, int, int>> lastSignature;  // the modified tabs as last seen
std::thread writer;
std::atomic<bool> writing{false};
SnapshotJob job;  // the job in flight, or the last one; touched by the writer only while `writing`
std::vector<PendingSettle> pending;
std::map<std::wstring, HANDLE> claims;              // folder name -> its lock, held
std::set<std::pair<std::wstring, int>> fromSession;  // session entries this start recovered

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

// Removes a snapshot folder and everything the program put in it; false when something stayed.
bool RemoveFolder(const std::wstring& folder) {
    for (const std::wstring& name : FilesIn(folder, false)) DeleteFileW((folder + name).c_str());
    return RemoveDirectoryW(folder.substr(0, folder.size() - 1).c_str()) ||
           GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
}

// Opens the lock of the folder `name` without sharing; it goes with the last handle. Invalid when
// another instance holds it; a lock that cannot be made for another reason (a read-only folder)
// stops nobody, so that folder counts as claimed without a handle.
bool TakeLock(const std::wstring& name, HANDLE& lock) {
    lock = CreateFileW((RecoveryRoot() + name + L".lock").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    return lock != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION;
}

void ReleaseClaim(const std::wstring& name) {
    auto it = claims.find(name);
    if (it == claims.end()) return;
    if (it->second != INVALID_HANDLE_VALUE) CloseHandle(it->second);
    claims.erase(it);
}

// Writes one old folder's outcome: its index cut down to the kept tabs (and their text files
// alone), or the folder removed.
bool SettleFolder(const PendingSettle& folder) {
    if (folder.outcome.kind == FolderOutcome::Remove) return RemoveFolder(folder.folder);
    if (folder.outcome.kind == FolderOutcome::Unchanged) return true;
    const std::string index = FormatRecoveryIndex(folder.outcome.kept);
    if (!AtomicWriteBytes(folder.folder + kIndexName, index.data(), index.size(), false)) return false;
    std::set<std::wstring> keep;
    for (const RecoveryEntry& entry : folder.outcome.kept) keep.insert(entry.file);
    for (const std::wstring& name : FilesIn(folder.folder, false)) {
        if (IsTextFileName(name) && !keep.count(name)) DeleteFileW((folder.folder + name).c_str());
    }
    return true;
}

// Marks a snapshot whose last write failed, so that it is not offered as if it were current.
void MarkStale(const std::wstring& folder) {
    HANDLE file = CreateFileW((folder + kStaleName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, "1", 1, &written, nullptr);
    CloseHandle(file);
}

// Writes this instance's snapshot; once it is on disk, the old folders waiting for it are settled.
bool WriteOwnSnapshot(SnapshotJob& work) {
    bool ok = true;
    for (const auto& [name, bytes] : work.texts) {
        ok = ok && AtomicWriteBytes(work.folder + name, bytes.data(), bytes.size(), false);
    }
    // The index is replaced only once every text it names is in place.
    const std::wstring index = work.folder + kIndexName;
    if (ok)
        ok = work.index.empty() ? (DeleteFileW(index.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND)
                                : AtomicWriteBytes(index, work.index.data(), work.index.size(), false);
    if (!ok) {
        MarkStale(work.folder);
        return false;
    }
    DeleteFileW((work.folder + kStaleName).c_str());
    for (const std::wstring& name : FilesIn(work.folder, false)) {
        if (IsTextFileName(name) && !work.keep.count(name)) DeleteFileW((work.folder + name).c_str());
    }
    return true;
}

void WriteJob(SnapshotJob& work) {
    work.ok = WriteAndSettle([&work] { return WriteOwnSnapshot(work); }, work.settle, SettleFolder);
}

void FinishWriter() {
    if (writer.joinable()) writer.join();
}

void RepaintNotice() { NoteChange(kChangeStatusBar); }

// The interface thread's side of a finished write.
void TakeWriteResult(uint64_t now) {
    if (NoteSnapshotWrite(failures, job.ok, now)) {
        notice = LocalizedText(StringTable::RecoveryPrompt, kCannotWrite);
        RepaintNotice();
    }
    if (job.ok) {
        if (!notice.empty()) {
            notice.clear();
            RepaintNotice();
        }
        for (const PendingSettle& settled : job.settle) {
            if (!settled.done) continue;
            for (size_t i = 0; i < pending.size(); ++i) {
                if (pending[i].folder != settled.folder) continue;
                const std::wstring name = settled.folder.substr(RecoveryRoot().size(), settled.folder.size() - RecoveryRoot().size() - 1);
                ReleaseClaim(name);
                pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(i));
                break;
            }
        }
    } else {
        // Whatever the failed write held may be missing: the next one writes every text again,
        // and it comes without waiting for another change.
        for (auto& [editor, slot] : slots) slot.written = 0;
        NoteSnapshotChange(snapshotClock, now);
    }
    job = SnapshotJob();
}

// The modified tabs as the snapshot sees them: a change here that no notification reported (a
// background tab saved or reloaded) still leads to a snapshot.
std::vector<std::tuple<HWND, int, int>> ModifiedSignature() {
    std::vector<std::tuple<HWND, int, int>> signature;
    for (const Document& doc : documents) {
        if (doc.modified && doc.editor && !doc.loading) signature.emplace_back(doc.editor, doc.hexMode, doc.mapped);
    }
    return signature;
}

// The index entry of a modified tab: everything but the name of the file that holds its text.
RecoveryEntry EntryFor(const Document& doc, const Slot& slot) {
    RecoveryEntry entry;
    entry.path = doc.path;
    entry.title = doc.title;
    entry.encoding = doc.encoding;
    entry.lineEnding = doc.lineEnding;
    entry.language = doc.language;
    entry.caret = doc.hexMode ? doc.hexCaret : editor::Send(doc.editor, editor::kGetCurrentPos);
    entry.fileTime = doc.fileTime;
    entry.fileSize = doc.fileSize;
    entry.origin = slot.origin;
    entry.session = doc.path.empty() ? slot.session : std::wstring();
    entry.sessionEntry = slot.sessionEntry;
    // A hex tab keeps its bytes, or for a mapped file only the changed ones.
    entry.hex = !doc.hexMode ? 0 : doc.mapped ? 2 : 1;
    return entry;
}

// Copies out what changed since the last snapshot and hands the writing to a worker thread.
// False when the previous snapshot is still being written (try again at the next tick).
bool TakeSnapshot() {
    if (ownFolder.empty()) return true;
    if (writing) return false;
    FinishWriter();
    if (!job.folder.empty()) TakeWriteResult(GetTickCount64());
    SnapshotJob work;
    work.folder = ownFolder;
    std::vector<RecoveryEntry> entries;
    std::map<HWND, Slot> live;
    for (const Document& doc : documents) {
        // A tab whose text is still being read holds none of it: a snapshot of it would bring back
        // a truncated file.
        if (!doc.modified || !doc.editor || doc.loading) continue;
        Slot slot = slots.count(doc.editor) ? slots[doc.editor] : Slot{};
        if (slot.id == 0) slot.id = nextSlotId++;
        RecoveryEntry entry = EntryFor(doc, slot);
        const uint64_t length = entry.hex == 2   ? doc.hexOverlay.size() * 9
                                : entry.hex == 1 ? doc.hexBytes.size()
                                                 : static_cast<uint64_t>(editor::Length(doc.editor));
        if (length > kRecoveryTextLimit) {
            entry.skipped = 1;
        } else {
            if (slot.written != slot.changed || slot.file.empty()) {
                // A new file for each new text: should the index not be written, the old one still
                // names the texts of its own time.
                slot.file = L"tab-" + std::to_wstring(slot.id) + L"-" + std::to_wstring(nextFileNumber++) + L".txt";
                slot.written = 0;
            }
            entry.file = slot.file;
            work.keep.insert(entry.file);
            if (slot.written != slot.changed) {
                work.texts.emplace_back(entry.file, entry.hex == 2 ? FormatHexChanges(doc.hexOverlay)
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
    lastSignature = ModifiedSignature();
    if (!entries.empty()) work.index = FormatRecoveryIndex(entries);
    work.settle = pending;
    job = std::move(work);
    writing = true;
    try {
        writer = std::thread([] {
            WriteJob(job);
            writing = false;
        });
    } catch (const std::system_error&) {
        // No thread now: counted as a failed write, tried again later.
        writing = false;
        job.ok = false;
        TakeWriteResult(GetTickCount64());
    }
    return true;
}

uint64_t LastWriteOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// "2026-12-07 19:48", local time.
std::wstring LocalTimeText(uint64_t fileTime) {
    FILETIME utc{static_cast<DWORD>(fileTime & 0xFFFFFFFF), static_cast<DWORD>(fileTime >> 32)};
    FILETIME local{};
    SYSTEMTIME t{};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t)) return L"?";
    wchar_t text[32];
    std::swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
    return text;
}

// Snapshot folders of instances that are no longer running, each claimed, with a readable index.
std::vector<LeftoverSnapshot> ClaimLeftovers() {
    std::vector<LeftoverSnapshot> found;
    const std::wstring root = RecoveryRoot();
    if (root.empty()) return found;
    for (const std::wstring& name : FilesIn(root, true)) {
        if (name == ownName) continue;
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (!TakeLock(name, lock)) continue;  // running, or being recovered by another instance
        const std::wstring folder = root + name + L"\\";
        // Older versions held a lock inside the folder.
        HANDLE legacy = CreateFileW((folder + kLegacyLockName).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (legacy == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION) {
            if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
            continue;
        }
        if (legacy != INVALID_HANDLE_VALUE) CloseHandle(legacy);
        claims[name] = lock;
        const ReadResult index = ReadFileBytes(folder + kIndexName);
        LeftoverSnapshot leftover;
        leftover.name = name;
        if (index.status == ReadStatus::NotFound) {
            // Nothing was ever snapshotted there (or a clean exit was cut short): an empty folder goes.
            bool holdsText = false;
            for (const std::wstring& file : FilesIn(folder, false)) holdsText = holdsText || IsTextFileName(file);
            if (!holdsText) RemoveFolder(folder);
            ReleaseClaim(name);
            continue;
        }
        if (index.status != ReadStatus::Ok ||
            !ReadRecoveryIndex(std::string(index.bytes.begin(), index.bytes.end()), leftover.entries)) {
            ReleaseClaim(name);  // damaged: left for the user to look at
            continue;
        }
        for (const RecoveryEntry& entry : leftover.entries) {
            leftover.present.push_back(!entry.skipped && IsFile(folder + entry.file) ? 1 : 0);
        }
        const uint64_t written = LastWriteOf(folder + kIndexName);
        const uint64_t failed = LastWriteOf(folder + kStaleName);
        if (failed != 0 && failed >= written) leftover.staleSince = LocalTimeText(written);
        found.push_back(std::move(leftover));
    }
    return found;
}

}  // namespace

std::wstring RecoveryRoot() {
    const std::wstring dir = ProgramDirectory();
    return dir.empty() ? std::wstring() : dir + L"recovery\\";
}

void StartRecovery() {
    const std::wstring root = RecoveryRoot();
    if (root.empty() || !ownName.empty()) return;
    CreateDirectoryW(root.substr(0, root.size() - 1).c_str(), nullptr);
    const std::wstring name = std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
    // The lock comes first: a folder without a held lock is another instance's to recover.
    HANDLE lock = INVALID_HANDLE_VALUE;
    if (!TakeLock(name, lock) || lock == INVALID_HANDLE_VALUE) return;
    const std::wstring folder = root + name + L"\\";
    if (!CreateDirectoryW(folder.substr(0, folder.size() - 1).c_str(), nullptr)) {
        CloseHandle(lock);
        return;
    }
    ownName = name;
    ownLock = lock;
    ownFolder = folder;
    if (app.mainWindow) SetTimer(app.mainWindow, kRecoveryTimerId, 1000, nullptr);
}

RecoverySteps RecoveryFolderSteps() {
    RecoverySteps steps;
    steps.claimLeftovers = ClaimLeftovers;
    steps.removeNow = [](const std::wstring& name) {
        RemoveFolder(RecoveryRoot() + name + L"\\");
        ReleaseClaim(name);
    };
    steps.settleLater = [](const std::wstring& name, const FolderOutcome& outcome) {
        if (outcome.kind == FolderOutcome::Unchanged || ownFolder.empty()) {
            // Nothing to wait for, or no snapshot of this instance will ever hold the restored
            // tabs: the folder stays as it is, and its tabs are offered again after a crash.
            ReleaseClaim(name);
            return;
        }
        pending.push_back(PendingSettle{RecoveryRoot() + name + L"\\", outcome});
    };
    return steps;
}

void NoteRestoredTab(HWND editor, const std::wstring& origin, const std::wstring& session, int sessionEntry) {
    Slot slot;
    slot.origin = origin;
    slot.session = session;
    slot.sessionEntry = sessionEntry;
    slots[editor] = slot;
    if (!session.empty()) fromSession.insert({session, sessionEntry});
}

void SnapshotRestoredTabs(int restored) {
    if (restored == 0 && pending.empty()) return;
    // The restored tabs go into this instance's snapshot at once: until then only the old
    // folders hold them.
    for (auto& [editor, slot] : slots) slot.written = 0;
    NoteRecoveryChange();
    TakeSnapshot();
    NoteSnapshotTaken(snapshotClock);
}

void NoteSessionTab(HWND editor, const std::wstring& sessionKey, int entry) {
    if (!editor) return;
    Slot& slot = slots[editor];
    slot.session = sessionKey;
    slot.sessionEntry = entry;
}

bool RecoveredFromSession(const std::wstring& sessionKey, int entry) {
    return fromSession.count({sessionKey, entry}) != 0;
}

const std::wstring& RecoveryNotice() { return notice; }

void NoteRecoverySetChange() {
    if (ownFolder.empty() || !app.mainWindow) return;
    NoteSnapshotChange(snapshotClock, GetTickCount64());
}

void NoteRecoveryEditorChange(HWND editor) {
    if (ownFolder.empty() || !app.mainWindow || !editor) return;
    ++slots[editor].changed;
    NoteRecoverySetChange();
}

void NoteRecoveryChange() {
    if (const Document* doc = ActiveDocument()) NoteRecoveryEditorChange(doc->editor);
}

void OnRecoveryTimer() {
    if (ownFolder.empty()) return;
    const uint64_t now = GetTickCount64();
    if (!writing && writer.joinable()) {
        FinishWriter();
        TakeWriteResult(now);
    }
    // Noted once per change of the set, so that the quiet time before the snapshot can pass.
    std::vector<std::tuple<HWND, int, int>> signature = ModifiedSignature();
    if (signature != lastSignature) {
        lastSignature = std::move(signature);
        NoteSnapshotChange(snapshotClock, now);
    }
    if (writing || !SnapshotDue(snapshotClock, now) || !SnapshotRetryDue(failures, now)) return;
    if (TakeSnapshot()) NoteSnapshotTaken(snapshotClock);
}

void EndRecovery(bool cleanExit) {
    if (ended) return;
    ended = true;
    FinishWriter();
    if (app.mainWindow) KillTimer(app.mainWindow, kRecoveryTimerId);
    if (cleanExit && !ownName.empty()) {
        // Every tab was settled by the user: what the old folders still hold for restored tabs
        // is not wanted any more, and this instance's snapshot goes before its lock.
        for (const PendingSettle& folder : pending) SettleFolder(folder);
        RemoveFolder(ownFolder);
    }
    pending.clear();
    while (!claims.empty()) ReleaseClaim(claims.begin()->first);
    if (ownLock != INVALID_HANDLE_VALUE) CloseHandle(ownLock);
    ownLock = INVALID_HANDLE_VALUE;
    if (cleanExit && !ownName.empty()) {
        const std::wstring root = RecoveryRoot();
        RemoveDirectoryW(root.substr(0, root.size() - 1).c_str());  // only when no other snapshot is there
    }
    ownFolder.clear();
}

#pragma once
// The crash-recovery snapshot: an index of the tabs with unsaved changes, beside one file per tab
// holding its text as the editor's UTF-8 bytes (or a hex tab's bytes, or its changed bytes). Written while the program
// runs, removed by a clean exit, offered back at the next start when it is still there.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

constexpr uint64_t kRecoveryQuietMs = 3000;                   // a snapshot follows this long after the last change
constexpr uint64_t kRecoveryMaxDelayMs = 30000;               // and comes at least this often while typing goes on
constexpr uint64_t kRecoveryTextLimit = 64ull * 1024 * 1024;  // larger tabs are listed, not kept

struct RecoveryEntry {
    std::wstring path;   // empty for an untitled tab
    std::wstring title;  // the tab's title when the snapshot was taken
    std::wstring file;   // name of the text file in the snapshot folder; empty when skipped
    int encoding = 0;
    int lineEnding = 0;
    int language = 0;
    long long caret = 0;
    int modified = 1;
    int skipped = 0;                      // the text was over kRecoveryTextLimit and is not in the snapshot
    uint64_t fileTime = 0, fileSize = 0;  // the file on disk as the tab last knew it
    int hex = 0;  // a hex tab: 1 the file holds its bytes, 2 its changed bytes over the file at `path`
    // "folder/file" of the older snapshot this tab's text was recovered from; while that snapshot
    // is still on disk, this entry (when it holds its text) stands for it.
    std::wstring origin;
    // An untitled tab restored from a session file: that file's key and the entry's position in it.
    std::wstring session;
    int sessionEntry = -1;
};

// The exact bytes of the index: UTF-8 with a byte-order mark, one entry per line, closed by "]}".
std::string FormatRecoveryIndex(const std::vector<RecoveryEntry>& entries);

// False for anything that is not a whole index (cut short, damaged, no entries, an entry without
// its text file): such a snapshot is left alone for the user rather than offered or deleted.
bool ReadRecoveryIndex(const std::string& bytes, std::vector<RecoveryEntry>& entries);

// The changed bytes of a mapped hex tab as a snapshot keeps them: per change its offset (eight
// bytes, least significant first) and its value, in offset order. Reading refuses anything but
// whole records.
std::string FormatHexChanges(const std::unordered_map<uint64_t, uint8_t>& changes);
bool ReadHexChanges(const std::string& bytes, std::unordered_map<uint64_t, uint8_t>& changes);

// When to take the next snapshot: kRecoveryQuietMs after the last change, but no later than
// kRecoveryMaxDelayMs after the first change the last snapshot does not hold.
struct SnapshotClock {
    bool pending = false;
    uint64_t firstChange = 0;
    uint64_t lastChange = 0;
};
void NoteSnapshotChange(SnapshotClock& clock, uint64_t nowMs);
bool SnapshotDue(const SnapshotClock& clock, uint64_t nowMs);
void NoteSnapshotTaken(SnapshotClock& clock);

// Snapshot writes that failed in a row. The next try waits a little longer after each failure
// (kRecoveryQuietMs doubled, at most kRecoveryRetryMaxMs); the user is told once, at the second
// failure in a row, and again only after writing worked in between.
constexpr uint64_t kRecoveryRetryMaxMs = 60000;
struct SnapshotFailures {
    int inRow = 0;
    bool told = false;
    uint64_t failedAt = 0;  // when the last one failed
};
// Records a write's outcome; true when the user is to be told now that snapshots are not kept.
bool NoteSnapshotWrite(SnapshotFailures& failures, bool ok, uint64_t nowMs);
// Whether a new try may start at `nowMs` after the failures so far.
bool SnapshotRetryDue(const SnapshotFailures& failures, uint64_t nowMs);

#pragma once
// The decisions of crash recovery at start-up, over plain data: which leftover snapshots hold what,
// what to ask, and what each old snapshot folder becomes once its tabs have their fates. The steps
// that touch the disk, the editor or the user are handed in, so that each of them can fail.
//
// The rule throughout: an old snapshot keeps a tab's text until a newer snapshot on disk holds it
// (or the user let it go), so that a kill at any moment leaves it in at least one of them.

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "persist/recovery_file.h"

struct LeftoverSnapshot {
    std::wstring name;  // the folder's name under the recovery folder (which also names it in `origin`)
    std::vector<RecoveryEntry> entries;
    std::vector<char> present;  // per entry: its text file is there
    // A later write failed, so the last changes are not in it: when it was written, for the question.
    std::wstring staleSince;
};

// How `origin` names one text file of one snapshot folder.
std::wstring SnapshotEntryKey(const std::wstring& folder, const std::wstring& file);

// The origin a tab restored from `entry` of `folder` carries: that entry, and the ones it stood
// for itself (at most kOriginDepth), so that whichever of those folders outlives a kill, the
// newest text stands for it. Keys are separated by '|'.
constexpr int kOriginDepth = 8;
std::wstring OriginAfterRestore(const std::wstring& folder, const RecoveryEntry& entry);

// Entries that another leftover already holds: that one names them as its origin and keeps the text.
std::set<std::wstring> SupersededEntries(const std::vector<LeftoverSnapshot>& leftovers);

enum class EntryFate {
    Offered,   // to be asked about
    Restored,  // in a tab now
    Kept,      // not restored now (it could not be, or the user put it off): stays in its folder
    Dropped,   // nothing to keep: the user let it go, it was too large, its text is gone, or it is held elsewhere
};

struct OfferPlan {
    int count = 0;                         // tabs to offer back
    std::vector<std::wstring> tooLarge;    // tabs whose changes were too large to be kept
    std::vector<std::wstring> staleSince;  // of the offered snapshots that miss their last changes
    std::vector<std::vector<EntryFate>> fates;  // per leftover and entry: Offered or Dropped
};
OfferPlan PlanOffer(const std::vector<LeftoverSnapshot>& leftovers);

// A tab's name for messages: its title, else its path.
std::wstring EntryName(const RecoveryEntry& entry);

// What an old folder becomes once each of its entries has its fate: removed when it keeps nothing,
// its index rewritten to the kept entries, or unchanged when every entry stays.
struct FolderOutcome {
    enum Kind { Unchanged, Rewrite, Remove } kind = Unchanged;
    std::vector<RecoveryEntry> kept;
};
FolderOutcome PlanFolder(const LeftoverSnapshot& leftover, const std::vector<EntryFate>& fates);

// The steps of one recovery at start-up.
struct RecoverySteps {
    // Snapshot folders of instances that ended without a clean exit, each claimed so that no other
    // instance acts on it at the same time. Damaged ones are not among them (left alone).
    std::function<std::vector<LeftoverSnapshot>()> claimLeftovers;
    std::function<void(const std::vector<std::wstring>& names)> tellTooLarge;
    // The question; true for Yes.
    std::function<bool(int count, const std::vector<std::wstring>& staleSince)> ask;
    // Brings one entry back: Restored, Kept (with `reason` when it could not be) or Dropped.
    std::function<EntryFate(const LeftoverSnapshot& from, const RecoveryEntry& entry, std::wstring& reason)> restore;
    // Names and reasons of the tabs that could not be restored; their data stays where it is.
    std::function<void(const std::vector<std::pair<std::wstring, std::wstring>>& failed)> tellFailed;
    // The user's No, or nothing in it was worth keeping: the folder goes now.
    std::function<void(const std::wstring& folder)> removeNow;
    // What the folder becomes once a snapshot written after this restore is on disk (Unchanged:
    // nothing to wait for, only the claim to let go).
    std::function<void(const std::wstring& folder, const FolderOutcome& outcome)> settleLater;
};
// Offer, restore and settle. Returns the number of tabs restored.
int RunRecovery(const RecoverySteps& steps);

// An old folder waiting for this instance's snapshot to hold what was restored from it.
struct PendingSettle {
    std::wstring folder;
    FolderOutcome outcome;
    bool done = false;
};
// One snapshot write and what waits for it: the old folders are settled (rewritten or removed)
// only once `write` put this instance's snapshot on disk; each settled one is marked done, the
// others wait for the next write. False when the write failed.
bool WriteAndSettle(const std::function<bool()>& write, std::vector<PendingSettle>& pending,
                    const std::function<bool(const PendingSettle&)>& settle);

// A short key for a session file's text, so that a recovered untitled tab can name the session
// entry it came from.
std::wstring SessionKey(const std::wstring& sessionText);

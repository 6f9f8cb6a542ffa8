#include "persist/recovery_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

// The recovery at start-up run against a disk and an editor held in memory. Every step that
// writes can fail or be the last one before the process is killed; whatever happens, no text the
// user did not let go may end up in neither a tab nor a snapshot folder, and a later start offers
// each text once.
namespace {

struct Folder {
    std::vector<RecoveryEntry> index;
    std::map<std::wstring, std::wstring> files;  // text file -> text
};

struct Killed {};

enum class Restore { Ok, Fails, PutOff };

struct World {
    std::map<std::wstring, Folder> disk;
    std::vector<std::pair<std::wstring, std::wstring>> tabs;  // text, origin
    std::set<std::wstring> claimedElsewhere;                  // folders another instance holds
    std::map<std::wstring, Restore> restoreOf;                // by text
    bool answerYes = true;
    int killAt = -1;        // the write step at which the process dies
    std::set<int> failAt;   // write steps that fail
    int steps = 0;
    std::set<std::wstring> letGo;  // texts the user answered No for
    std::vector<PendingSettle> pending;
    int failedTold = 0;

    // A write step: may be the last one, or fail.
    bool Step() {
        const int step = steps++;
        if (step == killAt) throw Killed{};
        return !failAt.count(step);
    }

    std::wstring TextOf(const std::wstring& folder, const RecoveryEntry& entry) const {
        auto f = disk.find(folder);
        if (f == disk.end()) return L"";
        auto t = f->second.files.find(entry.file);
        return t == f->second.files.end() ? L"" : t->second;
    }

    std::vector<LeftoverSnapshot> Leftovers(const std::wstring& own) const {
        std::vector<LeftoverSnapshot> found;
        for (const auto& [name, folder] : disk) {
            if (name == own || claimedElsewhere.count(name) || folder.index.empty()) continue;
            LeftoverSnapshot leftover{name, folder.index, {}, L""};
            for (const RecoveryEntry& entry : folder.index) leftover.present.push_back(folder.files.count(entry.file) ? 1 : 0);
            found.push_back(leftover);
        }
        return found;
    }

    // This instance's snapshot of its tabs, then the old folders that wait for it.
    void Snapshot() {
        WriteAndSettle(
            [&] {
                if (!Step()) return false;
                Folder own;
                for (size_t i = 0; i < tabs.size(); ++i) {
                    RecoveryEntry entry;
                    entry.file = L"tab-" + std::to_wstring(i + 1) + L".txt";
                    entry.origin = tabs[i].second;
                    own.index.push_back(entry);
                    own.files[entry.file] = tabs[i].first;
                }
                disk[L"own"] = own;
                return true;
            },
            pending,
            [&](const PendingSettle& settle) {
                if (!Step()) return false;
                if (settle.outcome.kind == FolderOutcome::Remove) {
                    disk.erase(settle.folder);
                } else if (settle.outcome.kind == FolderOutcome::Rewrite) {
                    Folder& folder = disk[settle.folder];
                    folder.index = settle.outcome.kept;
                    std::map<std::wstring, std::wstring> kept;
                    for (const RecoveryEntry& entry : settle.outcome.kept) kept[entry.file] = folder.files[entry.file];
                    folder.files = kept;
                }
                return true;
            });
    }

    int Run() {
        RecoverySteps s;
        s.claimLeftovers = [&] { return Leftovers(L"own"); };
        s.tellTooLarge = [](const std::vector<std::wstring>&) {};
        s.ask = [&](int, const std::vector<std::wstring>&) { return answerYes; };
        s.restore = [&](const LeftoverSnapshot& from, const RecoveryEntry& entry, std::wstring& reason) {
            const std::wstring text = TextOf(from.name, entry);
            const Restore how = restoreOf.count(text) ? restoreOf[text] : Restore::Ok;
            if (how == Restore::Fails) {
                reason = L"cannot be opened";
                return EntryFate::Kept;
            }
            if (how == Restore::PutOff) return EntryFate::Kept;
            tabs.emplace_back(text, OriginAfterRestore(from.name, entry));
            return EntryFate::Restored;
        };
        s.tellFailed = [&](const std::vector<std::pair<std::wstring, std::wstring>>& failed) {
            failedTold += static_cast<int>(failed.size());
        };
        s.removeNow = [&](const std::wstring& name) {
            if (!Step()) return;
            for (const RecoveryEntry& entry : disk[name].index) letGo.insert(TextOf(name, entry));
            disk.erase(name);
        };
        s.settleLater = [&](const std::wstring& name, const FolderOutcome& outcome) {
            if (outcome.kind != FolderOutcome::Unchanged) pending.push_back(PendingSettle{name, outcome});
        };
        const int restored = RunRecovery(s);
        if (restored > 0 || !pending.empty()) Snapshot();
        // Later snapshots retry what is still waiting.
        Snapshot();
        return restored;
    }

    // Texts as the next start finds them: folder by folder, only what it would offer.
    std::multiset<std::wstring> OfferedNext() const {
        std::multiset<std::wstring> texts;
        const std::vector<LeftoverSnapshot> leftovers = Leftovers(L"");
        const OfferPlan plan = PlanOffer(leftovers);
        for (size_t f = 0; f < leftovers.size(); ++f) {
            for (size_t i = 0; i < leftovers[f].entries.size(); ++i) {
                if (plan.fates[f][i] == EntryFate::Offered) texts.insert(TextOf(leftovers[f].name, leftovers[f].entries[i]));
            }
        }
        return texts;
    }
};

RecoveryEntry Entry(const std::wstring& file, const std::wstring& title) {
    RecoveryEntry entry;
    entry.file = file;
    entry.title = title;
    return entry;
}

// Two crashed instances: A with a text, a tab too large to keep and a text whose file is gone;
// B with two texts, one of them a later copy of A's text (recovered from A, then edited).
World TwoCrashes() {
    World w;
    Folder a;
    a.index = {Entry(L"tab-1.txt", L"a1"), Entry(L"", L"huge"), Entry(L"tab-3.txt", L"gone")};
    a.index[1].skipped = 1;
    a.files[L"tab-1.txt"] = L"old text of a1";
    Folder b;
    b.index = {Entry(L"tab-1.txt", L"a1"), Entry(L"tab-2.txt", L"b2"), Entry(L"tab-3.txt", L"b3")};
    b.index[0].origin = SnapshotEntryKey(L"A", L"tab-1.txt");
    b.files[L"tab-1.txt"] = L"newest text of a1";
    b.files[L"tab-2.txt"] = L"text of b2";
    b.files[L"tab-3.txt"] = L"text of b3";
    w.disk[L"A"] = a;
    w.disk[L"B"] = b;
    return w;
}

const std::set<std::wstring> kUserTexts = {L"newest text of a1", L"text of b2", L"text of b3"};

bool OnDisk(const World& w, const std::wstring& text) {
    bool found = false;
    for (const auto& [name, folder] : w.disk) {
        for (const RecoveryEntry& entry : folder.index) found = found || w.TextOf(name, entry) == text;
    }
    return found;
}

bool InTab(const World& w, const std::wstring& text) {
    return std::any_of(w.tabs.begin(), w.tabs.end(), [&](const auto& tab) { return tab.first == text; });
}

}  // namespace

TEST(RecoveryPlan, OffersEachTextOnceAndNamesTheTabsTooLargeToKeep) {
    const World w = TwoCrashes();
    const OfferPlan plan = PlanOffer(w.Leftovers(L"own"));
    EXPECT_EQ(3, plan.count);  // not the text A's newer copy in B stands for, nor the one whose file is gone
    EXPECT_EQ(std::vector<std::wstring>{L"huge"}, plan.tooLarge);
    EXPECT_EQ((std::multiset<std::wstring>{kUserTexts.begin(), kUserTexts.end()}), w.OfferedNext());
}

TEST(RecoveryPlan, AnEntryWithoutItsTextStandsForNothing) {
    World w = TwoCrashes();
    w.disk[L"B"].files.erase(L"tab-1.txt");  // B's copy of A's text is gone, or was too large
    EXPECT_EQ((std::multiset<std::wstring>{L"old text of a1", L"text of b2", L"text of b3"}), w.OfferedNext());
    w = TwoCrashes();
    w.disk[L"B"].index[0].skipped = 1;
    w.disk[L"B"].index[0].file.clear();
    EXPECT_EQ((std::multiset<std::wstring>{L"old text of a1", L"text of b2", L"text of b3"}), w.OfferedNext());
}

TEST(RecoveryPlan, FolderKeepsWhatWasNotRestored) {
    LeftoverSnapshot folder{L"A", {Entry(L"tab-1.txt", L"x"), Entry(L"tab-2.txt", L"y")}, {1, 1}, L""};
    FolderOutcome all = PlanFolder(folder, {EntryFate::Restored, EntryFate::Dropped});
    EXPECT_EQ(FolderOutcome::Remove, all.kind);
    FolderOutcome some = PlanFolder(folder, {EntryFate::Restored, EntryFate::Kept});
    ASSERT_EQ(FolderOutcome::Rewrite, some.kind);
    ASSERT_EQ(1u, some.kept.size());
    EXPECT_EQ(L"tab-2.txt", some.kept[0].file);
    EXPECT_EQ(FolderOutcome::Unchanged, PlanFolder(folder, {EntryFate::Kept, EntryFate::Kept}).kind);
    // An entry left without a fate stays.
    EXPECT_EQ(FolderOutcome::Rewrite, PlanFolder(folder, {EntryFate::Restored}).kind);
}

TEST(RecoveryPlan, NothingToOfferStillToldAndCleanedUp) {
    World w;
    Folder big;
    big.index = {Entry(L"", L"huge.log")};
    big.index[0].skipped = 1;
    w.disk[L"C"] = big;
    std::vector<std::wstring> told;
    bool asked = false;
    RecoverySteps s;
    s.claimLeftovers = [&] { return w.Leftovers(L"own"); };
    s.tellTooLarge = [&](const std::vector<std::wstring>& names) { told = names; };
    s.ask = [&](int, const std::vector<std::wstring>&) { return asked = true; };
    s.removeNow = [&](const std::wstring& name) { w.disk.erase(name); };
    EXPECT_EQ(0, RunRecovery(s));
    EXPECT_EQ(std::vector<std::wstring>{L"huge.log"}, told);
    EXPECT_FALSE(asked);
    EXPECT_TRUE(w.disk.empty());
}

TEST(RecoveryPlan, AStaleSnapshotIsOfferedWithItsAge) {
    World w = TwoCrashes();
    std::vector<LeftoverSnapshot> leftovers = w.Leftovers(L"own");
    leftovers[1].staleSince = L"2026-12-07 19:48";
    EXPECT_EQ(std::vector<std::wstring>{L"2026-12-07 19:48"}, PlanOffer(leftovers).staleSince);
}

// Every answer, every restore outcome, every write failing or not, and a kill after every write:
// the user's texts are always in a tab or a snapshot on disk, and offered once by the next start.
TEST(RecoveryPlan, NoKillOrFailureLosesOrDoublesAText) {
    int runs = 0;
    for (int answer = 0; answer < 2; ++answer) {
        for (int restore = 0; restore < 3; ++restore) {
            for (int failMask = 0; failMask < 64; ++failMask) {
                for (int killAt = -1; killAt < 6; ++killAt) {
                    World w = TwoCrashes();
                    w.answerYes = answer == 1;
                    w.restoreOf[L"text of b3"] = static_cast<Restore>(restore);
                    w.killAt = killAt;
                    for (int bit = 0; bit < 6; ++bit) {
                        if (failMask & (1 << bit)) w.failAt.insert(bit);
                    }
                    bool killed = false;
                    try {
                        w.Run();
                    } catch (const Killed&) {
                        killed = true;
                        w.tabs.clear();  // the process is gone, and its tabs with it
                    }
                    ++runs;
                    const std::string where = "answer " + std::to_string(answer) + " restore " + std::to_string(restore) +
                                              " fail " + std::to_string(failMask) + " kill " + std::to_string(killAt);
                    for (const std::wstring& text : kUserTexts) {
                        if (w.letGo.count(text)) continue;
                        EXPECT_TRUE(InTab(w, text) || OnDisk(w, text)) << where;
                    }
                    // The next start: each text still on disk is offered once.
                    std::multiset<std::wstring> offered = w.OfferedNext();
                    for (const std::wstring& text : kUserTexts) EXPECT_LE(offered.count(text), 1u) << where;
                    // Nor does an older copy of a text come back beside its newer one.
                    if (w.answerYes) {
                        EXPECT_EQ(0u, offered.count(L"old text of a1")) << where;
                    }
                    if (!killed) {
                        // A text not restored is the one offered again; a restored one lives in the tab
                        // (and, once written, in this instance's own snapshot only).
                        if (w.answerYes && restore == 0 && failMask == 0) {
                            EXPECT_EQ(3u, w.tabs.size()) << where;
                            EXPECT_EQ(1u, w.disk.size()) << where;  // only this instance's own folder
                        }
                        if (w.answerYes && restore == 1) {
                            EXPECT_EQ(1, w.failedTold) << where;
                        }
                        if (w.answerYes && restore != 0) {
                            EXPECT_EQ(1u, offered.count(L"text of b3")) << where;
                        }
                    }
                }
            }
        }
    }
    EXPECT_EQ(2 * 3 * 64 * 7, runs);
}

TEST(RecoveryPlan, OriginChainIsKeptShort) {
    RecoveryEntry entry = Entry(L"tab-2.txt", L"x");
    EXPECT_EQ(L"B/tab-2.txt", OriginAfterRestore(L"B", entry));
    entry.origin = L"A/tab-1.txt";
    EXPECT_EQ(L"B/tab-2.txt|A/tab-1.txt", OriginAfterRestore(L"B", entry));
    for (int i = 0; i < 20; ++i) entry.origin = OriginAfterRestore(L"F" + std::to_wstring(i), entry);
    EXPECT_EQ(static_cast<size_t>(kOriginDepth - 1),
              static_cast<size_t>(std::count(entry.origin.begin(), entry.origin.end(), L'|')));
    EXPECT_EQ(0u, entry.origin.find(L"F19/tab-2.txt|F18/"));
}

TEST(RecoveryPlan, SessionKeyFollowsTheText) {
    EXPECT_EQ(SessionKey(L"{\"tabs\": []}"), SessionKey(L"{\"tabs\": []}"));
    EXPECT_NE(SessionKey(L"{\"tabs\": [1]}"), SessionKey(L"{\"tabs\": [2]}"));
    EXPECT_EQ(16u, SessionKey(L"").size());
}

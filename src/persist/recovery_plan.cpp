#include "persist/recovery_plan.h"

#include <cstdint>
#include <cwchar>

std::wstring SnapshotEntryKey(const std::wstring& folder, const std::wstring& file) { return folder + L"/" + file; }

std::wstring OriginAfterRestore(const std::wstring& folder, const RecoveryEntry& entry) {
    std::wstring origin = SnapshotEntryKey(folder, entry.file);
    int depth = 1;
    size_t start = 0;
    while (start < entry.origin.size() && depth < kOriginDepth) {
        size_t end = entry.origin.find(L'|', start);
        if (end == std::wstring::npos) end = entry.origin.size();
        if (end > start) {
            origin += L"|" + entry.origin.substr(start, end - start);
            ++depth;
        }
        start = end + 1;
    }
    return origin;
}

std::set<std::wstring> SupersededEntries(const std::vector<LeftoverSnapshot>& leftovers) {
    std::set<std::wstring> held;
    for (const LeftoverSnapshot& leftover : leftovers) {
        for (size_t i = 0; i < leftover.entries.size(); ++i) {
            const RecoveryEntry& entry = leftover.entries[i];
            // Only a text that is really there stands for the older one.
            const bool holdsText = !entry.skipped && i < leftover.present.size() && leftover.present[i];
            if (!holdsText) continue;
            size_t start = 0;
            while (start < entry.origin.size()) {
                size_t end = entry.origin.find(L'|', start);
                if (end == std::wstring::npos) end = entry.origin.size();
                if (end > start) held.insert(entry.origin.substr(start, end - start));
                start = end + 1;
            }
        }
    }
    // A folder never stands for itself.
    std::set<std::wstring> superseded;
    for (const LeftoverSnapshot& leftover : leftovers) {
        for (const RecoveryEntry& entry : leftover.entries) {
            if (entry.skipped) continue;
            const std::wstring key = SnapshotEntryKey(leftover.name, entry.file);
            if (held.count(key)) superseded.insert(key);
        }
    }
    return superseded;
}

std::wstring EntryName(const RecoveryEntry& entry) {
    if (!entry.title.empty()) return entry.title;
    return entry.path;
}

OfferPlan PlanOffer(const std::vector<LeftoverSnapshot>& leftovers) {
    OfferPlan plan;
    const std::set<std::wstring> superseded = SupersededEntries(leftovers);
    for (const LeftoverSnapshot& leftover : leftovers) {
        std::vector<EntryFate> fates;
        bool offered = false;
        for (size_t i = 0; i < leftover.entries.size(); ++i) {
            const RecoveryEntry& entry = leftover.entries[i];
            EntryFate fate = EntryFate::Dropped;
            if (entry.skipped) {
                plan.tooLarge.push_back(EntryName(entry));
            } else if (i < leftover.present.size() && leftover.present[i] &&
                       !superseded.count(SnapshotEntryKey(leftover.name, entry.file))) {
                fate = EntryFate::Offered;
                ++plan.count;
                offered = true;
            }
            fates.push_back(fate);
        }
        if (offered && !leftover.staleSince.empty()) plan.staleSince.push_back(leftover.staleSince);
        plan.fates.push_back(std::move(fates));
    }
    return plan;
}

FolderOutcome PlanFolder(const LeftoverSnapshot& leftover, const std::vector<EntryFate>& fates) {
    FolderOutcome outcome;
    bool anyLeft = false;
    for (size_t i = 0; i < leftover.entries.size(); ++i) {
        const EntryFate fate = i < fates.size() ? fates[i] : EntryFate::Kept;
        // Whatever was not settled stays: only a tab restored or let go leaves its folder.
        if (fate == EntryFate::Kept || fate == EntryFate::Offered) {
            outcome.kept.push_back(leftover.entries[i]);
        } else {
            anyLeft = true;
        }
    }
    if (outcome.kept.empty()) {
        outcome.kind = FolderOutcome::Remove;
    } else if (anyLeft) {
        outcome.kind = FolderOutcome::Rewrite;
    }
    return outcome;
}

int RunRecovery(const RecoverySteps& steps) {
    const std::vector<LeftoverSnapshot> leftovers = steps.claimLeftovers();
    if (leftovers.empty()) return 0;
    OfferPlan plan = PlanOffer(leftovers);
    // Told once, whatever the answer: their folders go below, with nothing in them to keep.
    if (!plan.tooLarge.empty()) steps.tellTooLarge(plan.tooLarge);
    if (plan.count == 0 || !steps.ask(plan.count, plan.staleSince)) {
        for (const LeftoverSnapshot& leftover : leftovers) steps.removeNow(leftover.name);
        return 0;
    }
    int restored = 0;
    std::vector<std::pair<std::wstring, std::wstring>> failed;
    for (size_t f = 0; f < leftovers.size(); ++f) {
        const LeftoverSnapshot& leftover = leftovers[f];
        std::vector<EntryFate>& fates = plan.fates[f];
        for (size_t i = 0; i < leftover.entries.size(); ++i) {
            if (fates[i] != EntryFate::Offered) continue;
            std::wstring reason;
            fates[i] = steps.restore(leftover, leftover.entries[i], reason);
            if (fates[i] == EntryFate::Offered) fates[i] = EntryFate::Kept;
            if (fates[i] == EntryFate::Restored) ++restored;
            if (fates[i] == EntryFate::Kept && !reason.empty()) failed.emplace_back(EntryName(leftover.entries[i]), reason);
        }
    }
    if (!failed.empty()) steps.tellFailed(failed);
    for (size_t f = 0; f < leftovers.size(); ++f) steps.settleLater(leftovers[f].name, PlanFolder(leftovers[f], plan.fates[f]));
    return restored;
}

bool WriteAndSettle(const std::function<bool()>& write, std::vector<PendingSettle>& pending,
                    const std::function<bool(const PendingSettle&)>& settle) {
    if (!write()) return false;
    for (PendingSettle& folder : pending) {
        if (!folder.done) folder.done = settle(folder);
    }
    return true;
}

std::wstring SessionKey(const std::wstring& sessionText) {
    uint64_t hash = 1469598103934665603ull;
    for (wchar_t c : sessionText) {
        hash ^= static_cast<uint64_t>(c);
        hash *= 1099511628211ull;
    }
    wchar_t text[24];
    std::swprintf(text, 24, L"%016llx", static_cast<unsigned long long>(hash));
    return text;
}

#pragma once
// Crash recovery at start-up as the user meets it: one question for the snapshots that instances
// ending without a clean exit left behind, their tabs opened again (as modified), and word of what
// could not be restored. The snapshot folders and their rules are persist/recovery's.

// Asks once whether to recover the leftover snapshots and either opens their tabs or deletes
// them. A damaged snapshot is left alone; an old snapshot goes only once this instance's own
// snapshot holds what was restored from it.
void OfferRecovery();

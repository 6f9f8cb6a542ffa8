#pragma once
// Crash recovery: snapshots of the unsaved text of every modified tab in recovery/<instance>/
// beside the program, offered back at the next start when the program did not end cleanly.
// Each running instance keeps its own folder, locked for as long as it runs.

// Makes this instance's snapshot folder; snapshots stay off when it cannot be made (a read-only
// program folder, say).
void StartRecovery();
// Snapshots left by instances that ended without a clean exit: asks once whether to recover them
// and either opens their tabs (as modified) or deletes them. A damaged snapshot is left alone.
void OfferRecovery();
// A tab's text or modified state changed; the next snapshot follows a few seconds later.
void NoteRecoveryChange();
// The set of tabs changed (a modified tab was closed unsaved): the next snapshot leaves it out.
void NoteRecoverySetChange();
// The main window's recovery timer fired.
void OnRecoveryTimer();
// The program is ending. After a clean close (every tab closed) this instance's snapshots go;
// otherwise they stay for the next start.
void EndRecovery(bool cleanExit);

// Id of the main window's recovery timer.
constexpr unsigned kRecoveryTimerId = 0x7E5;

#pragma once
// Crash recovery: snapshots of the unsaved text of every modified tab in recovery\<instance>
// beside the program, offered back at the next start when the program did not end cleanly.
// Each running instance keeps its own folder, locked (recovery\<instance>.lock, held open without
// sharing) for as long as it runs; an instance that recovers another's folder claims it the same
// way first.
#include <windows.h>

#include <string>

// Takes the lock, then makes this instance's snapshot folder; snapshots stay off when either
// cannot be made (a read-only program folder, say).
void StartRecovery();
// Snapshots left by instances that ended without a clean exit: asks once whether to recover them
// and either opens their tabs (as modified) or deletes them. A damaged snapshot is left alone; an
// old snapshot goes only once this instance's own snapshot holds what was restored from it.
void OfferRecovery();
// A tab's text or modified state changed; the next snapshot follows a few seconds later.
void NoteRecoveryChange();
// The same for the tab of `editor`, which need not be the active one.
void NoteRecoveryEditorChange(HWND editor);
// The set of tabs changed (a modified tab was closed unsaved): the next snapshot leaves it out.
void NoteRecoverySetChange();
// The main window's recovery timer fired.
void OnRecoveryTimer();
// The program is ending. After a clean close (every tab closed) this instance's snapshots go;
// otherwise they stay for the next start. Only the first call acts.
void EndRecovery(bool cleanExit);

// The session restore created an untitled tab for entry `entry` of the session file with key
// `sessionKey` (SessionKey of its text).
void NoteSessionTab(HWND editor, const std::wstring& sessionKey, int entry);
// True when this start's recovery already brought that untitled tab back.
bool RecoveredFromSession(const std::wstring& sessionKey, int entry);

// While snapshots cannot be written, what the status bar says about it; "" otherwise.
const std::wstring& RecoveryNotice();

// Id of the main window's recovery timer.
constexpr unsigned kRecoveryTimerId = 0x7E5;

#pragma once
// Crash recovery: snapshots of the unsaved text of every modified tab in recovery\<instance>
// beside the program, offered back at the next start when the program did not end cleanly
// (workflow/recovery_restore asks and restores; this side keeps the folders).
// Each running instance keeps its own folder, locked (recovery\<instance>.lock, held open without
// sharing) for as long as it runs; an instance that recovers another's folder claims it the same
// way first.
#include <windows.h>

#include <string>

struct RecoverySteps;

// Entries of the RecoveryPrompt string table.
enum RecoveryText {
    kAskText = 0,
    kStaleLine = 1,
    kNotRestored = 2,
    kTextUnreadable = 3,
    kFileUnavailable = 4,
    kFileChanged = 5,
    kTooLarge = 6,
    kCannotWrite = 7,
};

// Takes the lock, then makes this instance's snapshot folder; snapshots stay off when either
// cannot be made (a read-only program folder, say).
void StartRecovery();
// The folder that holds every instance's snapshot folder, with a trailing separator; empty when
// the program's folder is unknown.
std::wstring RecoveryRoot();

// The steps of the recovery at start-up that act on the snapshot folders left by instances that
// ended without a clean exit: claiming them, removing one, and settling one once this instance's
// own snapshot holds what was restored from it. The caller adds the questions and the restore.
RecoverySteps RecoveryFolderSteps();
// A tab was restored from a leftover snapshot entry: its snapshots name `origin` (see
// OriginAfterRestore), and `session` (empty unless the tab is untitled) is the session entry it
// stands for.
void NoteRestoredTab(HWND editor, const std::wstring& origin, const std::wstring& session, int sessionEntry);
// The recovery at start-up restored `restored` tabs: this instance's snapshot takes them (and
// what the old folders wait for) at once.
void SnapshotRestoredTabs(int restored);
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

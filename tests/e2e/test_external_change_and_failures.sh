#!/usr/bin/env bash
# A file changed on disk is offered for reload on activation; unsaved text is never dropped
# without asking; failed reads and saves are reported and lose nothing.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin external_change
d=$E2E_DIR/data
printf 'one\n' >"$d/watched.txt"

app_up
open_tab "$d/watched.txt"
cmd 100                      # a second tab to switch to
wait_eq "New File 2 — Tessary" drive title TessaryClass || fail "new tab"

printf 'two\n' >"$d/watched.txt"
touch -d '+5 seconds' "$d/watched.txt"
mouse 0x201 440 109 1                                          # back to watched.txt
prompt=$(drive answer-msgbox no) || fail "no prompt after the file changed"
shown=$(win_path "$d/watched.txt")
assert_eq $'Tessary\nFile has been modified externally:\\n'"${shown//\\/\\\\}"$'\\nReload?' "$prompt" "prompt text"
no_msgbox_now || fail "the prompt asked twice"
assert_eq 'one\n' "$(drive editor-text TessaryClass)" "No keeps the old text"
mouse 0x201 620 109 1                                          # away and back: asks again
mouse 0x201 440 109 1
drive answer-msgbox yes >/dev/null || fail "no second prompt"
wait_eq 'two\n' drive editor-text TessaryClass || fail "Yes reloads"
assert_eq "enc=0 eol=1 hex=0 mapped=0 modified=0 ro=0" "$(tab_state)" "state after reload"

# Unsaved text: the reload asks first; Cancel keeps everything.
drive type TessaryClass "mine " >/dev/null
printf 'three\n' >"$d/watched.txt"
touch -d '+10 seconds' "$d/watched.txt"
mouse 0x201 620 109 1
mouse 0x201 440 109 1
drive answer-msgbox yes >/dev/null || fail "no reload prompt for a modified tab"
prompt=$(drive answer-msgbox cancel) || fail "no save-or-discard question"
[[ $prompt == *"watched.txt has unsaved changes. Save them before reloading?"* ]] || fail "unexpected question: $prompt"
wait_eq 'mine two\n' drive editor-text TessaryClass || fail "cancel lost the unsaved text"

# A locked file cannot be saved: the message says so and the file and the tab stay as they were.
lock_file "$d/watched.txt" || fail "could not lock watched.txt"
cmd 103
prompt=$(drive answer-msgbox ok) || fail "no message for a failed save"
assert_eq $'Tessary\nThe file could not be saved. Check the file\'s permissions, whether another program is using it, and the target folder.' "$prompt" "save failure message"
assert_eq "three" "$(tr -d '\n' <"$d/watched.txt")" "the file on disk is untouched"
[ ! -e "$d/watched.txt.testmp" ] || fail "temporary file left behind"
[[ $(drive title TessaryClass) == "watched.txt • — Tessary" ]] || fail "the tab must stay modified"
# Once the other program lets go, the same save goes through.
unlock_file
cmd 103
wait_eq "watched.txt — Tessary" drive title TessaryClass || fail "saving after the lock ended"
assert_eq "mine two" "$(tr -d '\n' <"$d/watched.txt")" "the saved text"

# Opening a locked file is reported and opens no tab.
printf 'secret\n' >"$d/locked.txt"
lock_file "$d/locked.txt" || fail "could not lock locked.txt"
tabs=$(drive child-count TessaryClass Scintilla)
open_file "$d/locked.txt"
prompt=$(drive answer-msgbox ok) || fail "no message for an unreadable file"
[[ $prompt == *"cannot read this file"* ]] || fail "unexpected message: $prompt"
assert_eq "$tabs" "$(drive child-count TessaryClass Scintilla)" "no tab for an unreadable file"
unlock_file

# Editor bytes that are not UTF-8 (typed through a single-byte code page) do not convert for an
# ANSI tab: the save is refused and the file keeps its bytes.
printf 'caf\xe9\n' >"$d/ansi.txt"
cp "$d/ansi.txt" "$d/ansi.orig"
open_tab "$d/ansi.txt"
drive editor-send TessaryClass 2037 0 >/dev/null         # SCI_SETCODEPAGE
drive editor-send TessaryClass 0x102 0xE9 1 >/dev/null   # WM_CHAR
drive editor-send TessaryClass 2037 65001 >/dev/null
wait_eq "ansi.txt • — Tessary" drive title TessaryClass || fail "the typed byte marks the tab"
cmd 103
assert_eq $'Tessary\nThe file could not be saved. Check the file\'s permissions, whether another program is using it, and the target folder.' "$(drive answer-msgbox ok)" "refused save"
cmp -s "$d/ansi.txt" "$d/ansi.orig" || fail "a refused save changed the file"
assert_eq "ansi.txt • — Tessary" "$(drive title TessaryClass)" "the refused tab stays modified"
cmd 107
drive answer-msgbox no >/dev/null || fail "no prompt closing the refused tab"

# A read-only file: plain save is refused, Save As works.
printf 'ro\n' >"$d/readonly.txt"
chmod a-w "$d/readonly.txt"
wine attrib +r "$(win_path "$d/readonly.txt")" </dev/null >/dev/null 2>&1 || true
open_tab "$d/readonly.txt"
assert_eq "enc=0 eol=1 hex=0 mapped=0 modified=0 ro=1" "$(tab_state)" "read-only state"
cmd 103
prompt=$(drive answer-msgbox ok) || fail "no message for saving a read-only file"
assert_eq $'Tessary\nThe file is read-only. Use Save As.' "$prompt" "read-only message"
dialog_file 104 "$d/copy.txt"
wait_eq "copy.txt — Tessary" drive title TessaryClass || fail "save as"
assert_eq "ro" "$(tr -d '\n' <"$d/copy.txt")" "save as wrote the copy"

# Saved under a C++ name, then changed on disk: the reload colours the text as C++.
printf 'int x;\n' >"$d/plain.txt"
open_tab "$d/plain.txt"
dialog_file 104 "$d/plain.cpp"
wait_eq "plain.cpp — Tessary" drive title TessaryClass || fail "save as plain.cpp"
printf 'int y;\n' >"$d/plain.cpp"
touch -d '+5 seconds' "$d/plain.cpp"
drive post TessaryClass 0x6 1 0 >/dev/null                     # WM_ACTIVATE
drive answer-msgbox yes >/dev/null || fail "no reload prompt for plain.cpp"
wait_eq 'int y;\n' drive editor-text TessaryClass || fail "reload of plain.cpp"
assert_eq 3 "$(drive editor-send TessaryClass 4002)" "the reloaded text has the C++ lexer"

app_quit
pass

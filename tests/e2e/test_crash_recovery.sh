#!/usr/bin/env bash
# Unsaved edits survive a kill: snapshots follow the typing (and the patched bytes of hex tabs), the
# next start offers them back, Yes restores them without touching the files, a clean exit leaves no
# snapshot, No deletes one.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin crash_recovery
source "$(dirname "$0")/recovery_lib.sh"
printf 'original\r\n' >"$d/a.txt"
cp "$d/a.txt" "$d/a.txt.orig"
printf 'second\r\n' >"$d/b.txt"
printf '\x00\x01\x02\x03' >"$d/bytes.bin"
printf 'mapped text\n' >"$d/mapped.txt"
cp "$d/bytes.bin" "$d/bytes.orig"
cp "$d/mapped.txt" "$d/mapped.orig"
hex_snapshotted() { grep -ho '"hex": [12]' "$rec"/*/recovery.json 2>/dev/null | sort | tr '\n' ' '; }

# Snapshots that are not this program's to take: one of a running instance (its lock held) and a
# damaged one. Neither is offered, and neither is ever deleted.
live=$rec/999-1
mkdir -p "$live" "$rec/998-1"
printf '\xef\xbb\xbf{"tabs": [\n{"path": "", "title": "Live", "file": "tab-1.txt", "encoding": 0, "lineEnding": 0, "language": 0, "caret": 0, "modified": 1, "skipped": 0, "fileTime": 0, "fileSize": 0}\n]}\n' >"$live/recovery.json"
printf 'live text' >"$live/tab-1.txt"
: >"$live/lock"
head -c 60 "$live/recovery.json" >"$rec/998-1/recovery.json"
printf 'damaged' >"$rec/998-1/tab-1.txt"
lock_file "$live/lock" 180000
planted_kept() {
    [ -f "$live/tab-1.txt" ] && [ -f "$rec/998-1/tab-1.txt" ] || fail "a snapshot that was not ours went"
}

# 1. Patch a binary file (bytes in memory) and a text file mapped in hex, edit two file tabs and an
# untitled tab, wait for the snapshot, kill the program.
app_up
# The offer comes before the window reads its messages: once it answers, an offer would be open.
no_msgbox_now || fail "a live or damaged snapshot was offered"
planted_kept
open_tab "$d/bytes.bin"
drive type TessaryClass 41 >/dev/null
open_tab "$d/mapped.txt"
cmd 185
wait_eq "hex=1 mapped=1" tab_state hex mapped || fail "mapped.txt is not mapped in hex"
drive type TessaryClass 4 >/dev/null   # 'm' (6D) -> 'M' (4D)
open_tab "$d/a.txt"
drive type TessaryClass 'edited ' >/dev/null
open_tab "$d/b.txt"
drive type TessaryClass 'b-edit ' >/dev/null
cmd 100
# Typing is sent to the focused editor at once, ahead of the posted New File: wait for the new tab.
wait_eq "New File 2 — Tessary" drive title TessaryClass || fail "no untitled tab"
untitled=$'scratch \u2603 line\r\nsecond "quoted"'
drive type TessaryClass "$untitled" >/dev/null
E2E_WAIT_S=20 wait_eq yes snapshot_holds 'edited original' 'b-edit second' 'second "quoted"' || fail "no snapshot of the three tabs"
# A tab closed without saving leaves the snapshots too.
cmd 100
wait_eq "New File 3 — Tessary" drive title TessaryClass || fail "no second untitled tab"
drive type TessaryClass 'let go' >/dev/null
E2E_WAIT_S=20 wait_eq yes snapshot_holds 'let go' || fail "no snapshot of the tab to be let go"
cmd 107
drive answer-msgbox no >/dev/null || fail "no save prompt for the tab let go"
E2E_WAIT_S=20 wait_eq no snapshot_holds 'let go' || fail "the tab closed unsaved stayed in the snapshot"
wait_eq '"hex": 1 "hex": 2 ' hex_snapshotted || fail "no snapshot of the hex tabs"
kill_app
cmp -s "$d/a.txt" "$d/a.txt.orig" || fail "the snapshot touched the file"
cmp -s "$d/bytes.bin" "$d/bytes.orig" && cmp -s "$d/mapped.txt" "$d/mapped.orig" || fail "the snapshot touched a file"
rm "$d/b.txt"   # gone by the next start

# 2. Yes brings all back: file tabs modified over the untouched file (or bound to the vanished
# path), the untitled text exact.
app_start
prompt=$(drive answer-msgbox yes 20000) || fail "no recovery question"
assert_eq $'Tessary\nTessary did not close properly. Recover the unsaved changes of 5 tabs?' "$prompt" "recovery question"
# The title can show before the last tab is in: wait for all of it.
wait_eq '5|New File 2 • — Tessary|scratch ☃ line\r\nsecond "quoted"' tabs_title_text ||
    fail "only the five recovered tabs, the untitled one active with its exact text"
cmd 107
drive answer-msgbox no >/dev/null || fail "no save prompt for the recovered untitled tab"
wait_eq "b.txt • — Tessary" drive title TessaryClass || fail "the tab of the vanished file did not come back"
assert_eq 'b-edit second\r\n' "$(drive editor-text TessaryClass)" "vanished file's text recovered"
[ ! -e "$d/b.txt" ] || fail "recovering wrote the vanished file"
cmd 107
drive answer-msgbox no >/dev/null || fail "no save prompt for b.txt"
wait_eq "a.txt • — Tessary" drive title TessaryClass || fail "the file tab is not modified"
assert_eq 'edited original\r\n' "$(drive editor-text TessaryClass)" "file tab text recovered"
cmp -s "$d/a.txt" "$d/a.txt.orig" || fail "recovering touched the file"
cmd 107
drive answer-msgbox no >/dev/null || fail "no save prompt for a.txt"
# The hex tabs come back modified, over untouched files, and save their patched bytes.
wait_eq "mapped.txt • — Tessary" drive title TessaryClass || fail "the mapped hex tab did not come back"
assert_eq "hex=1 mapped=1 modified=1" "$(tab_state hex mapped modified)" "recovered mapped hex tab"
cmp -s "$d/mapped.txt" "$d/mapped.orig" || fail "recovering touched mapped.txt"
cmd 103
wait_eq "mapped.txt — Tessary" drive title TessaryClass || fail "saving the recovered mapped tab"
assert_eq "Mapped text" "$(cat "$d/mapped.txt")" "the recovered changed byte"
cmd 107
wait_eq "bytes.bin • — Tessary" drive title TessaryClass || fail "the binary tab did not come back"
assert_eq "hex=1 mapped=0 modified=1" "$(tab_state hex mapped modified)" "recovered binary hex tab"
cmp -s "$d/bytes.bin" "$d/bytes.orig" || fail "recovering touched bytes.bin"
cmd 103
wait_eq "bytes.bin — Tessary" drive title TessaryClass || fail "saving the recovered binary tab"
assert_eq "41010203" "$(od -An -tx1 "$d/bytes.bin" | tr -d ' \n')" "the recovered bytes"

# 3. A clean exit leaves no recovery data.
app_quit
own_left() { ls "$rec" | grep -v -x -e 999-1 -e 998-1 | wc -l; }
assert_eq 0 "$(own_left)" "recovery data left after a clean exit"
planted_kept
cmp -s "$d/a.txt" "$d/a.txt.orig" || fail "the file changed"

# 4. No deletes the snapshot.
app_start
drive answer-msgbox no 20000 >/dev/null || fail "no session question"
drive type TessaryClass 'lost on purpose' >/dev/null
E2E_WAIT_S=20 wait_eq yes snapshot_holds 'lost on purpose' || fail "no snapshot"
kill_app
app_start
drive answer-msgbox no 20000 >/dev/null || fail "no recovery question the second time"
old_snapshots() { { grep -rlF 'lost on purpose' "$rec"/ 2>/dev/null || true; } | wc -l; }
wait_eq 0 old_snapshots || fail "No kept the snapshot"
settle
assert_eq "1|New File 1 — Tessary|" "$(tabs_title_text)" "nothing recovered"
app_quit
assert_eq 0 "$(own_left)" "recovery data left after the second clean exit"
planted_kept
unlock_file
pass

#!/usr/bin/env bash
# Unsaved edits survive a kill: snapshots follow the typing (and the patched bytes of hex tabs), the
# next start offers them back, Yes restores them without touching the files, a clean exit leaves no
# snapshot, No deletes one.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin crash_recovery
d=$E2E_DIR/data
mkdir -p "$d"
printf 'original\r\n' >"$d/a.txt"
cp "$d/a.txt" "$d/a.txt.orig"
printf 'second\r\n' >"$d/b.txt"
printf '\x00\x01\x02\x03' >"$d/bytes.bin"
printf 'mapped text\n' >"$d/mapped.txt"
cp "$d/bytes.bin" "$d/bytes.orig"
cp "$d/mapped.txt" "$d/mapped.orig"
_hex_mapped() { tab_state | cut -d' ' -f3-4; }
hex_snapshotted() { grep -ho '"hex": [12]' "$E2E_DIR"/recovery/*/recovery.json 2>/dev/null | sort | tr '\n' ' '; }
snapshot_holds() {  # TEXT...: every text is in some snapshot file
    local text
    for text in "$@"; do grep -rqF -- "$text" "$E2E_DIR"/recovery/*/tab-*.txt 2>/dev/null || { echo no; return; }; done
    echo yes
}
kill_app() {
    kill -9 "$APP_PID"
    wait "$APP_PID" 2>/dev/null || true
    APP_PID=
}

# Snapshots that are not this program's to take: one of a running instance (its lock held) and a
# damaged one. Neither is offered, and neither is ever deleted.
live=$E2E_DIR/recovery/999-1
mkdir -p "$live" "$E2E_DIR/recovery/998-1"
printf '\xef\xbb\xbf{"tabs": [\n{"path": "", "title": "Live", "file": "tab-1.txt", "encoding": 0, "lineEnding": 0, "language": 0, "caret": 0, "modified": 1, "skipped": 0, "fileTime": 0, "fileSize": 0}\n]}\n' >"$live/recovery.json"
printf 'live text' >"$live/tab-1.txt"
: >"$live/lock"
head -c 60 "$live/recovery.json" >"$E2E_DIR/recovery/998-1/recovery.json"
printf 'damaged' >"$E2E_DIR/recovery/998-1/tab-1.txt"
lock_file "$live/lock" 180000
planted_kept() {
    [ -f "$live/tab-1.txt" ] && [ -f "$E2E_DIR/recovery/998-1/tab-1.txt" ] || fail "a snapshot that was not ours went"
}

# 1. Patch a binary file (bytes in memory) and a text file mapped in hex, edit two file tabs and an
# untitled tab, wait for the snapshot, kill the program.
app_start
drive wait-window TessaryClass 20000 >/dev/null || fail "no main window"
# The offer comes before the window reads its messages: once it answers, an offer would be open.
no_msgbox_now || fail "a live or damaged snapshot was offered"
planted_kept
open_file "$d/bytes.bin"
wait_eq "bytes.bin — Tessary" drive title TessaryClass || fail "bytes.bin did not open"
drive type TessaryClass 41 >/dev/null
open_file "$d/mapped.txt"
wait_eq "mapped.txt — Tessary" drive title TessaryClass || fail "mapped.txt did not open"
drive command TessaryClass 185 >/dev/null
wait_eq "hex=1 mapped=1" _hex_mapped || fail "mapped.txt is not mapped in hex"
drive type TessaryClass 4 >/dev/null   # 'm' (6D) -> 'M' (4D)
open_file "$d/a.txt"
wait_eq "a.txt — Tessary" drive title TessaryClass || fail "a.txt did not open"
drive type TessaryClass 'edited ' >/dev/null
open_file "$d/b.txt"
wait_eq "b.txt — Tessary" drive title TessaryClass || fail "b.txt did not open"
drive type TessaryClass 'b-edit ' >/dev/null
drive command TessaryClass 100 >/dev/null
# Typing is sent to the focused editor at once, ahead of the posted New File: wait for the new tab.
wait_eq "New File 2 — Tessary" drive title TessaryClass || fail "no untitled tab"
untitled=$'scratch \u2603 line\r\nsecond "quoted"'
drive type TessaryClass "$untitled" >/dev/null
E2E_WAIT_S=20 wait_eq yes snapshot_holds 'edited original' 'b-edit second' 'second "quoted"' || fail "no snapshot of the three tabs"
# A tab closed without saving leaves the snapshots too.
drive command TessaryClass 100 >/dev/null
wait_eq "New File 3 — Tessary" drive title TessaryClass || fail "no second untitled tab"
drive type TessaryClass 'let go' >/dev/null
E2E_WAIT_S=20 wait_eq yes snapshot_holds 'let go' || fail "no snapshot of the tab to be let go"
drive command TessaryClass 107 >/dev/null
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
recovered() { echo "$(drive child-count TessaryClass Scintilla)|$(drive title TessaryClass)|$(drive editor-text TessaryClass)"; }
wait_eq '5|New File 2 • — Tessary|scratch ☃ line\r\nsecond "quoted"' recovered ||
    fail "only the five recovered tabs, the untitled one active with its exact text"
drive command TessaryClass 107 >/dev/null
drive answer-msgbox no >/dev/null || fail "no save prompt for the recovered untitled tab"
wait_eq "b.txt • — Tessary" drive title TessaryClass || fail "the tab of the vanished file did not come back"
assert_eq 'b-edit second\r\n' "$(drive editor-text TessaryClass)" "vanished file's text recovered"
[ ! -e "$d/b.txt" ] || fail "recovering wrote the vanished file"
drive command TessaryClass 107 >/dev/null
drive answer-msgbox no >/dev/null || fail "no save prompt for b.txt"
wait_eq "a.txt • — Tessary" drive title TessaryClass || fail "the file tab is not modified"
assert_eq 'edited original\r\n' "$(drive editor-text TessaryClass)" "file tab text recovered"
cmp -s "$d/a.txt" "$d/a.txt.orig" || fail "recovering touched the file"
drive command TessaryClass 107 >/dev/null
drive answer-msgbox no >/dev/null || fail "no save prompt for a.txt"
# The hex tabs come back modified, over untouched files, and save their patched bytes.
wait_eq "mapped.txt • — Tessary" drive title TessaryClass || fail "the mapped hex tab did not come back"
assert_eq "hex=1 mapped=1 modified=1" "$(tab_state | cut -d' ' -f3-5)" "recovered mapped hex tab"
cmp -s "$d/mapped.txt" "$d/mapped.orig" || fail "recovering touched mapped.txt"
drive command TessaryClass 103 >/dev/null
wait_eq "mapped.txt — Tessary" drive title TessaryClass || fail "saving the recovered mapped tab"
assert_eq "Mapped text" "$(cat "$d/mapped.txt")" "the recovered changed byte"
drive command TessaryClass 107 >/dev/null
wait_eq "bytes.bin • — Tessary" drive title TessaryClass || fail "the binary tab did not come back"
assert_eq "hex=1 mapped=0 modified=1" "$(tab_state | cut -d' ' -f3-5)" "recovered binary hex tab"
cmp -s "$d/bytes.bin" "$d/bytes.orig" || fail "recovering touched bytes.bin"
drive command TessaryClass 103 >/dev/null
wait_eq "bytes.bin — Tessary" drive title TessaryClass || fail "saving the recovered binary tab"
assert_eq "41010203" "$(od -An -tx1 "$d/bytes.bin" | tr -d ' \n')" "the recovered bytes"

# 3. A clean exit leaves no recovery data.
drive command TessaryClass 109 >/dev/null
app_wait_exit 20 || fail "did not exit"
own_left() { ls "$E2E_DIR/recovery" | grep -v -x -e 999-1 -e 998-1 | wc -l; }
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
old_snapshots() { { grep -rlF 'lost on purpose' "$E2E_DIR"/recovery/ 2>/dev/null || true; } | wc -l; }
wait_eq 0 old_snapshots || fail "No kept the snapshot"
settle
assert_eq "1|New File 1 — Tessary|" "$(recovered)" "nothing recovered"
drive command TessaryClass 109 >/dev/null
app_wait_exit 20 || fail "did not exit"
assert_eq 0 "$(own_left)" "recovery data left after the second clean exit"
planted_kept
unlock_file
pass

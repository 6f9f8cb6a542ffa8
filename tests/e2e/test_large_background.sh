#!/usr/bin/env bash
# A 200 MiB text restored from the session loads while the window goes on working: the tab says
# how far it has got and takes no edit, another tab takes typed text meanwhile, and the loaded text
# saves back byte for byte. Escape during a load drops the tab, frees its memory and leaves the file
# as it was. A reload reads in the background too, showing the old text until the new one is there.
# Several loads run at once, each into its own tab, and Escape stops only the active one.
# The reads are held between chunks (the main window's test message) so that "during the load" is
# a state the script waits for, not a race against the disk.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin large_background

data=$E2E_DIR/data
mkdir -p "$data"
big=$data/big.txt
# CRLF lines with two- and three-byte characters, padded with ASCII to exactly 200 MiB.
python3 - "$big" <<'PY'
import sys
size = 200 * 1048576
line = "2026-12-08 04:00:00 INFO request \u00e9t\u00e9 \u4e2d\u6587 served in 17 ms\r\n".encode()
block = line * (1048576 // len(line))
with open(sys.argv[1], "wb") as out:
    written = 0
    while written + len(block) <= size:
        out.write(block)
        written += len(block)
    rest = size - written
    out.write(line * (rest // len(line)) + b"x" * (rest % len(line)))
PY
size=$(stat -c %s "$big")
sum=$(md5sum <"$big" | cut -d' ' -f1)
printf '\xef\xbb\xbf{\n  "active": 0,\n  "tabs": [\n    { "path": "%s" }\n  ]\n}\n' \
    "$(win_path "$big" | sed 's/\\/\\\\/g')" >"$E2E_DIR/session.json"

untitled() {
    local title
    title=$(drive title TessaryClass) || return 1
    case "$title" in "New File "*" — Tessary") echo untitled ;; *) echo "$title" ;; esac
}
pause_loads() { drive send TessaryClass $((0x8000 + 0x6B)) "$1" >/dev/null; }
loading_title="big.txt (loading 0 %) — Tessary"

app_start
drive wait-window TessaryClass 30000 >/dev/null || fail "no main window"
drive wait-msgbox 30000 >/dev/null || fail "no restore question"
pause_loads 1
drive answer-msgbox yes >/dev/null || fail "the restore question"
wait_eq "$loading_title" drive title TessaryClass || fail "the tab does not say that it is loading"

drive type TessaryClass "zz" >/dev/null
assert_eq 0 "$(drive editor-send TessaryClass 2006)" "typing into the loading tab"

# Another tab works while the first one loads.
drive command TessaryClass 100 >/dev/null
wait_eq 2 drive child-count TessaryClass Scintilla || fail "no second tab"
drive type TessaryClass "hello" >/dev/null
wait_eq 5 drive editor-send TessaryClass 2006 || fail "the second tab did not take the typed text"
drive command TessaryClass 107 >/dev/null
drive answer-msgbox no >/dev/null || fail "no save prompt for the typed text"
wait_eq "$loading_title" drive title TessaryClass || fail "the first tab stopped loading early"

pause_loads 0
wait_eq "big.txt — Tessary" drive title TessaryClass || fail "the load did not end"
assert_eq "$size" "$(drive editor-send TessaryClass 2006)" "all bytes reached the editor"
assert_eq "enc=0 eol=0 hex=0 modified=0 ro=0" "$(tab_state | cut -d' ' -f1,2,3,5,6)" "the loaded tab"
drive no-msgbox 200 >/dev/null || fail "a message after the load"

touch -d @1000000000 "$big"
stamp=$(file_stamp "$big")
drive command TessaryClass 103 >/dev/null
wait_rewritten "$big" "$stamp" || fail "Save did not write the file"
assert_eq "$sum" "$(md5sum <"$big" | cut -d' ' -f1)" "the saved file, byte for byte"

# Reload (the tab menu) reads the file again in the background: the tab keeps showing its text,
# unsaved edits included, and takes no edit until the new text is there; Escape stops the read and
# leaves the tab as it was. The caret sent to the end after the typed keys shows they were handled.
reload_unsaved() {
    tab_menu 300 5
    prompt=$(drive answer-msgbox no) || fail "no question about the unsaved edit before the reload"
    [[ $prompt == *"big.txt has unsaved changes. Save them before reloading?"* ]] || fail "unexpected question: $prompt"
    wait_eq "big.txt (loading 0 %) • — Tessary" drive title TessaryClass || fail "the reload does not show"
}
drive type TessaryClass "x" >/dev/null
wait_eq $((size + 1)) drive editor-send TessaryClass 2006 || fail "the loaded tab takes no typed text"
pause_loads 1
reload_unsaved
drive type TessaryClass "zz" >/dev/null
drive keys TessaryClass ctrl+end >/dev/null
wait_eq $((size + 1)) drive editor-send TessaryClass 2008 || fail "the caret did not reach the end during the reload"
assert_eq $((size + 1)) "$(drive editor-send TessaryClass 2006)" "the text during the reload, edit kept, nothing typed in"
drive keys TessaryClass escape >/dev/null
wait_eq "big.txt • — Tessary" drive title TessaryClass || fail "Escape did not stop the reload"
assert_eq $((size + 1)) "$(drive editor-send TessaryClass 2006)" "the text after the stopped reload"
assert_eq "modified=1 ro=0" "$(tab_state modified ro)" "the tab after the stopped reload"
reload_unsaved
pause_loads 0
wait_eq "big.txt — Tessary" drive title TessaryClass || fail "the reload did not end"
assert_eq "$size" "$(drive editor-send TessaryClass 2006)" "the reloaded text"
assert_eq "modified=0 ro=0" "$(tab_state modified ro)" "the reloaded tab"
drive no-msgbox 200 >/dev/null || fail "a message after the reload"
assert_eq "$sum" "$(md5sum <"$big" | cut -d' ' -f1)" "the file after the reloads"

# Escape while the file loads again: the tab goes (an empty untitled one is left), nothing is written.
drive command TessaryClass 107 >/dev/null
wait_eq untitled untitled || fail "closing the loaded tab"
touch -d @1000000000 "$big"
stamp=$(file_stamp "$big")
# The room for the whole text is taken as soon as the first chunk has passed; Escape gives it back.
resident_mb() { awk '/^VmRSS:/ { printf "%d", $2 / 1024 }' "/proc/$APP_PID/status"; }
below() { if [ "$(resident_mb)" -lt "$1" ]; then echo yes; else echo no; fi; }
before_mb=$(resident_mb)
pause_loads 1
open_file "$big"
wait_eq "$loading_title" drive title TessaryClass || fail "the second load does not show"
wait_eq no below $((before_mb + 150)) || fail "the load took no room for its text"
drive keys TessaryClass escape >/dev/null
wait_eq untitled untitled || fail "Escape did not drop the loading tab"
assert_eq 1 "$(drive child-count TessaryClass Scintilla)" "tabs left after Escape"
wait_eq yes below $((before_mb + 50)) || fail "the cancelled load's memory was not freed"
pause_loads 0
drive no-msgbox 500 >/dev/null || fail "a message after Escape"
assert_eq "$stamp" "$(file_stamp "$big")" "the file after Escape"
assert_eq "$sum" "$(md5sum <"$big" | cut -d' ' -f1)" "the file's bytes after Escape"

# Three loads at once (each just past the whole-file limit): Escape drops the active one and leaves
# the others loading, in their order; both then end with their own bytes, which save back unchanged.
for n in 1 2 3; do
    python3 -c "import sys; sys.stdout.buffer.write(('load $n: \u00e9t\u00e9 \u4e2d\u6587 ' * 3 + '\\r\\n').encode() * (($n + 8) * 1048576 // 70))" \
        >"$data/part$n.txt"
done
pause_loads 1
for n in 1 2 3; do open_file "$data/part$n.txt"; done
wait_eq "part3.txt (loading 0 %) — Tessary" drive title TessaryClass || fail "the third load does not show"
drive keys TessaryClass escape >/dev/null
wait_eq "part2.txt (loading 0 %) — Tessary" drive title TessaryClass || fail "Escape stopped another load"
pause_loads 0
# Closing each loaded tab shows its left neighbour: the tabs kept their order.
for n in 2 1; do
    wait_eq "part$n.txt — Tessary" drive title TessaryClass || fail "part$n.txt did not end its load in its place"
    assert_eq "$(stat -c %s "$data/part$n.txt")" "$(drive editor-send TessaryClass 2006)" "the bytes of part$n.txt"
    sum=$(md5sum <"$data/part$n.txt" | cut -d' ' -f1)
    touch -d @1000000000 "$data/part$n.txt"
    stamp=$(file_stamp "$data/part$n.txt")
    drive command TessaryClass 103 >/dev/null
    wait_rewritten "$data/part$n.txt" "$stamp" || fail "Save did not write part$n.txt"
    assert_eq "$sum" "$(md5sum <"$data/part$n.txt" | cut -d' ' -f1)" "part$n.txt saved, byte for byte"
    drive command TessaryClass 107 >/dev/null
done
wait_eq untitled untitled || fail "the tab left of part1.txt"

drive command TessaryClass 109 >/dev/null
app_wait_exit 60 || fail "did not exit"
pass

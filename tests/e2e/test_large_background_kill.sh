#!/usr/bin/env bash
# Killed while a large file loads: no snapshot holds the half-read tab (not even after a command
# that marks it changed, such as another save encoding), the next start offers back only the tabs
# that really had unsaved text, and the file on disk is untouched.
# The read is held between chunks (the main window's test message), so the kill comes "during the
# load" by construction.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin large_background_kill
source "$(dirname "$0")/recovery_lib.sh"

big=$d/big.txt
# 24 MiB of CRLF lines: read in the background (past the whole-file limit), several chunks long.
python3 - "$big" <<'PY'
import sys
line = "2026-12-08 06:00:00 WARN queue \u00e9t\u00e9 \u4e2d\u6587 depth 42\r\n".encode()
with open(sys.argv[1], "wb") as out:
    out.write(line * (24 * 1048576 // len(line)))
PY
sum=$(md5sum <"$big" | cut -d' ' -f1)
touch -d @1000000000 "$big"
stamp=$(file_stamp "$big")
pause_loads() { drive send TessaryClass $((0x8000 + 0x6B)) "$1" >/dev/null; }
in_index() { if grep -qF "$1" "$rec"/*/recovery.json 2>/dev/null; then echo yes; else echo no; fi; }

app_start
drive wait-window TessaryClass 20000 >/dev/null || fail "no main window"
no_msgbox_now || fail "an offer at the first start"
pause_loads 1
open_file "$big"
wait_eq "big.txt (loading 0 %) — Tessary" drive title TessaryClass || fail "the tab does not say that it is loading"
# UTF-16 LE as the save encoding of the loading tab: whatever it does, the tab holds none of the text.
drive command TessaryClass 152 >/dev/null
drive command TessaryClass 100 >/dev/null
wait_eq "New File 2 — Tessary" drive title TessaryClass || fail "no untitled tab"
drive type TessaryClass 'typed while big.txt loads' >/dev/null
# The snapshot that holds the typed text has looked at every tab, the loading one included.
E2E_WAIT_S=20 wait_eq yes snapshot_holds 'typed while big.txt loads' || fail "no snapshot of the typed text"
assert_eq no "$(in_index big.txt)" "the loading tab in the snapshot index"
kill_app
assert_eq "$stamp" "$(file_stamp "$big")" "the file after the kill"
assert_eq "$sum" "$(md5sum <"$big" | cut -d' ' -f1)" "the file's bytes after the kill"

# The next start offers the typed tab alone and brings back no tab of big.txt.
app_start
prompt=$(drive answer-msgbox yes 20000) || fail "no recovery question"
assert_eq "$(ask_text 1)" "$prompt" "recovery question"
recovered() { echo "$(tabs)|$(drive title TessaryClass)|$(drive editor-text TessaryClass)"; }
wait_eq "1|New File 2 • — Tessary|typed while big.txt loads" recovered || fail "only the typed tab comes back"
exit_clean 1
assert_eq "$stamp" "$(file_stamp "$big")" "the file after the restart"
assert_eq "$sum" "$(md5sum <"$big" | cut -d' ' -f1)" "the file's bytes after the restart"
pass

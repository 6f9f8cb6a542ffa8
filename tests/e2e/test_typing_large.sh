#!/usr/bin/env bash
# Typing into a 4 MiB file named on the command line: every typed character lands in the text and
# nothing reaches the disk before Save. Then the horizontal scroll thumb: present for a file with
# one very long line, gone once that line is deleted (the bar's pixels, compared in the same run).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin typing_large

data=$E2E_DIR/data
big=$data/log.txt
python3 - "$big" <<'PY'
import sys
line = b"2026-12-07 10:00:00.000 INFO worker request served from cache in 17 ms .........\r\n"
data = line * (4 * 1048576 // len(line))
open(sys.argv[1], "wb").write(data + b"y" * (4 * 1048576 - len(data)))
PY
size=$(stat -c %s "$big")
sum=$(md5sum <"$big" | cut -d' ' -f1)

app_up "$(win_path "$big")"
wait_eq "log.txt — Tessary" drive title TessaryClass || fail "the file did not open"
wait_eq "$size" drive editor-send TessaryClass 2006 || fail "not all of the file reached the editor"

typed=abcdefghijklmnopqrstuvwxyz0123
drive type TessaryClass "$typed" >/dev/null || fail "typing"
wait_eq $((size + 30)) drive editor-send TessaryClass 2006 || fail "not every typed character arrived"
char_at() { drive editor-send TessaryClass 2007 "$1"; }   # SCI_GETCHARAT
assert_eq "97 112 51 50" "$(char_at 0) $(char_at 15) $(char_at 29) $(char_at 30)" \
    "the typed characters, in order, before the file's first one"
assert_eq "modified=1" "$(tab_state modified)" "the tab is modified"
assert_eq "$sum" "$(md5sum <"$big" | cut -d' ' -f1)" "the file on disk before Save"

stamp=$(file_stamp "$big")
cmd 103
wait_rewritten "$big" "$stamp" || fail "Save did not write the file"
wait_eq "modified=0" tab_state modified || fail "the tab stayed modified after Save"
assert_eq "$typed" "$(head -c 30 "$big")" "the typed text at the start of the saved file"
assert_eq "$sum" "$(tail -c +31 "$big" | md5sum | cut -d' ' -f1)" "the rest of the saved file"

# One line of 6,000 characters among short ones: its thumb sits at the left end of the horizontal
# bar (the view is not scrolled), a short thumb on a long track.
long=$data/long.txt
{ seq -f 'short line %g' 20; printf 'L%.0s' $(seq 1 6000); echo; seq -f 'short line %g' 20; } >"$long"
open_tab "$long" "long.txt — Tessary"
read -r _ _ w h < <(drive rect TessaryClass)
# The bar is the 12-pixel row above the 24-pixel status bar, right of the 220-pixel sidebar.
bar_y=$((h - 24 - 6))
thumb_x=$((220 + 10))
track_x=$((w - 12 - 40))
shot=$E2E_ARTIFACTS/typing_large-hbar.png
bar_pixels() { shot_pixels TessaryClass "$shot" "$thumb_x,$bar_y" "$track_x,$bar_y"; }
thumb_shown() {
    local p
    p=$(bar_pixels) || return 1
    read -r a b <<<"$p"
    if [ "$a" != "$b" ]; then echo shown; else echo "hidden ($p)"; fi
}
wait_eq shown thumb_shown || fail "no horizontal thumb for the long line"
with_thumb=$(bar_pixels)

# Delete the long line (line 21, counted from 1): SCI_GOTOLINE, then SCI_LINEDELETE.
drive editor-send TessaryClass 2024 20 >/dev/null
drive editor-send TessaryClass 2338 >/dev/null
wait_eq 13 drive editor-send TessaryClass 2350 20 || fail "the long line was not deleted"   # SCI_LINELENGTH
wait_eq hidden eval 'thumb_shown | cut -d" " -f1' || fail "the horizontal thumb stayed after the long line went"
without_thumb=$(bar_pixels)
[ "${with_thumb% *}" != "${without_thumb% *}" ] || fail "the bar looks the same with and without its thumb"

app_quit 1
pass

#!/usr/bin/env bash
# Thirty tabs in a bar that holds a few: the active tab is in view, also beside the open search
# panel; the button at the strip's right end lists every tab and brings the clicked one to the
# front; the wheel over the bar scrolls it.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin tab_overflow
d=$E2E_DIR/data
for i in $(seq -w 1 30); do printf 'tab %s\r\n' "$i" >"$d/file_$i.txt"; done
write_session 29 "$d"/file_{01..30}.txt

BAR_TOP=92 BAR_BOTTOM=126
# "L R": the first and last x (main window) of the active tab's marker, the accent line along the
# bar's bottom row; "none" when no part of it is on screen.
marker() {
    local shot=$E2E_ARTIFACTS/marker.png
    screenshot TessaryClass "$shot" || return 1
    convert "$shot" -crop "${WIDTH}x1+0+$((BAR_BOTTOM - 1))" +repage txt:- |
        awk -F'[,: ]+' 'NR > 1 && toupper($0) ~ /#38D6C0/ { if (n++ == 0) l = $1; r = $1 }
            END { if (n) print l, r; else print "none" }'
}
# Left edge of the search panel in the main window, or the window's width while it is closed.
panel_left() {
    local x px
    read -r x _ < <(drive rect TessaryClass) || return 1
    if read -r px _ < <(drive child-rect TessaryClass TesResult 2>/dev/null); then echo $((px - x)); else echo "$WIDTH"; fi
}
# "inside" when the marker lies wholly left of the list button and of the search panel, and is a
# whole tab wide (at least the narrowest tab); else what was seen.
active_in_view() {
    local m l r right
    m=$(marker) || return 1
    right=$(($(panel_left) - 34))
    read -r l r <<<"$m"
    if [ "$m" != none ] && [ "$l" -ge 0 ] && [ "$r" -lt "$right" ] && [ $((r - l + 1)) -ge 140 ]; then
        echo inside
    else
        echo "marker $m, strip ends at $right"
    fi
}

app_start
drive answer-msgbox yes 30000 >/dev/null || fail "no restore question"
# Thirty tabs come back one by one: on a loaded machine that takes well over the usual wait.
E2E_WAIT_S=60 wait_eq "file_30.txt — Tessary" drive title TessaryClass || fail "the session's active tab"
read -r _ _ WIDTH _ < <(drive rect TessaryClass)
wait_eq inside active_in_view || fail "the last of thirty tabs is not in view"

# The search panel takes the window's right end: the active tab stays in view beside it.
cmd 160
wait_eq 1 drive send TessaryClass $((0x8000 + 0x55)) 5 || fail "the search panel did not open"
wait_eq inside active_in_view || fail "the active tab is under the search panel"

# The list button lists every tab.
button_x=$(($(panel_left) - 17))
drive click TessaryClass "$button_x" $(((BAR_TOP + BAR_BOTTOM) / 2)) >/dev/null
wait_eq shown shown TesMenuPop || fail "the tab list did not open"
read -r _ _ _ list_h < <(drive rect TesMenuPop)
[ "$list_h" -gt $((10 * 36)) ] || fail "the tab list is $list_h pixels high: not every tab is in it"
screenshot TessaryClass tab-list.png
# It opens on the active tab, the last one: its row is lit at the bottom of the cut list, and a
# click there keeps file_30 (a list opened at its first rows has another tab there).
bottom_row=$((list_h - 12 - 18 - 2))
wait_eq 4A90D9 shot_pixels TesMenuPop tab-list-popup.png "18,$bottom_row" || fail "the active tab's row is not lit at the list's bottom"
drive click TesMenuPop 100 "$bottom_row" >/dev/null
wait_eq hidden shown TesMenuPop || fail "the tab list stayed open"
settle
assert_eq "file_30.txt — Tessary" "$(drive title TessaryClass)" "the list's bottom row"
# Opened again and wheeled to its top, a click on the third row brings file_03 to the front and the
# strip scrolls back to show it.
drive click TessaryClass "$button_x" $(((BAR_TOP + BAR_BOTTOM) / 2)) >/dev/null
wait_eq shown shown TesMenuPop || fail "the tab list did not open again"
drive send TesMenuPop $((0x020A)) $(((1200 & 0xFFFF) << 16)) 0 >/dev/null  # ten notches up
drive click TesMenuPop 100 $((16 + 2 * 36 + 18)) >/dev/null
wait_eq hidden shown TesMenuPop || fail "the tab list stayed open"
wait_eq "file_03.txt — Tessary" drive title TessaryClass || fail "the list's third row did not activate file_03"
wait_eq inside active_in_view || fail "file_03 is not in view after the list"

# The wheel over the bar scrolls the strip 140 pixels (the narrowest tab) a notch, whichever tab is active:
# file_03 was scrolled to the strip's start, a notch towards the first tab moves it right.
read -r l0 _ <<<"$(marker)"
read -r wx wy _ < <(drive rect TessaryClass)
wheel() { drive post TessaryClass $((0x020A)) $((($1 & 0xFFFF) << 16)) $((((wy + 109) << 16) | (wx + 400))) >/dev/null; }
wheel 120
wait_eq "$((l0 + 140))" eval 'marker | cut -d" " -f1' || fail "the wheel did not scroll the tab strip"
wheel -120
wait_eq "$l0" eval 'marker | cut -d" " -f1' || fail "the wheel did not scroll the tab strip back"
no_msgbox_now || fail "a message came up"
app_quit
pass

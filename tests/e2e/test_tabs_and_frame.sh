#!/usr/bin/env bash
# Tabs opened, activated and closed with the mouse; caption buttons; the custom scroll bar;
# closing from the caption button with unsaved tabs.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin tabs_and_frame
WM_LBUTTONDOWN=0x201 WM_LBUTTONUP=0x202 WM_LBUTTONDBLCLK=0x203 WM_MOUSEMOVE=0x200

app_start
drive wait-window TessaryClass 20000 >/dev/null || fail "no main window"
for _ in 1 2 3; do drive command TessaryClass 100 >/dev/null; done
wait_eq "New File 4 — Tessary" drive title TessaryClass || fail "fourth untitled tab"
assert_eq 4 "$(drive child-count TessaryClass Scintilla)" "four editors"

# Tabs are 180 px wide from x 220 (the sidebar's width); a close mark spans right-18..right-6.
# Two quick clicks on the first close mark (the second arrives as a double click) close two tabs.
mouse $WM_LBUTTONDOWN 388 109 1
mouse $WM_LBUTTONUP 388 109
mouse $WM_LBUTTONDBLCLK 388 109 1
mouse $WM_LBUTTONUP 388 109
wait_eq 2 drive child-count TessaryClass Scintilla || fail "close marks of inactive tabs, clicked quickly"
assert_eq "New File 4 — Tessary" "$(drive title TessaryClass)" "the active tab stays active"
mouse $WM_LBUTTONDOWN 240 109 1
wait_eq "New File 3 — Tessary" drive title TessaryClass || fail "tab click activates"

# A modified tab asks before closing; Cancel keeps it, No drops the text.
drive type TessaryClass "draft" >/dev/null
wait_eq "New File 3 • — Tessary" drive title TessaryClass || fail "modified mark"
drive command TessaryClass 107 >/dev/null
drive answer-msgbox cancel >/dev/null || fail "no prompt on close"
assert_eq "draft" "$(drive editor-text TessaryClass)" "cancel keeps the text"
drive command TessaryClass 107 >/dev/null
drive answer-msgbox no >/dev/null || fail "no prompt on second close"
wait_eq "New File 4 — Tessary" drive title TessaryClass || fail "the next tab becomes active"

# Closing the only tab leaves a fresh untitled one.
drive command TessaryClass 107 >/dev/null
wait_eq "New File 1 — Tessary" drive title TessaryClass || fail "replacement tab after closing the last"

# Maximize fills the screen (no window manager: the work area is the screen); a double click
# on the caption restores the window.
read -r _ _ w0 h0 < <(drive rect TessaryClass)
mouse $WM_LBUTTONDOWN $((w0 - 69)) 16 1
wait_eq "0 0 1280 1024" drive rect TessaryClass || fail "maximize button"
drive dblclick-caption TessaryClass 400 10 >/dev/null
wait_eq "$w0 $h0" bash -c "source '$(dirname "$0")/lib.sh'; drive rect TessaryClass | cut -d' ' -f3,4" ||
    fail "double click on the caption restores"

# The vertical bar: fill the editor, page up by clicking above the thumb, drag the thumb down.
drive type TessaryClass "$(printf 'line\r%.0s' {1..120})" >/dev/null
first=$(drive editor-send TessaryClass 2152)
[ "$first" -gt 0 ] || fail "the view did not follow the caret (first line $first)"
lines=$(drive editor-send TessaryClass 2370)
mouse $WM_LBUTTONDOWN $((w0 - 6)) 130 1
mouse $WM_LBUTTONUP $((w0 - 6)) 130
wait_eq "$((first - lines > 0 ? first - lines : 0))" drive editor-send TessaryClass 2152 || fail "page up by the track"
for _ in 1 2 3 4; do
    mouse $WM_LBUTTONDOWN $((w0 - 6)) 130 1
    mouse $WM_LBUTTONUP $((w0 - 6)) 130
done
wait_eq 0 drive editor-send TessaryClass 2152 || fail "paging stops at the top"
# The thumb now starts at the top of the track: drag it past the bottom.
mouse $WM_LBUTTONDOWN $((w0 - 6)) 140 1
mouse $WM_MOUSEMOVE $((w0 - 6)) $((h0 - 40)) 1
mouse $WM_LBUTTONUP $((w0 - 6)) $((h0 - 40))
wait_eq "$first" drive editor-send TessaryClass 2152 || fail "dragging the thumb to the end"

# Pressing the close button and releasing elsewhere still closes; the unsaved tab asks first.
mouse $WM_LBUTTONDOWN $((w0 - 23)) 16 1
mouse $WM_LBUTTONUP 300 300
drive answer-msgbox no >/dev/null || fail "no prompt for the unsaved tab"
app_wait_exit 20 || fail "did not exit"
assert_eq 0 "$APP_EXIT" "exit code"
pass

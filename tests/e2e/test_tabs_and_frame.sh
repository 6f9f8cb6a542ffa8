#!/usr/bin/env bash
# Tabs opened, activated and closed with the mouse; caption buttons; the custom scroll bar; Yes at
# the close prompt, Save All, and closing from the caption button with a save that fails.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin tabs_and_frame
WM_LBUTTONDOWN=0x201 WM_LBUTTONUP=0x202 WM_LBUTTONDBLCLK=0x203 WM_MOUSEMOVE=0x200
lclick() { mouse $WM_LBUTTONDOWN "$1" "$2" 1 && mouse $WM_LBUTTONUP "$1" "$2"; }

app_up
cmd 100 100 100
wait_eq "New File 4 — Tessary" drive title TessaryClass || fail "fourth untitled tab"
wait_eq 4 drive child-count TessaryClass Scintilla || fail "four editors"

# Tabs are 180 px wide from x 220 (the sidebar's width); a close mark spans right-18..right-6.
# Two quick clicks on the first close mark (the second arrives as a double click) close two tabs.
lclick 388 109
mouse $WM_LBUTTONDBLCLK 388 109 1
mouse $WM_LBUTTONUP 388 109
wait_eq 2 drive child-count TessaryClass Scintilla || fail "close marks of inactive tabs, clicked quickly"
assert_eq "New File 4 — Tessary" "$(drive title TessaryClass)" "the active tab stays active"
tab_click 240 "New File 3 — Tessary"

# A modified tab asks before closing; Cancel keeps it, No drops the text.
drive type TessaryClass "draft" >/dev/null
wait_eq "New File 3 • — Tessary" drive title TessaryClass || fail "modified mark"
cmd 107
drive answer-msgbox cancel >/dev/null || fail "no prompt on close"
assert_eq "draft" "$(drive editor-text TessaryClass)" "cancel keeps the text"
cmd 107
drive answer-msgbox no >/dev/null || fail "no prompt on second close"
wait_eq "New File 4 — Tessary" drive title TessaryClass || fail "the next tab becomes active"

# Closing the only tab leaves a fresh untitled one.
cmd 107
wait_eq "New File 1 — Tessary" drive title TessaryClass || fail "replacement tab after closing the last"

# Maximize fills the screen (no window manager: the work area is the screen); a double click
# on the caption restores the window.
read -r _ _ w0 h0 < <(drive rect TessaryClass)
mouse $WM_LBUTTONDOWN $((w0 - 69)) 16 1
wait_eq "0 0 1280 1024" drive rect TessaryClass || fail "maximize button"
drive dblclick-caption TessaryClass 400 10 >/dev/null
wait_eq "$w0 $h0" eval "drive rect TessaryClass | cut -d' ' -f3,4" ||
    fail "double click on the caption restores"

# The vertical bar: fill the editor, page up by clicking above the thumb, drag the thumb down.
drive type TessaryClass "$(printf 'line\r%.0s' {1..120})" >/dev/null
first=$(drive editor-send TessaryClass 2152)
[ "$first" -gt 0 ] || fail "the view did not follow the caret (first line $first)"
lines=$(drive editor-send TessaryClass 2370)
lclick $((w0 - 6)) 130
wait_eq "$((first - lines > 0 ? first - lines : 0))" drive editor-send TessaryClass 2152 || fail "page up by the track"
for _ in 1 2 3 4; do lclick $((w0 - 6)) 130; done
wait_eq 0 drive editor-send TessaryClass 2152 || fail "paging stops at the top"
# The thumb now starts at the top of the track: drag it past the bottom.
mouse $WM_LBUTTONDOWN $((w0 - 6)) 140 1
mouse $WM_MOUSEMOVE $((w0 - 6)) $((h0 - 40)) 1
mouse $WM_LBUTTONUP $((w0 - 6)) $((h0 - 40))
wait_eq "$first" drive editor-send TessaryClass 2152 || fail "dragging the thumb to the end"

# Yes at the close prompt saves the tab, then closes it; when that save fails the tab stays, text
# and all.
d=$E2E_DIR/data
for f in a:one b:two c:three; do printf '%s\n' "${f#*:}" >"$d/${f%:*}.txt"; done
open_tab "$d/c.txt"
drive type TessaryClass "new " >/dev/null
wait_eq "c.txt • — Tessary" drive title TessaryClass || fail "typing marks c.txt"
lock_file "$d/c.txt" || fail "could not lock c.txt"
cmd 107
assert_eq $'Tessary\nSave changes to c.txt?' "$(drive answer-msgbox yes)" "close prompt"
drive answer-msgbox ok >/dev/null || fail "no message for the failed save"
settle
assert_eq "c.txt • — Tessary" "$(drive title TessaryClass)" "a failed save keeps the tab"
assert_eq 'new three\n' "$(drive editor-text TessaryClass)" "a failed save keeps the text"
unlock_file
cmd 107
drive answer-msgbox yes >/dev/null || fail "no close prompt once the lock ended"
wait_eq "New File 1 • — Tessary" drive title TessaryClass || fail "Yes closes the saved tab"
assert_eq "new three" "$(tr -d '\n' <"$d/c.txt")" "Yes saved the text"

# Save All saves the modified tabs, the untitled one through the save dialog; an unmodified tab
# is not written from memory, so what another program wrote to its file since stays.
open_file "$d/a.txt"
open_tab "$d/b.txt"
printf 'two, from elsewhere\n' >"$d/b.txt"
tab_click 490 "a.txt — Tessary"
drive type TessaryClass "edited " >/dev/null
wait_eq "a.txt • — Tessary" drive title TessaryClass || fail "typing marks a.txt"
dialog_file 105 "$d/untitled.txt"
wait_eq "a.txt — Tessary" drive title TessaryClass || fail "Save All left a.txt modified"
assert_eq "edited one" "$(tr -d '\n' <"$d/a.txt")" "a.txt saved"
assert_eq "two, from elsewhere" "$(tr -d '\n' <"$d/b.txt")" "Save All wrote the unmodified b.txt"
assert_eq 120 "$(grep -o line "$d/untitled.txt" | wc -l)" "the untitled tab's text saved"
tab_click 310 "untitled.txt — Tessary"

# At exit (the close button pressed and released elsewhere) Yes with a save that fails keeps the
# program open with the text; once the save works, the program saves and ends.
tab_click 490 "a.txt — Tessary"
drive type TessaryClass "more " >/dev/null
wait_eq "a.txt • — Tessary" drive title TessaryClass || fail "typing marks a.txt again"
lock_file "$d/a.txt" || fail "could not lock a.txt"
mouse $WM_LBUTTONDOWN $((w0 - 23)) 16 1
mouse $WM_LBUTTONUP 300 300
drive answer-msgbox yes >/dev/null || fail "no prompt at exit"
drive answer-msgbox ok >/dev/null || fail "no message for the failed save at exit"
wait_eq "a.txt • — Tessary" drive title TessaryClass || fail "the program must stay with the unsaved tab"
assert_eq 'edited more one\n' "$(drive editor-text TessaryClass)" "the text survives the failed save"
unlock_file
cmd 109
drive answer-msgbox yes >/dev/null || fail "no prompt at the second exit"
app_wait_exit 20 || fail "did not exit"
assert_eq 0 "$APP_EXIT" "exit code"
assert_eq "edited more one" "$(tr -d '\n' <"$d/a.txt")" "saved at exit"
pass

#!/usr/bin/env bash
# Shortcuts typed in the editor: macro recording and playback, zoom keys, AltGr typing, Ctrl+drag
# and column-mode drags, the Ctrl+K chord, Check for Updates, an unknown command id, and the
# toolbar tooltip.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin keys_and_macros

# Typed keys are handled in order: once a Ctrl+= pressed after them has zoomed, they have been
# handled (and Ctrl+- takes the zoom back). A sent message would not do: it overtakes queued input.
# The same for posted commands, with a posted zoom step (after_input commands).
zoom() { drive editor-send TessaryClass 2374; }
after_input() {
    local z
    z=$(zoom)
    if [ "${1:-}" = commands ]; then cmd 290; else drive keys TessaryClass ctrl+plus >/dev/null; fi
    wait_eq $((z + 1)) zoom || fail "the zoom pressed or posted as a marker did not happen"
    if [ "${1:-}" = commands ]; then cmd 291; else drive keys TessaryClass ctrl+minus >/dev/null; fi
    wait_eq "$z" zoom || fail "the marker's zoom did not go back"
}

app_up

# Record a, c, Backspace, b, Enter (Ctrl+Q), stop (Ctrl+Q), play back twice (Ctrl+Shift+Q).
drive keys TessaryClass ctrl+q a c back b enter ctrl+q >/dev/null
wait_eq 'ab\r\n' drive editor-text TessaryClass || fail "recorded keys were not typed"
drive keys TessaryClass ctrl+shift+q >/dev/null
wait_eq 'ab\r\nab\r\n' drive editor-text TessaryClass || fail "playback"
drive keys TessaryClass ctrl+shift+q >/dev/null
wait_eq 'ab\r\nab\r\nab\r\n' drive editor-text TessaryClass || fail "second playback"

# Ctrl+D on an empty selection selects the word and adds its next occurrence; with no further
# copy another Ctrl+D adds nothing.
drive keys TessaryClass ctrl+n >/dev/null
wait_eq "New File 2 — Tessary" drive title TessaryClass || fail "Ctrl+N"
drive type TessaryClass 'foo bar foo baz' >/dev/null
drive keys TessaryClass home right ctrl+d >/dev/null
wait_eq 2 drive editor-send TessaryClass 2570 || fail "Ctrl+D did not add the next occurrence"
assert_eq 1 "$(drive editor-send TessaryClass 2575)" "the new selection is the main one"
drive keys TessaryClass ctrl+d >/dev/null
after_input
assert_eq 2 "$(drive editor-send TessaryClass 2570)" "no wrap-around"
drive keys TessaryClass escape >/dev/null
wait_eq 1 drive editor-send TessaryClass 2570 || fail "Escape keeps only the main caret"

# Ctrl+= and Ctrl+- (and the keypad's + and -) zoom every tab and save the level.
drive keys TessaryClass ctrl+plus ctrl+plus ctrl+add ctrl+minus >/dev/null
wait_eq 2 zoom || fail "Ctrl+= and Ctrl+keypad + zoom in, Ctrl+- out"
drive keys TessaryClass ctrl+subtract >/dev/null
wait_eq 1 zoom || fail "Ctrl+keypad - zooms out"
grep -q '"zoom": 1' "$E2E_DIR/settings.json" || fail "zoom not saved: $(cat "$E2E_DIR/settings.json")"
cmd 107
drive answer-msgbox no >/dev/null || fail "no prompt closing the second tab"
wait_eq "New File 1 • — Tessary" drive title TessaryClass || fail "back to the first tab"
assert_eq 1 "$(zoom)" "the zoom keys zoom every tab"
drive keys TessaryClass ctrl+minus >/dev/null
wait_eq 0 zoom || fail "Ctrl+- in the first tab"

# AltGr arrives as Ctrl+Alt: AltGr+S on a Polish layout types "ś" and does not run Save All (which
# would ask where to save this untitled tab).
drive key-char TessaryClass altgr+s ś >/dev/null
wait_eq 'ab\r\nab\r\nab\r\nś' drive editor-text TessaryClass || fail "AltGr+S did not type ś"
after_input
no_msgbox_now || fail "AltGr+S ran a command"

# A Ctrl+drag ends at the button-up even when Ctrl was let go first. (The pointer is put in place
# before Ctrl goes down: under Wine a pointer move resets the modifier keys sent as input.)
point_of() {  # a point of the main window inside the character at byte $1 (the editor is at 220, 126)
    local x y
    x=$(drive editor-send TessaryClass 2164 0 "$1") && y=$(drive editor-send TessaryClass 2165 0 "$1")
    echo $((220 + x + 2)) $((126 + y + 5))
}
read -r x1 y1 < <(point_of 1)
read -r x9 y9 < <(point_of 9)
drive move TessaryClass "$x1" "$y1" >/dev/null
drive keys TessaryClass down:ctrl >/dev/null
drive press TessaryClass "$x1" "$y1" >/dev/null
wait_eq 1 drive editor-send TessaryClass 2423 || fail "Ctrl+press did not start a rectangle"
drive keys TessaryClass up:ctrl >/dev/null
drive release TessaryClass "$x1" "$y1" >/dev/null
wait_eq '' drive capture TessaryClass || fail "the Ctrl+drag outlived the button-up"
# A column-mode drag ends when the mouse capture is taken away (as switching windows does): the
# rectangle then no longer follows the pointer.
cmd 130
drive press TessaryClass "$x1" "$y1" >/dev/null
wait_eq Scintilla drive capture TessaryClass || fail "a press in column mode did not start a rectangle"
assert_eq 1 "$(drive editor-send TessaryClass 2589)" "the rectangle starts under the pointer"
drive editor-send TessaryClass 0x1F >/dev/null  # WM_CANCELMODE: the window lets go of the mouse
drive move TessaryClass "$x9" "$y9" >/dev/null
cmd 130  # posted after the move, so handled after it
wait_eq 0 drive editor-send TessaryClass 2423 || fail "column mode off"
assert_eq 1 "$(drive editor-send TessaryClass 2589)" "the rectangle followed the pointer after the drag"

# Ctrl+K then Ctrl+S neither saves nor toggles anything; Ctrl+K, typing, Ctrl+B toggles the sidebar.
drive keys TessaryClass ctrl+k ctrl+s >/dev/null
after_input
no_msgbox_now || fail "Ctrl+K Ctrl+S opened something"
screenshot TessaryClass keys_and_macros-before.png
assert_eq 212121 "$(pixel "$E2E_ARTIFACTS/keys_and_macros-before.png" 100 400)" "sidebar shown at start"
drive keys TessaryClass ctrl+k x ctrl+b >/dev/null
sidebar_pixel() { screenshot TessaryClass keys_and_macros-after.png && pixel "$E2E_ARTIFACTS/keys_and_macros-after.png" 100 400; }
wait_eq 1E1E1E sidebar_pixel || fail "Ctrl+K, x, Ctrl+B hides the sidebar"

# Check for Updates says the same in every language; an unknown id does nothing.
cmd 281
assert_eq $'Tessary\nCurrent version v0.1\\n(No online update source is configured; please check manually)' "$(drive answer-msgbox ok)" "update message"
before=$(drive title TessaryClass)
cmd 299 12345
after_input commands
no_msgbox_now || fail "an unknown id showed something"
assert_eq "$before" "$(drive title TessaryClass)" "unknown ids change nothing"
assert_eq 1 "$(drive child-count TessaryClass Scintilla)" "unknown ids open nothing"

# The toolbar tooltip: label and shortcut. It shows only while the window is the active one, which
# it may not be after the message box above: a key (Escape does nothing here) brings it back.
drive keys TessaryClass escape >/dev/null
# Resting on the button first: on a busy machine, moving again on every poll can keep restarting
# the tooltip's delay.
drive move TessaryClass 70 76 >/dev/null
E2E_WAIT_S=15 wait_eq "Save (Ctrl+S)" drive window-text tooltips_class32 >/dev/null ||
    hover_until "Save (Ctrl+S)" TessaryClass 70 76 drive window-text tooltips_class32 || fail "toolbar tooltip"
# Documentation only, not compared: docs/screenshot-toolbar-tooltip.png.
import -window root "$E2E_ARTIFACTS/keys_and_macros-tooltip.png"

app_quit 1
pass

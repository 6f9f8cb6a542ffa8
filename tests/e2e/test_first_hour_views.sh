#!/usr/bin/env bash
# More of what a new user meets in the first hour: renaming a tab's file, line numbers, menus that
# mark the current value, screen modes, word wrap and the status bar of a hex tab.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin first_hour_views
p=$E2E_DIR/proj
mkdir -p "$p"
printf 'alpha\r\n' >"$p/a.txt"
printf 'beta\r\n' >"$p/b.txt"


# "fits" when the line-number margin of the visible editor holds the number N whole (the component
# draws it right-aligned, 3 pixels in from the margin's edge), else what was measured.
margin_fits() {
    local need have
    need=$(drive editor-text-width TessaryClass 33 "$1") && have=$(drive editor-send TessaryClass 2243 0) || return 1
    if [ "$have" -ge $((need + 4)) ]; then echo fits; else echo "cut: margin $have, number $need"; fi
}

# Line numbers: a tab restored in the background shows "30" whole once it is brought to the front;
# so does every tab after zooming in and out, and after its line count gains a digit.
printf 'short\r\n' >"$p/short.txt"
for i in $(seq 1 30); do printf 'line %d\r\n' "$i"; done >"$p/long.txt"
write_session 0 "$p/short.txt" "$p/long.txt"
app_start
drive answer-msgbox yes 30000 >/dev/null || fail "no restore question"
wait_eq "short.txt — Tessary" drive title TessaryClass || fail "the session's active tab"
tab_click 490 "long.txt — Tessary"
wait_eq fits margin_fits 31 || fail "line numbers of the tab restored in the background are cut"
cmd 290 290 290 290 290 290 290 290
wait_eq fits margin_fits 31 || fail "line numbers are cut after zooming in"
tab_click 310 "short.txt — Tessary"
cmd 291 291 291 291 291 291 291 291 291 291 291 291
tab_click 490 "long.txt — Tessary"
wait_eq fits margin_fits 31 || fail "line numbers of a background tab after zooming"
cmd 290 290 290 290
# Select all, copy, and paste three times at the end: 121 lines.
for message in 2013 2178 2318 2179 2179 2179; do drive editor-send TessaryClass $message >/dev/null; done
wait_eq 121 drive editor-send TessaryClass 2154 || fail "pasting did not make 121 lines"
wait_eq fits margin_fits 121 || fail "line numbers are cut once the count has three digits"
cmd 108
drive answer-msgbox no >/dev/null || fail "no question about the pasted lines at Close All"
wait_eq 1 drive child-count TessaryClass Scintilla || fail "Close All"

# Rename (tab menu) moves the file: the tab keeps its unsaved edit and its undo history, the old
# name is gone from the disk and from the folder tree, the new one is in both.
dialog_file 240 "$p/a.txt"
click_row 1
click_row 2
wait_eq "a.txt — proj" drive title TessaryClass || fail "a.txt did not open from the tree"
drive type TessaryClass 'x' >/dev/null
wait_eq modified=1 tab_state modified || fail "typing did not modify a.txt"
tab_menu 490 4
drive file-dialog "$(win_path "$p/c.txt")" >/dev/null || fail "rename dialog"
wait_eq "c.txt • — proj" drive title TessaryClass || fail "the tab did not take the new name"
[ ! -e "$p/a.txt" ] || fail "the old file is still on the disk after Rename"
assert_eq 'alpha' "$(tr -d '\r' <"$p/c.txt")" "the renamed file's bytes"
assert_eq modified=1 "$(tab_state modified)" "Rename lost the tab's modified state"
assert_eq 'xalpha\r\n' "$(drive editor-text TessaryClass)" "Rename changed the tab's text"
# The tree lists b.txt, c.txt: the second row opens b.txt, the third goes back to c.txt.
click_row 2
wait_eq "b.txt — proj" drive title TessaryClass || fail "the tree's second row is not b.txt after Rename"
click_row 3
wait_eq "c.txt • — proj" drive title TessaryClass || fail "the tree's third row is not the renamed c.txt"
drive editor-send TessaryClass 2176 >/dev/null  # undo
wait_eq 'alpha\r\n' drive editor-text TessaryClass || fail "undo after Rename"
wait_eq "c.txt — proj" drive title TessaryClass || fail "undoing the edit does not reach the renamed file's saved state"
# A name that is taken: the move fails, says why, and nothing changes.
drive type TessaryClass 'y' >/dev/null
wait_eq modified=1 tab_state modified || fail "typing did not modify c.txt"
tab_menu 490 4
drive file-dialog "$(win_path "$p/b.txt")" >/dev/null || fail "rename dialog (taken name)"
prompt=$(drive answer-msgbox ok) || fail "no message for a rename onto an existing file"
[[ $prompt == $'Tessary\nThe file could not be renamed:'* ]] || fail "rename message: $prompt"
assert_eq "c.txt • — proj" "$(drive title TessaryClass)" "a failed rename changed the tab's name"
assert_eq 'beta' "$(tr -d '\r' <"$p/b.txt")" "a failed rename touched the other file"
assert_eq 'alpha' "$(tr -d '\r' <"$p/c.txt")" "a failed rename touched the tab's file"
assert_eq modified=1 "$(tab_state modified)" "a failed rename changed the modified state"
drive editor-send TessaryClass 2176 >/dev/null

# The Line Endings and Encoding submenus (Edit menu) tick the active tab's value.
probe=$E2E_DIR/probe.png
# Pixels of a region (x y w h) of the screen that are clearly blue, as the accent colour is.
blue_pixels() {
    import -window root "$probe" &&
        convert "$probe" -crop "$3x$4+$1+$2" +repage -fx '(b - r) > 0.3' -format '%[fx:int(mean*w*h+0.5)]' info:
}
# "ticked" or "plain" for row N of the open submenu.
submenu_row() {
    local sx sy n
    read -r sx sy _ _ < <(drive rect TesSubPop) || return 1
    n=$(blue_pixels $((sx + 26)) $((sy + 12 + 4 + $1 * 36 + 8)) 18 20) || return 1
    if [ "$n" -gt 5 ]; then echo ticked; else echo plain; fi
}
# Opens the Edit menu and the submenu of its row N (below S separators).
edit_submenu() {
    drive move TessaryClass 600 600 >/dev/null
    menu_open "$(menu_title_x 2)"
    wait_eq 545 eval "drive rect TesMenuPop | cut -d' ' -f4" || fail "the open menu is not Edit"
    hover_until shown TesMenuPop 100 $((12 + 4 + $1 * 36 + $2 * 9 + 18)) shown TesSubPop || fail "no submenu at row $1"
}
printf 'unix\nlines\n' >"$p/unix.txt"
open_tab "$p/unix.txt" "unix.txt — proj"
edit_submenu 11 4
wait_eq ticked submenu_row 1 || fail "Line Endings does not tick Unix (LF) for an LF file"
assert_eq plain "$(submenu_row 0)" "Line Endings ticks Windows (CR LF) for an LF file"
assert_eq plain "$(submenu_row 2)" "Line Endings ticks Mac (CR) for an LF file"
menu_escape
cmd 152  # save as UTF-16 LE
edit_submenu 12 5
wait_eq ticked submenu_row 2 || fail "Encoding does not tick UTF-16 LE after choosing it"
assert_eq plain "$(submenu_row 0)" "Encoding still ticks UTF-8"
menu_escape

# A tab in the hex view: the status bar follows the caret through the bytes (its offset and value),
# where a text tab's line and column would stand still.
status_bar_pixels() {
    screenshot TessaryClass "$E2E_DIR/status.png" &&
        convert "$E2E_DIR/status.png" -gravity south -crop x20+0+0 +repage -format '%#' info:
}
printf '\x00\x01\x02\xff\x10\x20\x30\x40' >"$p/bytes.bin"
open_tab "$p/bytes.bin" "bytes.bin — proj"
assert_eq "hex=1" "$(tab_state hex)" "a binary file opens in the hex view"
settle
first=$(status_bar_pixels)
drive keys TessaryClass right right right >/dev/null
changed() { if [ "$(status_bar_pixels)" != "$first" ]; then echo changed; else echo same; fi; }
wait_eq changed changed || fail "the status bar of a hex tab does not follow the caret"

# Distraction free shows nothing but the text column, entered from the normal window and from full
# screen: the margins left and right of it are one plain colour from the top of the window down.
margins_plain() {
    local w h m colours
    read -r _ _ w h < <(drive rect TessaryClass) || return 1
    m=$((w / 8 > 100 ? w / 8 : 100))
    screenshot TessaryClass "$E2E_DIR/focus.png" || return 1
    colours=$(convert "$E2E_DIR/focus.png" \( -clone 0 -crop "$((m - 1))x${h}+0+0" \) \
        \( -clone 0 -crop "$((m - 20))x${h}+$((w - m + 20))+0" \) -delete 0 +append +repage \
        -unique-colors -format '%w' info:) || return 1
    if [ "$colours" -eq 1 ]; then echo plain; else echo "$colours colours"; fi
}
open_tab "$p/long.txt" "long.txt — proj"
cmd 184
wait_eq plain margins_plain || fail "distraction free shows the window's chrome"
cmd 184 183 184
wait_eq plain margins_plain || fail "distraction free entered from full screen shows the window's chrome"
drive keys TessaryClass escape >/dev/null

# Word wrap: a long paragraph wrapped past the bottom of the window has a vertical thumb to scroll
# it by, and there is no horizontal thumb (nothing lies beside the window).
thumb_pixels() {  # x y w h of the window: pixels of the Dark theme's scroll thumb colour
    screenshot TessaryClass "$E2E_DIR/bars.png" &&
        convert "$E2E_DIR/bars.png" -crop "$3x$4+$1+$2" +repage -fill black +opaque '#707070' \
            -fill white -opaque '#707070' -format '%[fx:int(mean*w*h+0.5)]' info:
}
bars() {
    local w h v hz
    read -r _ _ w h < <(drive rect TessaryClass) || return 1
    v=$(thumb_pixels $((w - 10)) 130 8 $((h - 130 - 40))) && hz=$(thumb_pixels 230 $((h - 34)) $((w - 260)) 8) || return 1
    echo "vertical=$([ "$v" -gt 0 ] && echo yes || echo no) horizontal=$([ "$hz" -gt 0 ] && echo yes || echo no)"
}
for i in $(seq 1 1500); do printf 'word%d ' "$i"; done >"$p/paragraph.txt"
open_tab "$p/paragraph.txt" "paragraph.txt — proj"
wait_eq "vertical=no horizontal=yes" bars || fail "scroll bars of the unwrapped paragraph"
cmd 186
wait_eq 1 drive editor-send TessaryClass 2269 || fail "word wrap did not turn on"
wait_eq "vertical=yes horizontal=no" bars || fail "scroll bars of the wrapped paragraph"
cmd 186
wait_eq "vertical=no horizontal=yes" bars || fail "scroll bars after wrapping is turned off again"

# A long drop-down opens below its title: the Language menu (20 rows) of a window low on the screen
# is cut at the bottom of the screen, and the wheel scrolls it to its last row, which can be chosen.
screen_height=$(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[2] }')
read -r wx _ _ _ < <(drive rect TessaryClass)
drive place TessaryClass "$wx" 400 >/dev/null
wait_eq 400 eval "drive rect TessaryClass | cut -d' ' -f2" || fail "the window did not move down"
language_x=$(menu_title_x 7) || fail "cannot find eight titles in the menu bar"
menu_open "$language_x"
read -r _ my _ mh < <(drive rect TesMenuPop)
assert_eq $((400 + 62)) $((my + 12)) "the Language menu does not start below its title"
[ $((my + mh)) -le "$screen_height" ] || fail "the Language menu runs past the bottom of the screen"
drive post TesMenuPop 0x20A $(((-1200 & 0xFFFF) << 16)) 0 >/dev/null
drive click TesMenuPop 100 $((mh - 12 - 22)) >/dev/null
wait_eq hidden shown TesMenuPop || fail "choosing the last row did not close the menu"
wait_eq 'lang=19' eval "settle && tr -d '\r' <'$E2E_DIR/ui.ini' | grep '^lang='" ||
    fail "the last row of the scrolled Language menu is not Tiếng Việt"
cmd 404

# The font dialog speaks points, as the size field of Settings does, and the size chosen in it is
# the one taken.
cmd 260
wait_eq shown shown TesSettings || fail "Settings did not open"
size_field=$(drive control TesSettings 1001 text)
drive click TesSettings 250 62 >/dev/null
wait_eq shown shown '#32770' || fail "the font button did not open the font dialog"
wait_eq "$size_field" drive control '#32770' 0x472 text || fail "the font dialog does not show the size field's points"
# Choose 20 in the size list (the item whose data is 20), as a click on it would.
count=$(drive control '#32770' 0x472 send 0x146)                  # CB_GETCOUNT
for ((i = 0; i < count; i++)); do
    [ "$(drive control '#32770' 0x472 send 0x150 $i)" = 20 ] || continue  # CB_GETITEMDATA
    drive control '#32770' 0x472 send 0x14E $i >/dev/null           # CB_SETCURSEL
    break
done
wait_eq 20 drive control '#32770' 0x472 text || fail "the font dialog offers no size 20"
drive command '#32770' 1 >/dev/null
drive wait-gone '#32770' >/dev/null || fail "the font dialog stayed open"
wait_eq 20 drive control TesSettings 1001 text || fail "the size chosen in the font dialog was not taken"
drive command TesSettings 1 >/dev/null
drive wait-gone TesSettings >/dev/null || fail "Settings stayed open"
wait_eq 20 drive editor-send TessaryClass 2485 32 || fail "the editor did not take the chosen size"

pass

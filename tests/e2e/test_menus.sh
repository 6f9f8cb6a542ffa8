#!/usr/bin/env bash
# The menu bar and its popup menus as a user meets them: File opens below its title, hovering
# Recent Files opens the submenu, a plain row closes it, choosing New File opens a tab, titles switch
# menus, Escape and clicks elsewhere close them. file-menu.png shows the look
# (docs/screenshot-file-menu.png is file-menu-window.png).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin menus

# The popups are layered windows with per-pixel alpha. A bare X server shows their translucent
# shadow as black; the compositing manager (scripts/setup.sh installs it) shows them as the desktop
# would.
command -v xcompmgr >/dev/null || fail "xcompmgr is not installed (scripts/setup.sh installs it)"
xcompmgr -n </dev/null >/dev/null 2>&1 &
COMPOSITOR_PID=$!
stop_compositor() {
    [ -z "$COMPOSITOR_PID" ] || kill "$COMPOSITOR_PID" 2>/dev/null || true
    COMPOSITOR_PID=
}
trap '_e2e_cleanup; stop_compositor' EXIT

printf '\xEF\xBB\xBF{\n  "recent": [\n    "%s",\n    "%s",\n    "%s"\n  ]\n}\n' \
    'C:\\Projects\\tessary\\src\\main.cpp' 'C:\\Projects\\tessary\\README.md' \
    'C:\\Users\\dev\\notes\\todo.txt' >"$E2E_DIR/settings.json"

probe=$E2E_DIR/probe.png
menu_height() { drive rect TesMenuPop | cut -d' ' -f4; }
screen_pixel() { import -window root "$probe" && pixel "$probe" "$1" "$2"; }
# Pixels of a region (x y w h) of the last probe that are clearly blue, as the accent colour is.
blue_pixels() {
    convert "$probe" -crop "$3x$4+$1+$2" +repage -fx '(b - r) > 0.3' -format '%[fx:int(mean*w*h+0.5)]' info:
}

app_up
read -r wx wy _ _ < <(drive rect TessaryClass)
[ "$(shown TesMenuPop)" = hidden ] || fail "a menu is open at start"

language_x=$(menu_title_x 7) || fail "cannot find eight titles in the menu bar"

# File: its body starts below the menu bar (y 62) at its title's left edge (x 8); the window
# around it is 12 px larger on every side, but never starts left of the screen.
menu_open
read -r mx my mw mh < <(drive rect TesMenuPop)
expected_x=$((wx + 8 - 12))
[ "$expected_x" -ge 0 ] || expected_x=0
assert_eq "$expected_x $((wy + 62 - 12))" "$mx $my" "File menu position"
assert_eq 464 "$mh" "File menu height: 11 rows, 4 separators, padding and shadow margin"
[ "$mw" -ge $((220 + 24)) ] || fail "File menu narrower than the minimum: $mw"
body_w=$((mw - 24))

# Recent Files is row 10 (body top 355): hovering it opens the submenu beside the menu body.
hover_until shown TesMenuPop 100 $((12 + 355 + 18)) shown TesSubPop || fail "hovering Recent Files did not open its submenu"
read -r sx sy sw sh < <(drive rect TesSubPop)
assert_eq "$((mx + mw - 24)) $((my + 355 - 8))" "$sx $sy" "submenu position"
assert_eq $((8 + 3 * 36 + 9 + 36 + 24)) "$sh" "three recent files, a separator and Clear List"
[ "$sw" -ge $((150 + 24)) ] || fail "submenu narrower than the minimum: $sw"

# Into the submenu: its first entry lights up, the Recent Files row stays lit.
hover_until 4A90D9 TesMenuPop $((sx - mx + 80)) $((sy - my + 16 + 18)) screen_pixel $((sx + 20)) $((sy + 16 + 3)) || fail "hovered submenu entry"
assert_eq 4A90D9 "$(screen_pixel $((mx + 15)) $((my + 12 + 355 + 3)))" "Recent Files row while in its submenu"
assert_eq shown "$(shown TesSubPop)" "submenu stays open while the pointer is in it"
import -window root "$E2E_ARTIFACTS/file-menu.png"
# file-menu-window.png is documentation only (docs/screenshot-file-menu.png); file-menu.png is
# checked below.
convert "$E2E_ARTIFACTS/file-menu.png" -crop "$(drive rect TessaryClass | awk '{print $3"x"$4"+"$1"+"$2}')" \
    +repage "$E2E_ARTIFACTS/file-menu-window.png"

# The look: body, separator, rounded corner, shortcuts right-aligned in the dim text colour.
probe=$E2E_ARTIFACTS/file-menu.png
assert_eq 2D2D2D "$(pixel "$probe" $((mx + 130)) $((my + 12 + 6)))" "menu body"
assert_eq 333333 "$(pixel "$probe" $((mx + 100)) $((my + 12 + 116)))" "separator line"
corner=$(pixel "$probe" $((mx + 12)) $((my + 12)))
[ "$corner" != 2D2D2D ] && [ "$corner" != 333333 ] || fail "menu corner is square ($corner)"
for top in 4 157; do  # New File "Ctrl+N", Save As "Ctrl+Shift+S"
    read -r left width < <(convert "$probe" -crop "124x20+$((mx + body_w - 20 - 120))+$((my + 12 + top + 8))" \
        +repage -fuzz 8% -trim -format '%X %w\n' info:)
    right=$((${left#+} + width))
    [ "$right" -ge 117 ] && [ "$right" -le 120 ] || fail "shortcut of row $top ends at $right, not at the right edge"
    brightest=$(convert "$probe" -crop "$width"x20+$((mx + body_w - 140 + ${left#+}))+$((my + 12 + top + 8)) \
        +repage -colorspace Gray -format '%[fx:int(maxima*255+0.5)]' info:)
    [ "$brightest" -ge 160 ] && [ "$brightest" -le 192 ] || fail "shortcut of row $top is not dim text ($brightest)"
done
# Translucency (with the compositor): the outer margin shows what lies beneath, the shadow darkens it.
kill -0 "$COMPOSITOR_PID" 2>/dev/null || fail "the compositor is not running"
assert_eq 212121 "$(pixel "$probe" $((mx + 1)) $((my + 1)))" "transparent margin over the menu bar"
shade=$(pixel "$probe" $((mx + 100)) $((my + 12 + 440 + 3)))
[ $((16#${shade:0:2})) -lt $((16#21)) ] || fail "no shadow below the menu ($shade)"

# A plain row closes the submenu again; a click on Recent Files itself changes nothing: the
# submenu is still there for the pointer that moves on into it.
probe=$E2E_DIR/probe.png
hover_until hidden TesMenuPop 100 $((12 + 157 + 18)) shown TesSubPop || fail "moving to Save As left the submenu open"
hover_until shown TesMenuPop 100 $((12 + 355 + 18)) shown TesSubPop || fail "Recent Files submenu"
drive post TesMenuPop 0x201 1 $((((12 + 355 + 18) << 16) | 100)) >/dev/null
hover_until 4A90D9 TesMenuPop $((sx - mx + 80)) $((sy - my + 16 + 36 + 18)) screen_pixel $((sx + 20)) $((sy + 16 + 36 + 3)) || fail "submenu gone after clicking Recent Files"
assert_eq shown "$(shown TesMenuPop)" "clicking Recent Files closed the menu"

# Choosing New File closes both popups and opens a second tab.
drive click TesMenuPop 100 $((12 + 4 + 18)) >/dev/null
wait_eq "New File 2 — Tessary" drive title TessaryClass || fail "New File from the menu"
wait_eq hidden shown TesMenuPop || fail "menu stayed open after choosing an item"
assert_eq hidden "$(shown TesSubPop)" "submenu after choosing an item"

# Moving along the menu bar switches menus without closing; the Language menu (20 rows, 752 px
# high with its margin) ticks English, and only English.
menu_open
read -r mx my _ _ < <(drive rect TesMenuPop)
hover_until 752 TesMenuPop $((wx + language_x - mx)) $((wy + 47 - my)) menu_height ||
    fail "moving onto Language did not switch menus"
read -r mx my mw mh < <(drive rect TesMenuPop)
hover_until 4A90D9 TesMenuPop 60 $((12 + 4 + 4 * 36 + 18)) screen_pixel $((mx + 15)) $((my + 12 + 4 + 4 * 36 + 3)) || fail "hovered English row"  # hover English
hover_until 4A90D9 TesMenuPop 60 $((12 + 4 + 9 * 36 + 18)) screen_pixel $((mx + 15)) $((my + 12 + 4 + 9 * 36 + 3)) || fail "hovered 日本語 row"  # hover 日本語, so English shows unlit
[ "$(blue_pixels $((mx + 26)) $((my + 12 + 4 + 4 * 36 + 8)) 18 20)" -gt 5 ] || fail "English has no tick"
[ "$(blue_pixels $((mx + 26)) $((my + 12 + 4 + 3 * 36 + 8)) 18 20)" -eq 0 ] || fail "Deutsch has a tick"

# Clicking the open menu's title closes it.
drive click TesMenuPop $((wx + language_x - mx)) $((wy + 47 - my)) >/dev/null
wait_eq hidden shown TesMenuPop || fail "clicking the open title left the menu open"

# Escape closes an open menu; other keys do not. Neither the menu nor the Escape that closes it
# changes the text.
drive type TessaryClass "ab" >/dev/null
wait_eq ab drive editor-text TessaryClass || fail "typing into the new tab"
menu_open
drive keys TessaryClass c >/dev/null
wait_eq abc drive editor-text TessaryClass || fail "typing while a menu is open"
assert_eq shown "$(shown TesMenuPop)" "a letter key closed the menu"
menu_escape
drive keys TessaryClass d >/dev/null
wait_eq abcd drive editor-text TessaryClass || fail "closing the menu with Escape changed the text"

# A right click outside the menu, on the editor, closes it.
menu_open
read -r mx my _ _ < <(drive rect TesMenuPop)
drive rclick TesMenuPop $((wx + 700 - mx)) $((wy + 400 - my)) >/dev/null
wait_eq hidden shown TesMenuPop || fail "a right click on the editor left the menu open"

# The tab context menu opens where a tab was right-clicked, 4 px lower: 10 rows and 2 separators.
drive rclick TessaryClass 300 109 >/dev/null
wait_eq shown shown TesMenuPop || fail "right-clicking a tab did not open its menu"
assert_eq "$((wx + 300 - 12)) $((wy + 113 - 12)) $((8 + 10 * 36 + 2 * 9 + 24))" \
    "$(drive rect TesMenuPop | cut -d' ' -f1,2,4)" "tab context menu position and height"
# Unlike a menu from the bar, the context menu does not turn into the File menu under the pointer.
read -r mx my _ _ < <(drive rect TesMenuPop)
drive move TesMenuPop $((wx + 20 - mx)) $((wy + 47 - my)) >/dev/null
# Moves are posted and handled in order: once a later move has lit the menu's first row, the one
# over File has been handled.
hover_until 4A90D9 TesMenuPop 60 $((12 + 4 + 18)) screen_pixel $((mx + 15)) $((my + 12 + 4 + 3)) ||
    fail "the tab menu's first row did not light up"
assert_eq "$((8 + 10 * 36 + 2 * 9 + 24))" "$(menu_height)" "the tab menu switched to the File menu"
menu_escape
drive keys TessaryClass x >/dev/null
wait_eq x drive editor-text TessaryClass || fail "closing the tab menu with Escape changed the text"

stop_compositor
app_quit 2
pass

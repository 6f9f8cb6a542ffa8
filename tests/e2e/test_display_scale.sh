#!/usr/bin/env bash
# The window at display scales of 150 % and 200 % (the LogPixels setting of a Wine prefix of its own,
# so the other scripts keep 96 dpi): the program sees the scale, its caption, menu bar, toolbar and
# tab bar are the 96-dpi ones scaled, a click in the middle of a scaled tab activates that tab, and
# a menu opens right under its scaled title; the main window and the settings dialog follow a change
# of their display's scale. With a folder in the sidebar, a file in a tab and the search panel open
# (tests/e2e/scene_lib.sh), the sidebar and the panel are their scaled widths, as reported and in
# the picture (display-scale-96.png, -144.png, -192.png; the pictures in docs/ come
# from scripts/scene-shot.sh, on a screen as large as the scale needs).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/scene_lib.sh"
e2e_begin display_scale

# A prefix of this script's own, with its own wineserver, on the runner's display.
# shellcheck source=../../scripts/wine-env.sh
source "$(dirname "$0")/../../scripts/wine-env.sh"
export TESSARY_USE_DISPLAY=1
wine_env_start "${TMPDIR:-/tmp}/tessary-e2e-display-scale-prefix" || fail "no Wine prefix for the scaled display"
_stop_scaled_prefix() {
    _e2e_cleanup
    wine_env_stop
}
trap _stop_scaled_prefix EXIT

set_dpi() {
    if [ "$1" = 96 ]; then
        wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f </dev/null >/dev/null 2>&1 || true
    else
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
    fi
}

# "left top width height" of a part of the main window, as the program reports it.
part() { drive part TessaryClass "$1"; }
height_of() { part "$1" | cut -d' ' -f4; }
panel_state() { if part searchpanel >/dev/null 2>&1; then echo open; else echo closed; fi; }

start_at() {
    set_dpi "$1"
    app_start
    drive wait-window TessaryClass 30000 >/dev/null || fail "no main window at $1 dpi"
    assert_eq "$1" "$(part dpi)" "the display scale the program sees"
}

quit() {
    drive command TessaryClass 109 >/dev/null  # Exit
    app_wait_exit 20 || fail "the program did not exit"
}

# The scene at the current scale: the sidebar and the search panel are 220 and 300 design pixels
# wide, as the program reports them and as the picture shows them (the sidebar's edge line is its
# last column, the panel's its first: along a row under the text they are the only two columns of
# that colour left of the editor's scroll bar).
# What a run leaves in the program folder (settings, window state, session) goes, so that the
# scene's open panel and folder do not carry over into the next start, nor an earlier start's state
# into the scene.
fresh_state() {
    local entry
    for entry in "$E2E_DIR"/*; do
        case ${entry##*/} in Tessary.exe | SciLexer.dll | artifacts | scene) ;; *) rm -rf "$entry" ;; esac
    done
}

check_scene() {
    local dpi=$1 shot=$E2E_ARTIFACTS/display-scale-$1.png sw pw px ex et ew eh y edge columns
    fresh_state
    scene_start
    wait_eq open panel_state || fail "the search panel at $dpi dpi"
    assert_eq "$(part dpi)" "$dpi" "the scene's display scale"
    read -r _ _ sw _ < <(part sidebar)
    read -r px _ pw _ < <(part searchpanel)
    assert_eq $(((220 * dpi + 48) / 96)) "$sw" "the sidebar's width at $dpi dpi"
    assert_eq $(((300 * dpi + 48) / 96)) "$pw" "the search panel's width at $dpi dpi"
    scene_shot "$shot" || fail "no steady picture at $dpi dpi"
    read -r ex et ew eh < <(part editor)
    y=$((et + eh - 4))
    edge=$(pixel "$shot" $((sw - 1)) "$y")
    columns=$(convert "$shot" -crop "$((ex + ew))x1+0+$y" +repage txt:- |
        awk -v c="#$edge" 'NR > 1 && toupper($3) == toupper(c) { split($1, p, ","); printf "%s ", p[1] }')
    assert_eq "$((sw - 1)) " "$columns" "the sidebar's edge in the picture at $dpi dpi"
    assert_eq "$edge" "$(pixel "$shot" "$px" "$y")" "the search panel's edge in the picture at $dpi dpi"
    [ "$(pixel "$shot" $((px + 1)) "$y")" != "$edge" ] || fail "the search panel's edge is more than a line at $dpi dpi"
    # The active tab's marker is 3 design pixels tall: more than 3 real ones above 96 dpi.
    local tx ty tw th
    read -r _ _ _ th < <(part tabbar)
    read -r tx ty tw _ < <(part tab1)
    assert_eq 38D6C0 "$(pixel "$shot" $((tx + tw / 2)) $((ty + th - 1)))" "the active tab's marker at $dpi dpi"
    [ "$dpi" = 96 ] || assert_eq 38D6C0 "$(pixel "$shot" $((tx + tw / 2)) $((ty + th - 4)))" "the marker's height at $dpi dpi"
    quit
    fresh_state
}

# The 96-dpi heights of today's window, measured, not copied.
start_at 96
declare -A base
for p in caption menubar toolbar tabbar; do base[$p]=$(height_of $p); done
[ "${base[caption]}" -gt 0 ] && [ "${base[tabbar]}" -gt 0 ] || fail "no 96-dpi heights: ${base[*]}"
quit
check_scene 96

for dpi in 144 192; do
    start_at $dpi
    # Each bar is its 96-dpi height scaled, to the nearest pixel.
    for p in caption menubar toolbar tabbar; do
        assert_eq $(((base[$p] * dpi + 48) / 96)) "$(height_of $p)" "$p height at $dpi dpi"
    done
    # The bars follow each other from the top of the window down to the editor.
    read -r _ ct _ ch < <(part caption)
    read -r _ mt _ mh < <(part menubar)
    read -r _ tt _ th < <(part toolbar)
    read -r _ bt _ bh < <(part tabbar)
    read -r _ et _ _ < <(part editor)
    assert_eq "0 $ch $((mt + mh)) $((tt + th)) $((bt + bh))" "$ct $mt $tt $bt $et" "the bars' order at $dpi dpi"

    # Three tabs; a click in the middle of the first one activates it.
    drive command TessaryClass 100 >/dev/null
    drive command TessaryClass 100 >/dev/null
    wait_eq "New File 3 — Tessary" drive title TessaryClass || fail "third tab at $dpi dpi"
    read -r x y w h < <(part tab0)
    # A tab is at least 180 design pixels wide, or 140 when the tabs do not all fit the bar and shrink
    # (at 192 dpi the window is held to the screen, so three tabs shrink).
    [ "$w" -ge $(((140 * dpi + 48) / 96)) ] || fail "the first tab is $w px wide at $dpi dpi"
    drive click TessaryClass $((x + w / 2)) $((y + h / 2)) >/dev/null
    wait_eq "New File 1 — Tessary" drive title TessaryClass || fail "a click in the middle of a scaled tab"
    read -r x y w h < <(part tab1)
    drive click TessaryClass $((x + w / 2)) $((y + h / 2)) >/dev/null
    wait_eq "New File 2 — Tessary" drive title TessaryClass || fail "a click in the middle of the second tab"

    # The third menu opens with its body's corner at the bottom left of its scaled title (the
    # first one's shadow would reach past the screen's left edge).
    read -r x y w h < <(part title2)
    [ "$h" -eq "$mh" ] || fail "the title is $h px tall in a menu bar of $mh"
    drive click TessaryClass $((x + w / 2)) $((y + h / 2)) >/dev/null
    wait_eq shown shown TesMenuPop || fail "the menu did not open at $dpi dpi"
    read -r wx wy _ _ < <(drive rect TessaryClass)
    read -r px py pw ph < <(drive rect TesMenuPop)
    margin=$(((12 * dpi + 48) / 96))
    assert_eq "$((wx + x)) $((wy + y + h))" "$((px + margin)) $((py + margin))" "the menu's corner at $dpi dpi"
    [ "$pw" -ge $(((220 * dpi + 48) / 96)) ] || fail "the menu is $pw px wide at $dpi dpi"
    drive keys TessaryClass escape >/dev/null
    wait_eq hidden shown TesMenuPop || fail "Escape closes the menu"

    quit
    check_scene $dpi
done

# A window that finds itself on a display of another scale (the system says so with
# WM_DPICHANGED) takes that scale at once, and goes back as it was.
set_dpi 96
start_at 96
WM_DPICHANGED=0x02E0
drive send TessaryClass $WM_DPICHANGED $(((144 << 16) | 144)) >/dev/null
assert_eq 144 "$(part dpi)" "the scale after WM_DPICHANGED"
for p in caption menubar toolbar tabbar; do
    assert_eq $(((base[$p] * 144 + 48) / 96)) "$(height_of $p)" "$p height after the change to 144 dpi"
done
read -r x y w h < <(part tab0)
[ "$w" -ge 270 ] || fail "the tab is $w px wide after the change to 144 dpi"
drive send TessaryClass $WM_DPICHANGED $(((96 << 16) | 96)) >/dev/null
for p in caption menubar toolbar tabbar; do
    assert_eq "${base[$p]}" "$(height_of $p)" "$p height back at 96 dpi"
done

# The settings dialog follows its own window's scale: moved to a 144-dpi display it takes the
# rectangle the system suggests, its OK button grows by half, its title strip with it, and a click
# in the middle of the scaled Cancel closes it.
drive command TessaryClass 260 >/dev/null
wait_eq shown shown TesSettings || fail "Settings did not open"
read -r sx sy sw sh < <(drive rect TesSettings)
read -r _ _ ow oh < <(drive control TesSettings 1 rect)
suggested="$sx $sy $((sw * 3 / 2)) $((sh * 3 / 2))"
drive dpi-changed TesSettings 144 $suggested >/dev/null
assert_eq "$suggested" "$(drive rect TesSettings)" "the dialog in the suggested rectangle"
read -r _ _ nw nh < <(drive control TesSettings 1 rect)
near() { [ $(($1 - $2)) -le 1 ] && [ $(($2 - $1)) -le 1 ]; }
near $((ow * 3 / 2)) "$nw" && near $((oh * 3 / 2)) "$nh" || fail "OK is ${nw}x$nh at 144 dpi, ${ow}x$oh at 96"
assert_eq 2 "$(drive send TesSettings 0x84 0 $((((sy + 40) << 16) | (sx + 200))))" "the scaled title strip"
read -r cx cy cw ch < <(drive control TesSettings 2 rect)
drive click TesSettings $((cx + cw / 2)) $((cy + ch / 2)) >/dev/null
drive wait-gone TesSettings >/dev/null || fail "a click on the scaled Cancel did not close Settings"

# The quick-open popup, open while the main window changes scale, takes the new scale's size and
# its list the new width; so does the goto-line box.
popup_size() { drive rect TessaryPopup | cut -d' ' -f3,4; }
list_width() { drive control TessaryPopup 2 rect | cut -d' ' -f3; }
cmd 200
wait_eq shown shown TessaryPopup || fail "goto anything did not open"
assert_eq "560 320" "$(popup_size)" "the popup at 96 dpi"
drive send TessaryClass $WM_DPICHANGED $(((144 << 16) | 144)) >/dev/null
assert_eq "840 480" "$(popup_size)" "the popup after the change to 144 dpi"
assert_eq 816 "$(list_width)" "the popup's list after the change to 144 dpi"
drive keys TessaryClass escape >/dev/null
wait_eq hidden shown TessaryPopup || fail "Escape did not close the popup"
cmd 203
wait_eq shown shown TessaryPopup || fail "goto line did not open"
assert_eq "465 66" "$(popup_size)" "the goto-line box at 144 dpi"
drive send TessaryClass $WM_DPICHANGED $(((96 << 16) | 96)) >/dev/null
assert_eq "310 44" "$(popup_size)" "the goto-line box back at 96 dpi"
quit
pass

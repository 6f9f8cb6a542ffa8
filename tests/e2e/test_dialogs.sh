#!/usr/bin/env bash
# Files named on the command line open after the session question; the settings dialog, the about
# dialog and the key-binding list.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin dialogs
d=$E2E_DIR/data
mkdir -p "$d/proj"
printf 'one\n' >"$d/a b.txt"
printf 'int main() {}\n' >"$d/c.cpp"
tabs() { drive child-count TessaryClass Scintilla; }
# Posted commands are handled in order: once a zoom step posted after them shows, they have run
# (the zoom comes back after).
# (Up, then down again; down first at the top of the range.)
zoom() { drive editor-send TessaryClass 2374; }
after_posted_commands() {
    local z there=290 back=291 step=1
    z=$(zoom)
    [ "$z" -lt 40 ] || { there=291 back=290 step=-1; }
    drive command TessaryClass "$there" >/dev/null
    wait_eq $((z + step)) zoom || fail "a zoom posted as a marker did not happen"
    drive command TessaryClass "$back" >/dev/null
    wait_eq "$z" zoom || fail "the marker's zoom did not go back"
}

# 1. Two files, one with a blank in its name: both open, the last is active.
app_start "data\\a b.txt" "$(win_path "$d/c.cpp")"
drive wait-window TessaryClass 20000 >/dev/null || fail "no main window"
wait_eq "c.cpp — Tessary" drive title TessaryClass || fail "command-line files did not open"
assert_eq 3 "$(tabs)" "the first tab and one tab per file"
drive command TessaryClass 109 >/dev/null
app_wait_exit 20 || fail "did not exit"

# 2. The session question comes first; then an open file is activated, a missing path opens as an
# empty tab bound to it (non-ASCII name), and a folder becomes the workspace.
LC_ALL=C.UTF-8 app_start "$(win_path "$d/proj")" "data\\ü ñ 文件.txt" "data\\a b.txt"
prompt=$(drive wait-msgbox 20000) || fail "no restore question"
[[ $prompt == *Restore* ]] || fail "unexpected first question: $prompt"
assert_eq 1 "$(tabs)" "nothing opened before the question was answered"
drive answer-msgbox yes >/dev/null
wait_eq "a b.txt — proj" drive title TessaryClass || fail "the last argument is not active"
assert_eq 3 "$(tabs)" "two restored tabs and the missing path; the open file was not opened twice"
[ ! -e "$d/ü ñ 文件.txt" ] || fail "opening a missing path created the file"

# 3. Settings: one dialog at a time, over a disabled main window.
size() { drive editor-send TessaryClass 2485 32; }   # SCI_STYLEGETSIZE of the default style
settings() { cat "$E2E_DIR/settings.json"; }
setting() { grep -o "\"$1\": [^,]*" "$E2E_DIR/settings.json" | cut -d' ' -f2; }
open_settings() {
    drive command TessaryClass 260 >/dev/null
    wait_eq shown shown TesSettings || fail "Settings did not open"
}
close_settings() {
    drive command TesSettings "$1" >/dev/null
    drive wait-gone TesSettings >/dev/null || fail "Settings stayed open"
    assert_eq 1 "$(drive enabled TessaryClass)" "the main window takes input again"
}
drive editor-send TessaryClass 2055 32 20 >/dev/null   # a mark that only a restyle resets
before=$(settings; echo x)
open_settings
drive command TessaryClass 260 >/dev/null
drive keys TessaryClass ctrl+comma >/dev/null
assert_eq 0 "$(drive enabled TessaryClass)" "the main window can be clicked under Settings"
assert_eq 380x340 "$(drive rect TesSettings | awk '{print $3 "x" $4}')" "dialog size"
# The title strip drags the dialog (HTCAPTION), the close button's corner does not.
read -r sx sy _ < <(drive rect TesSettings)
assert_eq 2 "$(drive send TesSettings 0x84 0 $((((sy + 10) << 16) | (sx + 200))))" "title strip"
assert_eq 1 "$(drive send TesSettings 0x84 0 $((((sy + 10) << 16) | (sx + 360))))" "close button"
# The dialog and its edit fields follow the theme (Dark: chrome #1A1A1A, input #2D2D2D).
look() {
    screenshot "$1" "$2"
    assert_eq "$3" "$(pixel "$E2E_ARTIFACTS/$2" 5 100)" "$1 background in $2"
    [ -z "${4:-}" ] || assert_eq "$4" "$(pixel "$E2E_ARTIFACTS/$2" 270 91)" "edit field in $2"
}
look TesSettings settings-dark.png 1A1A1A 2D2D2D
assert_eq 11 "$(drive control TesSettings 1001 text)" "font size field"
assert_eq 100 "$(drive control TesSettings 1003 text)" "zoom field"
assert_eq 0 "$(drive control TesSettings 1019 send 0x147)" "UTF-8 selected"     # CB_GETCURSEL
# Tab moves from the focused font size to the tab width, selecting its text for typing over.
drive keys TesSettings tab 7 >/dev/null
wait_eq 7 drive control TesSettings 1002 text || fail "Tab did not move to the tab width"
# The second command and Ctrl+, came before these keys and the marker: they have been handled.
after_posted_commands
assert_eq 1 "$(drive count TesSettings)" "a second Settings command or Ctrl+, opened another dialog"
# Minus and plus keep to their ranges; typed numbers saturate instead of wrapping.
drive control TesSettings 1003 set 80 >/dev/null
drive control TesSettings 1016 send 0xF5 >/dev/null                               # BM_CLICK on zoom minus
assert_eq 80 "$(drive control TesSettings 1003 text)" "minus on 80"
drive control TesSettings 1017 send 0xF5 >/dev/null
assert_eq 81 "$(drive control TesSettings 1003 text)" "plus on 80"
drive control TesSettings 1002 set 99999999999 >/dev/null
drive control TesSettings 1015 send 0xF5 >/dev/null
assert_eq 16 "$(drive control TesSettings 1002 text)" "plus on a huge tab width"
# Cancel after changes keeps everything as it was.
drive control TesSettings 1001 set 20 >/dev/null
drive control TesSettings 1004 send 0xF5 >/dev/null                               # word wrap on
drive control TesSettings 1019 send 0x14E 3 >/dev/null                            # CB_SETCURSEL
close_settings 2
assert_eq "$before" "$(settings; echo x)" "Cancel changed settings.json"
assert_eq 20 "$(size)" "Cancel restyled the editor"
assert_eq 0 "$(drive editor-send TessaryClass 2269)" "Cancel turned word wrap on"
assert_eq 2 "$(drive editor-send TessaryClass 2121)" "Cancel changed the tab width"
# Only the default encoding, confirmed with Enter: saved, no restyle.
open_settings
drive control TesSettings 1019 send 0x14E 3 >/dev/null                            # UTF-16 BE
drive keys TesSettings enter >/dev/null
drive wait-gone TesSettings >/dev/null || fail "Enter did not press OK"
assert_eq 4 "$(setting newEnc)" "default encoding saved"
assert_eq 20 "$(size)" "changing only the encoding restyled the editors"
# 50 in the font size and 0 in the tab width are clamped.
open_settings
drive control TesSettings 1001 set 50 >/dev/null
drive control TesSettings 1002 set 0 >/dev/null
drive control TesSettings 1003 set 300 >/dev/null
close_settings 1
assert_eq 32 "$(setting fontSize)" "font size 50"
assert_eq 1 "$(setting tabWidth)" "tab width 0"
assert_eq 40 "$(setting zoom)" "zoom field 300"
assert_eq 32 "$(size)" "the editors take the new size"
assert_eq 1 "$(drive editor-send TessaryClass 2121)" "the editors take the new tab width"

# 4. About: once, and OK closes it.
drive command TessaryClass 282 >/dev/null
wait_eq shown shown TesAbout || fail "About did not open"
look TesAbout about-dark.png 1A1A1A
drive command TessaryClass 260 >/dev/null
after_posted_commands
assert_eq 1 "$(drive count TesAbout)" "a second About"
assert_eq 0 "$(drive count TesSettings)" "Settings opened over About"
assert_eq 0 "$(drive enabled TessaryClass)" "the main window can be clicked under About"
assert_eq 460x300 "$(drive rect TesAbout | awk '{print $3 "x" $4}')" "about size"
drive control TesAbout 1 send 0xF5 >/dev/null
drive wait-gone TesAbout >/dev/null || fail "OK did not close About"
assert_eq 1 "$(drive enabled TessaryClass)" "the main window takes input after About"
# Ctrl+Alt+I opens About; pressed again under it, then Escape: keys arrive in order, so a second
# About opened by the second Ctrl+Alt+I would still be there once Escape has closed one.
drive keys TessaryClass ctrl+alt+i >/dev/null
wait_eq shown shown TesAbout || fail "Ctrl+Alt+I did not open About"
drive keys TessaryClass ctrl+alt+i escape >/dev/null
drive wait-gone TesAbout >/dev/null || fail "an About is left after Escape: Ctrl+Alt+I opened a second one"

# 5. The key-binding list in German: English caption, German lines.
drive command TessaryClass 403 >/dev/null
drive keys TessaryClass ctrl+alt+k >/dev/null
list=$(drive answer-msgbox ok) || fail "no key-binding list"
assert_eq "Key Bindings" "$(head -1 <<<"$list")" "caption"
[[ $list == *'Ctrl+,Einstellungen\r\nCtrl+B'* ]] || fail "German lines expected: $list"
drive command TessaryClass 404 >/dev/null

# 6. The Light theme.
drive command TessaryClass 481 >/dev/null
open_settings
look TesSettings settings-light.png F0F0F0 FFFFFF
close_settings 2
drive command TessaryClass 282 >/dev/null
wait_eq shown shown TesAbout || fail "About did not open"
look TesAbout about-light.png F0F0F0
drive command TesAbout 1011 >/dev/null
drive wait-gone TesAbout >/dev/null || fail "the close button did not close About"

# Nothing was typed: the program closes without a question.
drive command TessaryClass 109 >/dev/null
app_wait_exit 20 || fail "did not exit"
pass

#!/usr/bin/env bash
# The search panel as a user meets it: Ctrl+F focuses the find box, typing lists the hits after the
# pause, F3 wraps, Shift+F3 goes back, Replace All is one undo step (also with an empty
# replacement), find in files lists hits from three files of the open folder, Ctrl+C on the list
# copies them, a folded group stays folded while typing, Escape closes the panel and forgets the
# query. search-dark.png and search-light.png show the look (docs/screenshot-search-*.png, and cut
# down by scripts/manual-pictures.sh, in the manual's Search section).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin search

project=$E2E_DIR/project
mkdir -p "$project/src" "$project/.git"
printf 'first needle\r\nnothing here\r\nneedle again\r\n' >"$project/a.txt"
printf 'one needle\n' >"$project/src/b.txt"
# UTF-16 with a mark, a lone CR inside a line and no final line end.
printf '\xFF\xFEn\0e\0e\0d\0l\0e\0\r\0x\0\n\0' >"$project/src/c.txt"
printf 'needle in the version-control folder\n' >"$project/.git/config"
head -c $((3 * 1024 * 1024)) /dev/zero | tr '\0' 'n' >"$project/big.txt"
printf 'needle one\nneedlneedl two\nplain line\n' >"$E2E_DIR/doc.txt"

undo() { drive editor-send TessaryClass 2176 >/dev/null; }

app_up
# The folder of a chosen file becomes the sidebar's root (Project > Open Project with a plain file).
dialog_file 240 "$project/a.txt"
open_file "$E2E_DIR/doc.txt"
wait_eq "needle one\nneedlneedl two\nplain line\n" drive editor-text TessaryClass

# Maximized, the window fits the screen (and the pictures); the panel is 300 wide below the tab bar.
maximize

# Ctrl+F opens the panel with the focus in the find box (id 20).
find_text needl
wait_eq 2 search_state 0 || fail "typing did not list the two matching lines"

# F3 selects the next match from the caret and wraps at the end; Shift+F3 steps back.
drive editor-send TessaryClass 2160 0 0 >/dev/null
drive keys TessaryClass f3 >/dev/null
wait_eq "0 5" selection
drive keys TessaryClass f3 f3 f3 >/dev/null
wait_eq "0 5" selection || fail "F3 did not wrap around to the first match"
drive keys TessaryClass f3 >/dev/null
wait_eq "11 16" selection
drive keys TessaryClass shift+f3 >/dev/null
wait_eq "0 5" selection || fail "Shift+F3 did not move to the previous match"

# Replace All with an empty replacement removes every match, and one undo brings all back.
click_panel all
wait_eq "e one\n two\nplain line\n" drive editor-text TessaryClass || fail "Replace All skipped a match"
undo
wait_eq "needle one\nneedlneedl two\nplain line\n" drive editor-text TessaryClass ||
    fail "Replace All was not one undo step"

# Find in files: the tab, then a.txt, b.txt and c.txt; nothing from .git or the 3 MiB file.
click_panel files
wait_eq "6 4" search_state 0 1 || fail "find in files did not list six hits in four groups (the tab and three files)"

# The results list: fold a.txt's group (row 4: summary, tab header, two hits, a.txt header).
list_x=$((WIDTH - 300 + 10))
list_y=$((92 + 114))
drive click TessaryClass $((list_x + 60)) $((list_y + 4 * 22 + 11)) >/dev/null
wait_eq 1 search_state 3 || fail "clicking a group header did not fold it"
# Ctrl+C with the list focused and nothing selected copies every hit, the folded ones too.
drive keys TessaryClass ctrl+c >/dev/null
escaped() { local p; p=$(win_path "$1"); printf '%s' "${p//\\/\\\\}"; }
doc=$(escaped "$E2E_DIR/doc.txt")
a=$(escaped "$project/a.txt")
clipboard_start() { drive clipboard | cut -c1-"$1"; }
expected="${doc}:1: needle one\r\n${doc}:2: needlneedl two\r\n${a}:1: first needle\r\n${a}:3: needle again\r\n"
wait_eq "$expected" clipboard_start ${#expected} || fail "Ctrl+C did not copy the hits in order"
drive clipboard | grep -qF 'b.txt:1: one needle\r\n' || fail "b.txt's hit is not on the clipboard"
drive clipboard | grep -qF 'c.txt:1: needle\rx\r\n' || fail "c.txt's hit is not on the clipboard"

# The look, in the Dark and the Light theme: the panel's title band changes colour with the theme
# (compared with the Dark picture taken here). The pictures are the ones under docs/.
probe=$E2E_DIR/probe.png
band_pixel() { import -window root "$probe" && pixel "$probe" $((wx + WIDTH - 150)) $((wy + 92 + 15)); }
band_is() { if [ "$(band_pixel)" = "$dark" ]; then echo dark; else echo other; fi; }
read -r wx wy _ _ < <(drive rect TessaryClass)
screenshot TessaryClass search-dark.png
dark=$(band_pixel)
cmd 481
wait_eq other band_is || fail "the panel's title band did not change with the Light theme"
screenshot TessaryClass search-light.png
cmd 480
wait_eq dark band_is || fail "the panel's title band did not go back to Dark"

# One more character: the search runs again and the folded group stays folded.
drive keys TessaryClass ctrl+f >/dev/null
wait_eq 20 search_state 4
drive type TessaryClass e >/dev/null
wait_eq "5 4 1" search_state 0 1 3 || fail "after typing: five hits in four groups, one still folded"

# An open file is searched once, through its tab, also when the tab holds more than the disk copy;
# a file open in hex is not searched at all. Toggling "F" off and on searches again.
research() { click_panel files && click_panel files; }
open_tab "$project/a.txt" "a.txt — project"
drive editor-send TessaryClass 2318 >/dev/null   # caret to the end of the text
drive type TessaryClass needle >/dev/null
wait_eq "a.txt • — project" drive title TessaryClass || fail "typing into a.txt"
research
wait_eq "6 4" search_state 0 1 || fail "a.txt's tab (3 hits) and its disk copy (2) were not found once"
open_tab "$project/src/b.txt" "b.txt — project"
cmd 185
wait_eq "hex=1" tab_state hex || fail "b.txt did not go into hex"
research
wait_eq "5 3" search_state 0 1 || fail "b.txt, open in hex, was searched"
wait_eq 20 search_state 4 || fail "a click on a toggle left the focus off the find box"

# Escape closes the panel; reopened, the find box is empty and nothing is listed.
drive keys TessaryClass escape >/dev/null
wait_eq 0 search_state 5 || fail "Escape did not close the panel"
drive keys TessaryClass ctrl+f >/dev/null
wait_eq 20 search_state 4
# Not a read before the work is done: closing forgot the results, and the reopening command
# searches (an empty find box) before it puts the focus into the find box waited for above.
assert_eq 0 "$(search_state 0)" "hits right after reopening"
assert_eq 0 "$(search_state 2)" "rows right after reopening"

# Only a.txt holds unsaved typing (doc.txt's Replace All was undone, b.txt is unchanged in hex).
cmd 109
prompt=$(drive answer-msgbox no) || fail "no save prompt for a.txt"
[[ $prompt == *a.txt* ]] || fail "the only prompt at exit should name a.txt: $prompt"
app_wait_exit 20 || fail "the program did not exit (a second save prompt?)"
pass

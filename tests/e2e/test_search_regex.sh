#!/usr/bin/env bash
# Regular expressions in the search panel as a user meets them: a costly expression typed into
# the find box leaves the window answering and the summary row says the search stopped; "foo|bar"
# finds the same lines in an open tab and in the same file on disk; anchored Replace All changes
# exactly what it shows (saved and compared byte for byte). test_search_replace.sh goes on with
# Replace, pasting, stale hits and the focus.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin search_regex

project=$E2E_DIR/project
mkdir -p "$project"
printf 'foo\r\nxbar\r\nnone\r\nfoobar\r\n' >"$project/fb.txt"
printf 'first x\n%s\nlast x\n' "$(head -c 600 /dev/zero | tr '\0' a)" >"$E2E_DIR/aaa.txt"
printf '        x\naaa\nzz aab\n' >"$E2E_DIR/anchored.txt"

search_state() { drive send TessaryClass $((0x8000 + 0x55)) "$1"; }
hits_rows_stopped() { echo "$(search_state 0) $(search_state 2) $(search_state 6)"; }
save() { drive command TessaryClass 103 >/dev/null; }
find_text() {  # replaces the find box's text, which keeps the focus
    drive keys TessaryClass ctrl+f >/dev/null
    wait_eq 20 search_state 4 || fail "Ctrl+F did not focus the find box"
    drive keys TessaryClass ctrl+a >/dev/null
    drive type TessaryClass "$1" >/dev/null
}

app_start
drive wait-window TessaryClass 20000 >/dev/null || fail "no main window"
# The folder of fb.txt becomes the sidebar's root (Project > Open Project with a plain file).
drive command TessaryClass 240 >/dev/null
drive file-dialog "$(win_path "$project/fb.txt")" >/dev/null || fail "the project dialog did not take fb.txt"
open_file "$E2E_DIR/aaa.txt"

# Maximized, so that the panel's buttons sit where the clicks below expect them.
changed_width() { read -r _ _ w _ < <(drive rect TessaryClass) && [ "$w" != "$1" ] && echo yes || echo no; }
read -r _ _ width0 _ < <(drive rect TessaryClass)
drive dblclick-caption TessaryClass >/dev/null
wait_eq yes changed_width "$width0"
read -r _ _ width _ < <(drive rect TessaryClass)
click_regex() { drive click TessaryClass $((width - 63)) $((92 + 38 + 15)) >/dev/null; }
click_files() { drive click TessaryClass $((width - 25)) $((92 + 38 + 15)) >/dev/null; }
click_all() { drive click TessaryClass $((width - 32)) $((92 + 76 + 15)) >/dev/null; }
click_copy() { drive click TessaryClass $((width - 42)) $((92 + 114 + 11)) >/dev/null; }

# 1. A costly expression typed into the find box: the hit before the costly line is listed, the
# summary row (the only other row) says the search stopped, and the window goes on answering.
drive keys TessaryClass ctrl+f >/dev/null
wait_eq 20 search_state 4 || fail "Ctrl+F did not focus the find box"
click_regex
find_text '.*.*.*x'
wait_eq "1 3 1" hits_rows_stopped || fail "the costly expression did not stop with its first hit kept"
drive keys TessaryClass f3 >/dev/null
wait_eq "0 7" eval 'echo "$(drive editor-send TessaryClass 2143) $(drive editor-send TessaryClass 2145)"' ||
    fail "the window did not go on answering after the costly search"

# 2. "foo|bar" finds the same lines in the open tab and in the same file on disk.
open_file "$project/fb.txt"
find_text 'foo|bar'
wait_eq "3 5 0" hits_rows_stopped || fail "foo|bar did not find three lines in the open tab"
click_copy
wait_eq 3 eval 'drive clipboard | grep -o "fb.txt:" | wc -l' || fail "the tab's hits were not copied"
open_hits=$(drive clipboard)
drive command TessaryClass 107 >/dev/null   # close fb.txt; the search runs again without it
click_files                                  # "F": the open folder's files
wait_eq "3 5 0" hits_rows_stopped || fail "foo|bar did not find the same three lines on disk"
click_copy
wait_eq "$open_hits" drive clipboard || fail "the disk hits differ from the open tab's"
click_files

# 3. Anchored Replace All with an empty replacement removes exactly what each pattern shows.
open_file "$E2E_DIR/anchored.txt"
for pattern in '^    ' '^a' '\<a'; do
    before=$(drive editor-text TessaryClass)
    find_text "$pattern"
    click_all
    wait_eq changed eval '[ "$(drive editor-text TessaryClass)" != "$before" ] && echo changed || echo same' ||
        fail "Replace All of $pattern changed nothing"
done
save
wait_eq "    x|a|zz ab|" eval 'tr "\n" "|" <"$E2E_DIR/anchored.txt"' || fail "anchored Replace All removed too much"
cmp <(printf '    x\na\nzz ab\n') "$E2E_DIR/anchored.txt" || fail "anchored.txt is not byte for byte as expected"

drive command TessaryClass 109 >/dev/null
for _ in 1 2 3; do drive answer-msgbox no 3000 >/dev/null 2>&1 || break; done
app_wait_exit 20 || fail "the program did not exit"
pass

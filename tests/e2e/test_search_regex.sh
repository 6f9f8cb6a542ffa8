#!/usr/bin/env bash
# Regular expressions in the search panel as a user meets them: a costly expression typed into
# the find box leaves the window answering and the summary row says the search stopped; "foo|bar"
# finds the same lines in an open tab and in the same file on disk; anchored Replace All and
# Replace (R) change exactly what they show (saved and compared byte for byte); pasted line breaks
# stay out of the query; a hit of a closed tab opens nothing else; coming back to the window
# gives the focus back to the find box.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin search_regex

project=$E2E_DIR/project
mkdir -p "$project"
printf 'foo\r\nxbar\r\nnone\r\nfoobar\r\n' >"$project/fb.txt"
printf 'first x\n%s\nlast x\n' "$(head -c 600 /dev/zero | tr '\0' a)" >"$E2E_DIR/aaa.txt"
printf '        x\naaa\nzz aab\n' >"$E2E_DIR/anchored.txt"
printf 'count = count + 1\nfoo foo\n' >"$E2E_DIR/replace.txt"

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

# 4. Replace (R, or Enter in the replace box) goes on after the text it inserted.
open_file "$E2E_DIR/replace.txt"
click_regex   # plain text from here on
find_text count
drive keys TessaryClass ctrl+h >/dev/null
wait_eq 21 search_state 4 || fail "Ctrl+H did not focus the replace box"
drive type TessaryClass recount >/dev/null
drive editor-send TessaryClass 2160 0 0 >/dev/null
drive keys TessaryClass f3 >/dev/null
wait_eq "0 5" eval 'echo "$(drive editor-send TessaryClass 2143) $(drive editor-send TessaryClass 2145)"'
drive keys TessaryClass enter >/dev/null
wait_eq "10 15" eval 'echo "$(drive editor-send TessaryClass 2143) $(drive editor-send TessaryClass 2145)"' ||
    fail "Replace did not go on to the next count"
drive keys TessaryClass enter >/dev/null
wait_eq "recount = recount + 1\nfoo foo\n" drive editor-text TessaryClass || fail "Replace matched its own text"
find_text foo
drive keys TessaryClass ctrl+h ctrl+a >/dev/null
drive type TessaryClass Foo >/dev/null
drive editor-send TessaryClass 2160 22 22 >/dev/null
drive keys TessaryClass f3 >/dev/null
drive keys TessaryClass enter >/dev/null
drive keys TessaryClass enter >/dev/null
wait_eq "recount = recount + 1\nFoo Foo\n" drive editor-text TessaryClass ||
    fail "Replace without case did not get past its first replacement"
save
wait_eq saved eval 'cmp -s <(printf "recount = recount + 1\nFoo Foo\n") "$E2E_DIR/replace.txt" && echo saved' ||
    fail "replace.txt is not byte for byte as expected"

# 5. Pasted line breaks: a space in plain text (nothing matches "1 Foo"), "\R" in an expression.
drive editor-send TessaryClass 2160 20 25 >/dev/null   # "1\nFoo"
drive editor-send TessaryClass 2178 >/dev/null         # copy
find_text x
drive keys TessaryClass ctrl+a ctrl+v >/dev/null
wait_eq "0 0 0" hits_rows_stopped || fail "a pasted line break entered the plain query"
click_regex
drive keys TessaryClass ctrl+a ctrl+v >/dev/null
wait_eq "1 3 0" hits_rows_stopped || fail "a pasted line break did not become a line end in the expression"

# 7. A hit never opens another tab than its own: the hit of an untitled tab that was closed stays
# listed but leads nowhere, even when a new tab now sits where the closed one was.
selection() { echo "$(drive editor-send TessaryClass 2143) $(drive editor-send TessaryClass 2145)"; }
drive command TessaryClass 100 >/dev/null
drive type TessaryClass 'needle here' >/dev/null
find_text needle
wait_eq "1 3 0" hits_rows_stopped || fail "the untitled tab's hit was not listed"
drive command TessaryClass 107 >/dev/null
drive answer-msgbox no >/dev/null || fail "no save prompt for the untitled tab"
drive command TessaryClass 100 >/dev/null
drive type TessaryClass 'xxxxxxxxxxxxxx' >/dev/null
wait_eq "14 14" selection
drive click TessaryClass $((width - 300 + 10 + 80)) $((92 + 114 + 2 * 22 + 11)) >/dev/null   # the hit row
wait_eq 31 search_state 4 || fail "a click on the hit row did not focus the results list"
drive keys TessaryClass enter escape >/dev/null   # open the hit, then close the panel: in that order
wait_eq 0 search_state 5 || fail "Escape did not close the panel"
assert_eq "14 14" "$(selection)" "the selection in the new tab after opening the closed tab's hit"

# 6. Back in the window after another one was in front, the focus is where the user left it.
drive keys TessaryClass ctrl+f >/dev/null
wait_eq 20 search_state 4
(cd "$E2E_DIR" && exec wine winemine </dev/null >/dev/null 2>&1) &
other=$!
drive wait-window WineMine 20000 >/dev/null || fail "the other window did not appear"
wait_eq 0 search_state 4 || fail "the other window did not take the focus"
drive type TessaryClass '' >/dev/null   # brings the window to the front, types nothing
wait_eq 20 search_state 4 || fail "coming back did not give the focus back to the find box"
kill "$other" 2>/dev/null || true
wait "$other" 2>/dev/null || true

drive command TessaryClass 109 >/dev/null
for _ in 1 2 3; do drive answer-msgbox no 3000 >/dev/null 2>&1 || break; done
app_wait_exit 20 || fail "the program did not exit"
pass

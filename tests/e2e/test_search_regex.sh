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

app_up
# The folder of fb.txt becomes the sidebar's root (Project > Open Project with a plain file).
dialog_file 240 "$project/fb.txt"
open_file "$E2E_DIR/aaa.txt"

# Maximized, so that the panel's buttons sit where the clicks below expect them.
maximize

# 1. A costly expression typed into the find box: the hit before the costly line is listed, the
# summary row (the only other row) says the search stopped, and the window goes on answering.
find_text ''
click_panel regex
find_text '.*.*.*x'
wait_eq "1 3 1" hits_rows_stopped || fail "the costly expression did not stop with its first hit kept"
drive keys TessaryClass f3 >/dev/null
wait_eq "0 7" selection ||
    fail "the window did not go on answering after the costly search"

# 2. "foo|bar" finds the same lines in the open tab and in the same file on disk.
open_file "$project/fb.txt"
find_text 'foo|bar'
wait_eq "3 5 0" hits_rows_stopped || fail "foo|bar did not find three lines in the open tab"
click_panel copy
wait_eq 3 eval 'drive clipboard | grep -o "fb.txt:" | wc -l' || fail "the tab's hits were not copied"
open_hits=$(drive clipboard)
cmd 107   # close fb.txt; the search runs again without it
click_panel files                                  # "F": the open folder's files
wait_eq "3 5 0" hits_rows_stopped || fail "foo|bar did not find the same three lines on disk"
click_panel copy
wait_eq "$open_hits" drive clipboard || fail "the disk hits differ from the open tab's"
click_panel files

# 3. Anchored Replace All with an empty replacement removes exactly what each pattern shows.
open_file "$E2E_DIR/anchored.txt"
for pattern in '^    ' '^a' '\<a'; do
    before=$(drive editor-text TessaryClass)
    find_text "$pattern"
    click_panel all
    wait_eq changed eval '[ "$(drive editor-text TessaryClass)" != "$before" ] && echo changed || echo same' ||
        fail "Replace All of $pattern changed nothing"
done
cmd 103
wait_eq "    x|a|zz ab|" eval 'tr "\n" "|" <"$E2E_DIR/anchored.txt"' || fail "anchored Replace All removed too much"
cmp <(printf '    x\na\nzz ab\n') "$E2E_DIR/anchored.txt" || fail "anchored.txt is not byte for byte as expected"

app_quit   # every tab is saved or unchanged
pass

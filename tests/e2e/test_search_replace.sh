#!/usr/bin/env bash
# Replace and the search panel around it, as a user meets them: Replace (R, or Enter in the
# replace box) goes on after the text it inserted (saved and compared byte for byte); pasted line
# breaks stay out of the query; a hit of a closed tab opens nothing else; coming back to the window
# gives the focus back to the find box.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin search_replace

printf 'count = count + 1\nfoo foo\n' >"$E2E_DIR/replace.txt"

app_up

# Maximized, so that the panel's buttons sit where the clicks below expect them.
maximize

# 1. Replace (R, or Enter in the replace box) goes on after the text it inserted.
open_file "$E2E_DIR/replace.txt"
find_text count
drive keys TessaryClass ctrl+h >/dev/null
wait_eq 21 search_state 4 || fail "Ctrl+H did not focus the replace box"
drive type TessaryClass recount >/dev/null
drive editor-send TessaryClass 2160 0 0 >/dev/null
drive keys TessaryClass f3 >/dev/null
wait_eq "0 5" selection
drive keys TessaryClass enter >/dev/null
wait_eq "10 15" selection ||
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
cmd 103
wait_eq saved eval 'cmp -s <(printf "recount = recount + 1\nFoo Foo\n") "$E2E_DIR/replace.txt" && echo saved' ||
    fail "replace.txt is not byte for byte as expected"

# 2. Pasted line breaks: a space in plain text (nothing matches "1 Foo"), "\R" in an expression.
drive editor-send TessaryClass 2160 20 25 >/dev/null   # "1\nFoo"
drive editor-send TessaryClass 2178 >/dev/null         # copy
find_text x
drive keys TessaryClass ctrl+a ctrl+v >/dev/null
wait_eq "0 1 0" hits_rows_stopped || fail "a pasted line break entered the plain query"
click_panel regex   # expressions from here on
drive keys TessaryClass ctrl+a ctrl+v >/dev/null
wait_eq "1 3 0" hits_rows_stopped || fail "a pasted line break did not become a line end in the expression"

# 3. A hit never opens another tab than its own: the hit of an untitled tab that was closed stays
# listed but leads nowhere, even when a new tab now sits where the closed one was.
cmd 100
drive type TessaryClass 'needle here' >/dev/null
find_text needle
wait_eq "1 3 0" hits_rows_stopped || fail "the untitled tab's hit was not listed"
cmd 107
drive answer-msgbox no >/dev/null || fail "no save prompt for the untitled tab"
cmd 100
drive type TessaryClass 'xxxxxxxxxxxxxx' >/dev/null
wait_eq "14 14" selection
drive click TessaryClass $((WIDTH - 300 + 10 + 80)) $((92 + 114 + 2 * 22 + 11)) >/dev/null   # the hit row
wait_eq 31 search_state 4 || fail "a click on the hit row did not focus the results list"
drive keys TessaryClass enter escape >/dev/null   # open the hit, then close the panel: in that order
wait_eq 0 search_state 5 || fail "Escape did not close the panel"
assert_eq "14 14" "$(selection)" "the selection in the new tab after opening the closed tab's hit"

# 4. Back in the window after another one was in front, the focus is where the user left it.
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

app_quit 1   # the untitled tab of x's
pass

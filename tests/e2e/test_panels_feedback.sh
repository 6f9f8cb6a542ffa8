#!/usr/bin/env bash
# What the panels tell a user who tries them for the first time: the search summary counts files in
# the singular and the plural, says "No matches" and quotes the engine about a broken expression,
# and follows edits, undo and redo of the searched tabs.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin panels_feedback

printf 'needle one\nplain\nneedle two\n' >"$E2E_DIR/a.txt"
printf 'other\n' >"$E2E_DIR/b.txt"
# Expressions and all open tabs, as a user left them last time.
printf 'findRegex=1\r\nfindAllFiles=1\r\n' >"$E2E_DIR/ui.ini"

search_state() { drive send TessaryClass $((0x8000 + 0x55)) "$1"; }
summary() { drive child-text TessaryClass TesResultList; }
find_text() {  # replaces the find box's text, which keeps the focus
    drive keys TessaryClass ctrl+f >/dev/null
    wait_eq 20 search_state 4 || fail "Ctrl+F did not focus the find box"
    drive keys TessaryClass ctrl+a >/dev/null
    drive type TessaryClass "$1" >/dev/null
}

app_start
drive wait-window TessaryClass 30000 >/dev/null || fail "no main window"
open_file "$E2E_DIR/a.txt"
open_file "$E2E_DIR/b.txt"
wait_eq 'b.txt — Tessary' drive title TessaryClass || fail "b.txt did not open"

# ---- search feedback ----
find_text needle
wait_eq "2 matches in 1 file" summary || fail "the summary of two hits in one file"
# Typing into the other tab: its new line joins the results once the typing pauses.
read -r left top _ < <(drive editor-rect TessaryClass)
drive click TessaryClass $((left + 40)) $((top + 5)) >/dev/null
drive keys TessaryClass ctrl+end >/dev/null
drive type TessaryClass needle >/dev/null
wait_eq "3 matches in 2 files" summary || fail "an edit of a searched tab was not searched again"
drive editor-send TessaryClass 2176 >/dev/null  # undo
wait_eq "2 matches in 1 file" summary || fail "undo was not followed"
drive editor-send TessaryClass 2011 >/dev/null  # redo
wait_eq "3 matches in 2 files" summary || fail "redo was not followed"
# A broken expression: the engine's words and where; then a query that finds nothing.
find_text 'needle('
wait_eq "Error in the expression at position 7: missing closing parenthesis" summary ||
    fail "a broken expression did not say what is wrong"
find_text zzz
wait_eq "No matches" summary || fail "a search without hits did not say so"
assert_eq 1 "$(search_state 2)" "rows of a search without hits"

pass

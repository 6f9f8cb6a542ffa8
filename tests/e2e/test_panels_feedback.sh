#!/usr/bin/env bash
# What the panels tell a user who tries them for the first time: the search summary counts files in
# the singular and the plural, says "No matches" and quotes the engine about a broken expression,
# and follows edits, undo and redo of the searched tabs; the quick-open list is drawn in the
# theme's colours (docs/screenshot-quick-open-dark.png comes from here); a build asks to save a modified tab first
# and shows that it runs, for how long, in its tab, until its output and exit code replace that.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin panels_feedback

printf 'needle one\nplain\nneedle two\n' >"$E2E_DIR/a.txt"
printf 'other\n' >"$E2E_DIR/b.txt"
# Expressions and all open tabs, as a user left them last time.
printf 'findRegex=1\r\nfindAllFiles=1\r\n' >"$E2E_DIR/ui.ini"

summary() { drive child-text TessaryClass TesResultList; }

# A stand-in interpreter (standin in lib.sh) that runs until the test lets it end, then fails with
# exit code 3.
bin=$E2E_DIR/bin
standin "$bin/python.exe"
export WINEPATH
WINEPATH=$(win_path "$bin")
printf 'wait\n' >"$E2E_DIR/slow.py"

app_up
open_file "$E2E_DIR/a.txt"
open_tab "$E2E_DIR/b.txt"

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

# ---- the quick-open list, drawn in the theme's colours (here Dark's input colour) ----
drive keys TessaryClass escape >/dev/null
wait_eq 0 search_state 5 || fail "Escape did not close the search panel"
drive keys TessaryClass ctrl+shift+p >/dev/null
wait_eq 41 drive send TessaryPopup $((0x8000 + 0x56)) 1 || fail "the palette did not open"
row=$(drive control TessaryPopup 2 send $((0x1A1)) 0)   # LB_GETITEMHEIGHT
read -r px py _ _ < <(drive rect TessaryPopup)
probe=$E2E_DIR/probe.png
row_pixel() { import -window root "$probe" && pixel "$probe" $((px + 300)) $((py + 44 + row + row / 2)); }
wait_eq 2D2D2D row_pixel || fail "the quick-open rows are not in the Dark theme's colours"
drive type TessaryPopup sv >/dev/null
wait_eq "File: Save (Ctrl+S)" drive list-item TessaryPopup 2 0 || fail "\"sv\" did not list Save first"
screenshot TessaryClass quick-open-dark-match.png
drive keys TessaryPopup escape >/dev/null

# ---- build ----
open_tab "$E2E_DIR/slow.py"
drive keys TessaryClass ctrl+end >/dev/null
drive type TessaryClass '# edited' >/dev/null
wait_eq 'slow.py • — Tessary' drive title TessaryClass || fail "typing into slow.py"
# A modified tab: the build asks first; Cancel builds nothing and saves nothing.
drive keys TessaryClass ctrl+b >/dev/null
question=$(drive wait-msgbox) || fail "building a modified tab did not ask"
[[ $question == *'Save and build?'* ]] || fail "the question reads: $question"
assert_eq "Save and build" "$(drive control '#32770' 1 text)" "the button that saves and builds"
drive answer-msgbox cancel >/dev/null
wait_eq 'slow.py • — Tessary' drive title TessaryClass || fail "Cancel changed the tab"
assert_eq 'wait' "$(cat "$E2E_DIR/slow.py")" "Cancel saved the file"
# Save and build: the file is saved, the build's tab counts the time until the program ends.
drive keys TessaryClass ctrl+b >/dev/null
drive answer-msgbox ok >/dev/null || fail "no question the second time"
wait_eq "$(printf 'wait\n# edited')" cat "$E2E_DIR/slow.py" || fail "Save and build did not save"
running() { drive title TessaryClass | grep -Eq '^Building … 0:0[1-9] — Tessary$' && echo yes || echo no; }
wait_eq yes running || fail "the running build's tab did not show its time"
text=$(drive editor-text TessaryClass)
[[ $text == 'Building … 0:'* ]] || fail "the running build's text: $text"
: >"$E2E_DIR/slow.py.stop"
wait_eq 'Build Output — Tessary' drive title TessaryClass || fail "the finished build's tab"
wait_eq 'standin python.exe\r\nfirst line: wait\r\ndone\r\n(exit code 3)' drive editor-text TessaryClass || fail "the output with its exit code"
pass

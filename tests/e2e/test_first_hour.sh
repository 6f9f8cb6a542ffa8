#!/usr/bin/env bash
# Everyday steps a new user takes in the first hour, each checked as the user sees it.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin first_hour

# The start of the caret's line.
caret_line_start() {
    local pos line
    pos=$(drive editor-send TessaryClass 2008) && line=$(drive editor-send TessaryClass 2166 "$pos") &&
        drive editor-send TessaryClass 2167 "$line"
}

# A click in column mode about twenty columns past the end of a short line puts the caret on that
# line, and typing pads the line up to the click.
printf 'the first line is long\r\nab\r\nthird\r\nlast\r\n' >"$E2E_DIR/columns.txt"
app_up "$(win_path "$E2E_DIR/columns.txt")"
wait_eq 'columns.txt — Tessary' drive title TessaryClass || fail "columns.txt did not open"
cmd 130
wait_eq 1 drive editor-send TessaryClass 2423 || fail "column mode"
line2=$(drive editor-send TessaryClass 2167 1)           # start of line 2
end2=$(drive editor-send TessaryClass 2136 1)            # end of line 2
x_end=$(drive editor-send TessaryClass 2164 0 "$end2")
y_line=$(drive editor-send TessaryClass 2165 0 "$line2")
column=$(($(drive editor-send TessaryClass 2164 0 1) - $(drive editor-send TessaryClass 2164 0 0)))
height=$(drive editor-send TessaryClass 2279 1)
read -r left top _ < <(drive editor-rect TessaryClass)
drive click TessaryClass $((left + x_end + 20 * column + column / 2)) $((top + y_line + height / 2)) >/dev/null
wait_eq "$line2" caret_line_start || fail "the click past the end of line 2 did not land on line 2"
drive type TessaryClass 'x' >/dev/null
wait_eq "the first line is long\\r\\nab$(printf '%*s' 20 '')x\\r\\nthird\\r\\nlast\\r\\n" \
    drive editor-text TessaryClass || fail "the typed text is not at the clicked column of line 2"
cmd 130
pass

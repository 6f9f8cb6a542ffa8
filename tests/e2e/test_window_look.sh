#!/usr/bin/env bash
# The main window as a user sees it: a screenshot for the README (docs/screenshot-main.png is
# copied from main-window.png), and the colours that make it.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin window_look

app_up
drive type TessaryClass $'Tessary\r\rA native editor for source code and plain text.\r' >/dev/null
cmd 100
wait_eq "New File 2 — Tessary" drive title TessaryClass || fail "second tab"
# Hover the modified, inactive first tab and its close mark.
hovered_close_mark() {
    mouse 0x200 388 109
    screenshot TessaryClass window_look-tab-hover.png && pixel "$E2E_ARTIFACTS/window_look-tab-hover.png" 381 101
}
wait_eq 3D3D3D hovered_close_mark || fail "hovered close mark"
assert_eq 2A2A2A "$(pixel "$E2E_ARTIFACTS/window_look-tab-hover.png" 300 100)" "hovered inactive tab"
assert_eq E04545 "$(pixel "$E2E_ARTIFACTS/window_look-tab-hover.png" 231 109)" "modified dot"
tab_click 240 "New File 1 • — Tessary"
drive move TessaryClass 700 400 >/dev/null
shot=$E2E_ARTIFACTS/main-window.png
# Caption row, the line under it, menu bar, editor background, active tab marker, modified dot of
# the active tab, clean dot of the second tab, status bar.
wait_eq "212121 333333 212121 1E1E1E 38D6C0 E04545 22C7A7 212121" shot_pixels TessaryClass "$shot" \
    500,12 500,31 600,50 800,400 300,124 231,109 411,109 600,710 || fail "main window colours"
assert_eq 1100x720 "$(identify -format '%wx%h' "$shot")" "window size"
hovered_copy() { screenshot TessaryClass toolbar-hover.png && pixel "$E2E_ARTIFACTS/toolbar-hover.png" 201 66; }
hover_until 2A2A2A TessaryClass 210 76 hovered_copy || fail "hovered toolbar button"   # the "Copy" button

app_quit 1
pass

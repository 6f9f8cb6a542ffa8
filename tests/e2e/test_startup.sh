#!/usr/bin/env bash
# Start, type into the untitled tab, ask to exit, decline saving: the program ends with code 0.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin startup

app_start
title=$(drive wait-window TessaryClass 20000) || fail "no main window"
assert_eq "New File 1 — Tessary" "$title" "title at start"
assert_eq 1 "$(drive child-count TessaryClass Scintilla)" "one editor"

drive type TessaryClass 'Hello, "Tessary" — ünï 中文' >/dev/null
wait_eq 'Hello, "Tessary" — ünï 中文' drive editor-text TessaryClass || fail "typed text not in the editor"
wait_eq "New File 1 • — Tessary" drive title TessaryClass || fail "title does not show the change"

drive command TessaryClass 109 >/dev/null
prompt=$(drive answer-msgbox no) || fail "no save prompt"
assert_eq $'Tessary\nSave changes to New File 1?' "$prompt" "save prompt"
app_wait_exit 20 || fail "did not exit"
assert_eq 0 "$APP_EXIT" "exit code"
pass

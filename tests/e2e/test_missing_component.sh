#!/usr/bin/env bash
# Without SciLexer.dll beside the executable the program explains itself, in the system's
# interface language (English here), and exits with code 1.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin missing_component
rm "$E2E_DIR/SciLexer.dll"

app_start
message=$(drive answer-msgbox ok 20000) || fail "no message box"
assert_eq $'Tessary\nCannot load SciLexer.dll (put it in the same folder as Tessary.exe)' "$message" "message"
app_wait_exit 20 || fail "did not exit"
assert_eq 1 "$APP_EXIT" "exit code"
drive no-msgbox 0 >/dev/null || fail "a second message box appeared"   # the program has ended
pass

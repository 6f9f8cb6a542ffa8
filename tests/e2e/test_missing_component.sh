#!/usr/bin/env bash
# Without SciLexer.dll beside the executable the program explains itself and exits with code 1.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin missing_component
rm "$E2E_DIR/SciLexer.dll"

app_start
message=$(drive answer-msgbox ok 20000) || fail "no message box"
assert_eq $'Tessary\n无法加载 SciLexer.dll（请将其放在 Tessary.exe 同目录）' "$message" "message"
app_wait_exit 20 || fail "did not exit"
assert_eq 1 "$APP_EXIT" "exit code"
drive no-msgbox 0 >/dev/null || fail "a second message box appeared"   # the program has ended
pass

#!/usr/bin/env bash
# Crash recovery under the timings that used to lose text: a second kill right after a recovery,
# and a snapshot write that fails.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin recovery_timing
source "$(dirname "$0")/recovery_lib.sh"

# 1. Killed again right after a recovery: the text is still offered at the third start, once.
app_up
drive type TessaryClass 'kept across two kills' >/dev/null
E2E_WAIT_S=20 wait_eq yes snapshot_holds 'kept across two kills' || fail "no snapshot"
kill_app
app_start
prompt=$(drive answer-msgbox yes 20000) || fail "no recovery question"
assert_eq "$(ask_text 1)" "$prompt" "first recovery question"
wait_eq 'kept across two kills' drive editor-text TessaryClass || fail "not recovered"
kill_app
app_start
prompt=$(drive answer-msgbox yes 20000) || fail "the text was lost by the second kill"
assert_eq "$(ask_text 1)" "$prompt" "the text is offered once after the second kill"
wait_eq 'kept across two kills' drive editor-text TessaryClass || fail "not recovered the second time"
assert_eq 1 "$(tabs)" "one recovered tab"
E2E_WAIT_S=20 wait_eq 1 folders || fail "the old snapshot folders were not let go once the new one held the text"

# 2. A snapshot write that fails (the index made read-only) is tried again; while it fails, a kill
# offers the older text and says how old it is; once it works, the newest text is offered.
drive keys TessaryClass ctrl+end >/dev/null
drive type TessaryClass ' +one' >/dev/null
E2E_WAIT_S=20 wait_eq yes snapshot_holds 'two kills +one' || fail "no snapshot after the recovery"
index=$(ls "$rec"/*/recovery.json)
chmod a-w "$index"
drive type TessaryClass ' +two' >/dev/null
E2E_WAIT_S=20 wait_eq 1 stale_marks || fail "the failed write left no mark"
chmod u+w "$index"
drive type TessaryClass ' +three' >/dev/null
E2E_WAIT_S=30 wait_eq 0 stale_marks || fail "the write was not tried again"
grep -qF '+three' "$rec"/*/tab-*.txt || fail "the retried snapshot does not hold the newest text"
# Failing again, then killed: the offer says how old its copy is.
chmod a-w "$index"
drive type TessaryClass ' +four' >/dev/null
E2E_WAIT_S=20 wait_eq 1 stale_marks || fail "the second failed write left no mark"
kill_app
chmod u+w "$index"
app_start
prompt=$(drive answer-msgbox yes 20000) || fail "no recovery question after the failed write"
case $prompt in
    "$(ask_text 1)"'\n\nThe latest changes could not be kept: what can be recovered is from '????-??-??' '??:??.) ;;
    *) fail "the offer of an older copy does not say how old it is: $prompt" ;;
esac
wait_eq 'kept across two kills +one +two +three' drive editor-text TessaryClass || fail "the newest kept text"
exit_clean 1
assert_eq 0 "$(folders)" "snapshot folders after a clean exit"


# 3. A background tab's changes discarded by Reload from its tab menu: the snapshot lets them go
# too (a crash would otherwise offer back a text the user threw away).
rm -f "$E2E_DIR/session.json"
printf 'bg\r\n' >"$d/bg.txt"
printf 'fg\r\n' >"$d/fg.txt"
app_up
open_tab "$d/bg.txt"
drive type TessaryClass 'thrown away ' >/dev/null
E2E_WAIT_S=20 wait_eq yes snapshot_holds 'thrown away' || fail "no snapshot of bg.txt"
open_tab "$d/fg.txt"
tab_menu 440 5   # Reload, from the menu of the tab of bg.txt
prompt=$(drive answer-msgbox no) || fail "no question before reloading over the changes"
[[ $prompt == *bg.txt* ]] || fail "the reload was not for bg.txt: $prompt"
E2E_WAIT_S=20 wait_eq no snapshot_holds 'thrown away' || fail "the discarded text stayed in the snapshot"
exit_clean
assert_eq 0 "$(folders)" "snapshot folders after the last clean exit"
pass

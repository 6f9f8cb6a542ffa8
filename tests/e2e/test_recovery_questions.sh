#!/usr/bin/env bash
# Crash recovery beside the other questions of a start: a recovery followed by the session restore
# brings a tab back once, and recovered changes over a file that changed on disk since are asked
# about and kept until decided.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin recovery_questions
source "$(dirname "$0")/recovery_lib.sh"

# 1. A recovered untitled tab that came from the session is not restored a second time.
rm -f "$E2E_DIR/session.json"
app_up
drive type TessaryClass 'from the session' >/dev/null
exit_clean 1
assert_file_exists "$E2E_DIR/session.json" "session with the untitled tab"
app_start
drive answer-msgbox yes 20000 >/dev/null || fail "no session question"
wait_eq 'from the session' drive editor-text TessaryClass || fail "session not restored"
drive type TessaryClass 'edited ' >/dev/null
edited=$(drive editor-text TessaryClass)
E2E_WAIT_S=20 wait_eq yes snapshot_holds "$edited" || fail "no snapshot of the edited session tab"
kill_app
app_start
drive answer-msgbox yes 20000 >/dev/null || fail "no recovery question"
wait_eq "$edited" drive editor-text TessaryClass || fail "the edited text was not recovered"
no_msgbox_now || fail "the session asked again for the tab the recovery brought back"
assert_eq 1 "$(tabs)" "one tab after recovery and session restore"
assert_eq "$edited" "$(drive editor-text TessaryClass)" "the edited text"
exit_clean 1
rm -f "$E2E_DIR/session.json"

# 2. Recovered changes over files that changed on disk: asked; Cancel keeps the snapshot, No
# opens the text as a new untitled tab; the files are not touched.
printf 'mapped text\n' >"$d/m.txt"
printf 'original\r\n' >"$d/a.txt"
app_up
open_tab "$d/m.txt"
cmd 185
wait_eq "hex=1 mapped=1" tab_state hex mapped || fail "m.txt is not mapped in hex"
drive type TessaryClass 4 >/dev/null   # 'm' (6D) -> 'M' (4D)
open_tab "$d/a.txt"
drive type TessaryClass 'mine ' >/dev/null
E2E_WAIT_S=20 wait_eq yes snapshot_holds 'mine original' || fail "no snapshot of a.txt"
grep -qs '"hex": 2' "$rec"/*/recovery.json || fail "no snapshot of the mapped hex tab"
kill_app
printf 'Xmapped text\n' >"$d/m.txt"          # a byte inserted at the start
printf 'original\r\ntheirs\r\n' >"$d/a.txt"  # changed by another program
cp "$d/m.txt" "$d/m.now"
cp "$d/a.txt" "$d/a.now"
app_start
drive answer-msgbox yes 20000 >/dev/null || fail "no recovery question"
changed=$(drive answer-msgbox cancel 20000) || fail "no question about the changed mapped file"
m_shown=$(win_path "$d/m.txt")
[[ $changed == *"${m_shown//\\/\\\\}"* ]] || fail "the question does not name m.txt: $changed"
drive answer-msgbox no 20000 >/dev/null || fail "no question about the changed text file"
wait_eq 'mine original\r\n' drive editor-text TessaryClass || fail "the recovered text is not in the new tab"
[[ $(drive title TessaryClass) == "New File "*" • — Tessary" ]] || fail "the recovered text is not in an untitled tab"
cmp -s "$d/m.txt" "$d/m.now" && cmp -s "$d/a.txt" "$d/a.now" || fail "recovering touched a changed file"
grep -qs '"hex": 2' "$rec"/*/recovery.json || fail "Cancel did not keep the snapshot of the mapped file"
exit_clean 1
grep -qs '"hex": 2' "$rec"/*/recovery.json || fail "the put-off snapshot went at the clean exit"
# The next start asks again; No lets it go.
app_start
prompt=$(drive answer-msgbox no 20000) || fail "the put-off snapshot was not offered again"
assert_eq "$(ask_text 1)" "$prompt" "the put-off tab offered again"
hex_kept() { { grep -ls '"hex": 2' "$rec"/*/recovery.json || true; } | wc -l; }
wait_eq 0 hex_kept || fail "No kept the snapshot"
exit_clean
assert_eq 0 "$(folders)" "snapshot folders after the last clean exit"
pass

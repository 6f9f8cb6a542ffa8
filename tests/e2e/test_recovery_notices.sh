#!/usr/bin/env bash
# What crash recovery tells about the tabs it cannot bring back: too large to have been kept (told
# once, the folder cleaned up), a text file gone (not counted), a file that cannot be opened (named
# with the reason, its data kept).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin recovery_notices
source "$(dirname "$0")/recovery_lib.sh"

# Snapshots of a crashed instance, planted: a tab too large to be kept (told once, and its folder
# goes), a tab whose text file is gone (not counted), and a tab over a file that no longer exists
# (named with the reason, and kept for a later start).
entry() {  # PATH TITLE FILE SKIPPED [HEX]
    local hex=''
    if [ -n "${5:-}" ]; then hex=', "hex": '$5; fi
    printf '{"path": "%s", "title": "%s", "file": "%s", "encoding": 0, "lineEnding": 0, "language": 0, "caret": 0, "modified": 1, "skipped": %s, "fileTime": 0, "fileSize": 0%s}' \
        "$1" "$2" "$3" "$4" "$hex"
}
mkdir -p "$rec/777-1" "$rec/778-1"
printf '\xef\xbb\xbf{"tabs": [\n%s\n]}\n' "$(entry '' huge.log '' 1)" >"$rec/777-1/recovery.json"
printf '\xef\xbb\xbf{"tabs": [\n%s,\n%s,\n%s\n]}\n' "$(entry '' 'Planted 1' tab-1.txt 0)" "$(entry '' 'Planted 2' tab-2.txt 0)" \
    "$(entry 'Z:\\nowhere\\gone.bin' gone.bin tab-3.txt 0 2)" >"$rec/778-1/recovery.json"
printf 'planted text' >"$rec/778-1/tab-1.txt"
printf '\x00\x00\x00\x00\x00\x00\x00\x00\x41' >"$rec/778-1/tab-3.txt"
app_start
told=$(drive answer-msgbox ok 20000) || fail "the tab too large to keep was not told"
[[ $told == *'too large to be kept'*huge.log* ]] || fail "the too-large notice: $told"
prompt=$(drive answer-msgbox yes 20000) || fail "no recovery question for the planted snapshot"
assert_eq "$(ask_text 2)" "$prompt" "a tab without its text file is not counted"
failed=$(drive answer-msgbox ok 20000) || fail "the tab that could not be restored was not named"
[[ $failed == *'could not be recovered'*'gone.bin: the file cannot be opened'* ]] || fail "the failure notice: $failed"
wait_eq 'planted text' drive editor-text TessaryClass || fail "the planted text was not recovered"
wait_eq no yes_if test -e "$rec/777-1" || fail "the folder of the too-large tab was left behind"
kept_titles() { grep -o '"title": "[^"]*"' "$rec/778-1/recovery.json" | tr '\n' ' '; }
E2E_WAIT_S=20 wait_eq '"title": "gone.bin" ' kept_titles || fail "the folder does not keep just the tab that could not be restored"
[ -f "$rec/778-1/tab-3.txt" ] || fail "the kept tab's data went"
exit_clean 1
assert_eq '"title": "gone.bin" ' "$(kept_titles)" "kept after the clean exit"
pass

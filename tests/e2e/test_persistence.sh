#!/usr/bin/env bash
# Settings, interface state and the session survive a restart; a cancelled close keeps the
# program running; log-off writes the session before the tabs go, and a vetoed one keeps them.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin persistence
d=$E2E_DIR/data
printf 'first\n' >"$d/one.txt"
printf 'second\n' >"$d/two.txt"
hex() { od -An -tx1 "$1" | tr -d ' \n'; }

# 1. Zoom in twice, switch theme, scheme and language, exit.
app_up
cmd 290 290 481 503 402   # zoom in twice, Light, Nord, Chinese
app_quit
[[ $(hex "$E2E_DIR/settings.json") == efbbbf* ]] || fail "settings.json has no byte-order mark"
grep -q '"zoom": 2' "$E2E_DIR/settings.json" || fail "zoom not saved: $(cat "$E2E_DIR/settings.json")"
assert_eq $'\xef\xbb\xbfmaximized=0\r\nlang=2\r\ntheme=1\r\nscheme=3\r\nsidebar=1\r\nstatus=1\r\nfindCase=0\r\nfindWord=0\r\nfindRegex=0\r\nfindAllFiles=0\r' \
    "$(cat "$E2E_DIR/ui.ini")" "ui.ini"
[ ! -e "$E2E_DIR/session.json" ] || fail "an empty untitled tab wrote a session"

# 2. The look comes back; build a session of two files and an untitled tab with tricky text.
app_up
wait_eq FFFFFF shot_pixels TessaryClass persistence-light.png 800,400 || fail "Light theme restored"
assert_eq 2 "$(drive editor-send TessaryClass 2374)" "zoom restored"
cmd 400 404  # back to English
tricky=$'say "hi" \\ back\tslash\r\nline \x01\x02 中文 😀 end'
drive type TessaryClass "$tricky" >/dev/null
# The text as editor-text prints it: backslash, CR and LF escaped.
expected=${tricky//\\/\\\\}
expected=${expected//$'\r'/\\r}
expected=${expected//$'\n'/\\n}
wait_eq "$expected" drive editor-text TessaryClass || fail "the typed text"
open_file "$d/one.txt"
open_tab "$d/two.txt"
tab_click 240 "新文件 1 • — Tessary"

# A cancelled close keeps the program, but the session was written.
cmd 109
drive answer-msgbox cancel >/dev/null || fail "no save prompt"
no_msgbox_now || fail "the cancelled close went on asking"
assert_eq "新文件 1 • — Tessary" "$(drive title TessaryClass)" "cancelled close keeps the tab"
assert_file_exists "$E2E_DIR/session.json" "session written at the first close"
rm "$E2E_DIR/session.json"
app_quit 1
assert_file_exists "$E2E_DIR/session.json" "session written again at the next close"

# 3. Yes restores the tabs, the active one and the exact text.
app_start
prompt=$(drive answer-msgbox yes 20000) || fail "no restore question"
assert_eq $'Tessary\nRestore the 3 files that were open when the app was closed?' "$prompt" "restore question"
# The title can show before the last tab is in: wait for all of it, tabs, active tab and its text.
wait_eq "3|New File 1 • — Tessary|$expected" tabs_title_text || fail "three tabs, the untitled one active with its exact text"

# 4. Log-off: the session (with the untitled text) is written when the end is asked for, and the
# tabs go only when it really comes. WM_QUERYENDSESSION is sent, as Windows sends it: its answer is
# the program's vote, 0 to keep the session. Cancel at the save prompt votes 0 and keeps everything;
# No and Yes vote 1. A log-off that another program vetoes keeps every tab.
query_end_session() {   # ANSWER [save-as path]: prints the vote
    local out=$E2E_DIR/query.out sender
    drive send TessaryClass 0x11 0 0 60000 >"$out" &
    sender=$!
    drive answer-msgbox "$1" >/dev/null || fail "no save prompt at log-off ($1)"
    [ -z "${2:-}" ] || drive file-dialog "$(win_path "$2")" >/dev/null || fail "no save dialog at log-off"
    wait "$sender" || fail "the log-off query got no answer"
    cat "$out"
}
rm "$E2E_DIR/session.json"
assert_eq 0 "$(query_end_session cancel)" "the vote after Cancel"
no_msgbox_now || fail "Cancel at log-off went on asking"
drive send TessaryClass 0x16 0 0 >/dev/null       # WM_ENDSESSION: vetoed (by this program)
assert_eq "3|New File 1 • — Tessary|$expected" "$(tabs_title_text)" "Cancel at log-off kept the tabs, modified"
grep -q 'say' "$E2E_DIR/session.json" || fail "the query did not write the session"
rm "$E2E_DIR/session.json"
assert_eq 1 "$(query_end_session no)" "the vote after No"
drive send TessaryClass 0x16 0 0 >/dev/null       # WM_ENDSESSION: vetoed by another program
assert_eq "3|New File 1 • — Tessary|$expected" "$(tabs_title_text)" "the vetoed log-off kept the tabs, modified"
grep -q 'say' "$E2E_DIR/session.json" || fail "the query did not write the session"
rm "$E2E_DIR/session.json"
# Yes saves the untitled text where the user says, then votes to end.
assert_eq 1 "$(query_end_session yes "$d/scratch.txt")" "the vote after Yes"
printf '%s' "$tricky" >"$E2E_DIR/tricky.txt"
cmp -s "$E2E_DIR/tricky.txt" "$d/scratch.txt" || fail "Yes at log-off did not save the text as typed"
drive send TessaryClass 0x16 1 0 >/dev/null       # WM_ENDSESSION: the session ends
app_wait_exit 20 || fail "did not end with the session"
# The session was written when the end was asked for, before the prompt.
grep -q 'say' "$E2E_DIR/session.json" || fail "log-off did not write the untitled text"

# 5. No deletes the session file.
app_start
drive answer-msgbox no 20000 >/dev/null || fail "no restore question"
wait_eq no yes_if test -e "$E2E_DIR/session.json" || fail "No kept session.json"

# 6. Saving settings.json from a tab applies it at once.
open_tab "$E2E_DIR/settings.json"
drive keys TessaryClass ctrl+a >/dev/null
drive type TessaryClass '{ "fontSize": 12, "tabWidth": 4, "zoom": 5 }' >/dev/null
cmd 103
wait_eq 5 drive editor-send TessaryClass 2374 || fail "saved settings were not applied (zoom)"
assert_eq 4 "$(drive editor-send TessaryClass 2121)" "saved settings were not applied (tab width)"
# The saved text has no recent files: File > Recent Files shows only its placeholder row.
menu_open
hover_until shown TesMenuPop 100 $((12 + 355 + 18)) shown TesSubPop || fail "no Recent Files submenu"
assert_eq $((8 + 36 + 24)) "$(drive rect TesSubPop | cut -d' ' -f4)" "Recent Files after saving the settings"
menu_escape
app_quit

# 7. A hand-written session: the files come back in order as they are now, and the stored active
# entry stays active although a folder before it opens no tab.
mkdir -p "$d/folder"
printf 'third\n' >"$d/three.txt"
printf 'second, changed since\n' >"$d/two.txt"
write_session 2 "$d/one.txt" "$d/folder" "$d/two.txt" "$d/three.txt"
app_start
prompt=$(drive answer-msgbox yes 20000) || fail "no restore question for the written session"
[[ $prompt == *" 4 files "* ]] || fail "restore question: $prompt"
wait_eq "3|two.txt — Tessary|second, changed since\n" tabs_title_text ||
    fail "three tabs (the folder opens none), the stored active entry active with its text of now"
for tab in "310 one.txt" "490 two.txt" "670 three.txt"; do
    mouse 0x201 "${tab% *}" 109 1
    wait_eq "${tab#* } — Tessary" drive title TessaryClass || fail "tab order: ${tab#* }"
done
app_quit

# A session of nothing that opens still leaves a tab to type in.
write_session 0 "$d/folder"
app_start
drive answer-msgbox yes 20000 >/dev/null || fail "no restore question for a folder-only session"
wait_eq "1|New File 1 — Tessary|" tabs_title_text || fail "no untitled tab after restoring nothing"
app_quit
pass

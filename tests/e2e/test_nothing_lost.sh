#!/usr/bin/env bash
# One file gets one tab, whatever name it is reached by, and every tab is bound to a full path:
# a session naming one file in many ways, a relative command-line path and a project file with
# entries relative to itself all end as full paths in session.json.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin nothing_lost
d=$E2E_DIR/data
mkdir -p "$d/proj/sub"
printf 'alpha\n' >"$d/Notes File.txt"
ln "$d/Notes File.txt" "$d/hard.txt"
ln -s "$d/Notes File.txt" "$d/soft.txt"
printf 'a\n' >"$d/proj/a.txt"
printf 'b\n' >"$d/proj/sub/b.txt"

# The full paths session.json holds, one a line, in tab order.
session_paths() {
    python3 - "$E2E_DIR/session.json" <<'PY'
import json, sys
data = json.loads(open(sys.argv[1], encoding="utf-8-sig").read())
for tab in data["tabs"]:
    print(tab["path"] or "(untitled)")
PY
}

# 1. A session naming one file six ways: case, "/" and "..", trailing dots and spaces, the \\?\
#    prefix, a hard link and a symbolic link. One tab.
python3 - "$(win_path "$d")" "$E2E_DIR/session.json" <<'PY'
import json, sys
folder, session = sys.argv[1:3]
names = [
    folder + "\\Notes File.txt",
    folder.upper() + "\\notes file.TXT",
    folder.replace("\\", "/") + "/proj/../Notes File.txt",
    folder + "\\Notes File.txt. .",
    "\\\\?\\" + folder + "\\Notes File.txt",
    folder + "\\hard.txt",
    folder + "\\soft.txt",
]
tabs = [{"path": n} for n in names]
open(session, "w", encoding="utf-8-sig").write(json.dumps({"active": 0, "tabs": tabs}, indent=2))
PY
app_start
drive answer-msgbox yes 20000 >/dev/null || fail "no restore question"
wait_eq "Notes File.txt — Tessary" drive title TessaryClass || fail "the session did not come back"
no_msgbox_now || fail "a message while restoring"
assert_eq 1 "$(drive child-count TessaryClass Scintilla)" "one tab for one file named seven ways"
app_quit
assert_eq "$(win_path "$d")\\Notes File.txt" "$(session_paths)" "the session after one-file restore"

# 2. A relative path on the command line (the program starts in its own folder).
rm -f "$E2E_DIR/session.json"
app_up 'data\proj\sub\..\a.txt'
wait_eq "a.txt — Tessary" drive title TessaryClass || fail "the command-line file did not open"
app_quit
assert_eq "$(win_path "$d")\\proj\\a.txt" "$(session_paths)" "the session after a relative command line"

# 3. A project file written by hand, relative to itself. Open Project's dialog moves the current
#    folder, so entries taken from it would land elsewhere.
rm -f "$E2E_DIR/session.json"
printf '{\n  "folder": ".",\n  "open_files": ["a.txt", "sub\\\\b.txt", "../Notes File.txt"]\n}\n' \
    >"$d/proj/p.tessary"
app_up
dialog_file 240 "$d/proj/p.tessary"
wait_eq "Notes File.txt — proj" drive title TessaryClass || fail "the project's files or folder name"
no_msgbox_now || fail "a message while opening the project"
app_quit
expected=$(printf '%s\n' "$(win_path "$d")\\proj\\a.txt" "$(win_path "$d")\\proj\\sub\\b.txt" \
    "$(win_path "$d")\\Notes File.txt")
assert_eq "$expected" "$(session_paths)" "the session after a project with relative entries"

# 4. Out of memory while switching a tab to the hex view: a message names the command, the
#    program goes on, and the tab keeps its text and stays a text tab (saving it then writes the
#    same bytes).
rm -f "$E2E_DIR/session.json"
python3 -c 'import sys; open(sys.argv[1], "w").write("".join("line of text %07d\n" % i for i in range(55000)))' "$d/big.txt"
cp "$d/big.txt" "$d/big.expected"
app_up 'data\big.txt'
wait_eq "big.txt — Tessary" drive title TessaryClass || fail "big.txt did not open"
drive send TessaryClass $((0x8000 + 0x57)) >/dev/null  # the next large copy fails
cmd 185
message=$(drive answer-msgbox ok) || fail "no message when the hex switch ran out of memory"
[[ $message == *"Not enough memory for Hex Mode."* ]] || fail "unexpected out-of-memory message: $message"
assert_eq "enc=0 eol=1 hex=0 mapped=0 modified=0 ro=0" "$(tab_state)" "the tab after the failed switch"
assert_eq 55001 "$(drive editor-send TessaryClass 2154)" "lines after the failed switch"
stamp=$(file_stamp "$d/big.txt")
cmd 103
E2E_WAIT_S=30 wait_rewritten "$d/big.txt" "$stamp" || fail "big.txt was not saved"
cmp -s "$d/big.expected" "$d/big.txt" || fail "the text changed in the failed switch"
# With memory enough again the same switch works.
cmd 185
E2E_WAIT_S=30 wait_eq "enc=0 eol=1 hex=1 mapped=1 modified=0 ro=0" tab_state || fail "the hex switch afterwards"
no_msgbox_now || fail "a message on the way to hex"
app_quit
cmp -s "$d/big.expected" "$d/big.txt" || fail "big.txt changed in the hex view"
# 5. Save As under a name of another language colours the text at once: "int" at the start of a
#    new tab saved as a.cpp takes the keyword style.
rm -f "$E2E_DIR/session.json"
app_up
wait_eq "New File 1 — Tessary" drive title TessaryClass || fail "no new tab at start"
drive type TessaryClass 'int x;' >/dev/null
wait_eq 6 drive editor-send TessaryClass 2006 || fail "typing into the new tab"
assert_eq 0 "$(drive editor-send TessaryClass 2010 0)" "style of plain text"
dialog_file 104 "$d/a.cpp"
wait_eq "a.cpp — Tessary" drive title TessaryClass || fail "Save As a.cpp"
wait_eq 5 drive editor-send TessaryClass 2010 0 || fail "the keyword is not coloured after Save As"
app_quit
pass

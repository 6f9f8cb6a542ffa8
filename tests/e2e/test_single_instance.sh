#!/usr/bin/env bash
# One running Tessary per program folder: a later start hands its files to the running window and
# ends with exit code 0, starts at the same moment end in one window with every file, and a copy
# in another folder runs on its own.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin single_instance
d=$E2E_DIR/data
for name in a b c; do printf '%s text\r\n' "$name" >"$d/$name.txt"; done

# A start of the program folder's exe in the background; its process id in STARTED.
STARTED=
start_more() {
    (cd "$E2E_DIR" && exec wine "$E2E_DIR/Tessary.exe" "$@" </dev/null >/dev/null 2>&1) &
    STARTED=$!
}
running() { if ps -o stat= -p "$1" 2>/dev/null | grep -qv '^Z'; then echo running; else echo ended; fi; }
# Waits for the start PID to end by itself, with exit code 0 (WHAT names it).
ended_ok() {
    local code=0
    E2E_WAIT_S=30 wait_eq ended running "$1" >/dev/null || { kill -9 "$1" 2>/dev/null; fail "$2 is still running"; }
    wait "$1" || code=$?
    assert_eq 0 "$code" "exit code of $2"
}
tabs() { drive child-count TessaryClass Scintilla; }

# 1. A second start with a file while Tessary runs: the file opens in the running window.
app_up
start_more "$(win_path "$d/a.txt")"
ended_ok "$STARTED" "the second start"
wait_eq "a.txt — Tessary" drive title TessaryClass || fail "the running window did not open a.txt"
assert_eq 1 "$(drive count TessaryClass)" "main windows"
before=$(tabs)

# 2. Two starts at once (several files opened together): one window, every file.
start_more "$(win_path "$d/b.txt")"
p1=$STARTED
start_more "$(win_path "$d/c.txt")"
p2=$STARTED
ended_ok "$p1" "the first of two starts"
ended_ok "$p2" "the second of two starts"
wait_eq $((before + 2)) tabs || fail "not every file of the two starts opened"
assert_eq 1 "$(drive count TessaryClass)" "main windows after two starts"
app_quit

# 3. Three starts at once while none runs: one of them becomes the window, the others hand over.
rm -f "$E2E_DIR/session.json"  # no restore question in between
pids=()
for name in a b c; do
    start_more "$(win_path "$d/$name.txt")"
    pids+=("$STARTED")
done
drive wait-window TessaryClass 20000 >/dev/null || fail "no main window after three starts"
alive() {
    local n=0 p
    for p in "${pids[@]}"; do [ "$(running "$p")" = running ] && n=$((n + 1)); done
    echo "$n"
}
E2E_WAIT_S=30 wait_eq 1 alive || fail "more than one of three starts kept running"
for p in "${pids[@]}"; do
    if [ "$(running "$p")" = running ]; then
        APP_PID=$p
    else
        ended_ok "$p" "a start that handed over"
    fi
done
wait_eq 4 tabs || fail "the window of three starts does not hold its untitled tab and the three files"
assert_eq 1 "$(drive count TessaryClass)" "main windows after three starts"

# 4. A copy in another folder is an instance of its own.
mkdir -p "$E2E_DIR/portable"
cp "$E2E_DIR/Tessary.exe" "$E2E_DIR/SciLexer.dll" "$E2E_DIR/portable/"
(cd "$E2E_DIR/portable" && exec wine "$E2E_DIR/portable/Tessary.exe" </dev/null >/dev/null 2>&1) &
portable=$!
wait_eq 2 drive count TessaryClass || fail "the copy in another folder did not run on its own"
kill "$portable"
wait "$portable" 2>/dev/null || true
wait_eq 1 drive count TessaryClass || fail "the copy did not end"
app_quit
pass

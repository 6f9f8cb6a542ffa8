#!/usr/bin/env bash
# Restoring a session of many small source files through the real Tessary.exe, against a session of
# one such file in the same run: the time from the answer to the restore question until the last
# tab is active and the window answers, and the worst gap in the window's answers to WM_NULL sent
# from this other process meanwhile.
#
#   bash bench/e2e_session_restore.sh [tabs]      (default: 300)
#
# Build first (scripts/build.sh). Runs in a Wine prefix of its own and an Xvfb display of its own.
# shellcheck source=e2e_bench_lib.sh
source "$(dirname "$0")/e2e_bench_lib.sh"
count=${1:-300}
bench_start

# Restores a session of the first N files (the last one active); sets ready_ms and gap_ms.
restore() {
    local n=$1 last paths=()
    for ((i = 0; i < n; i++)); do paths+=("$d/f$(printf '%03d' "$i").cpp"); done
    write_session $((n - 1)) "${paths[@]}"
    last=${paths[n - 1]##*/}
    app_start
    drive wait-window TessaryClass 30000 >/dev/null || fail "no main window"
    drive wait-msgbox 30000 >/dev/null || fail "no restore question"
    read -r ready_ms gap_ms <<<"$(drive answer-gaps TessaryClass yes "$last — Tessary")" || fail "the restore of $n tabs"
    assert_eq "$n" "$(drive child-count TessaryClass Scintilla)" "tabs after the restore of $n"
    drive command TessaryClass 109 >/dev/null
    app_wait_exit 120 || fail "did not exit"
}

e2e_begin "session-$count"
trap cleanup EXIT
d=$E2E_DIR/data
mkdir -p "$d"
# Source files of about 6 KB: functions with comments, strings and numbers for the lexer.
python3 - "$d" "$count" <<'PY'
import sys
folder, count = sys.argv[1], int(sys.argv[2])
for i in range(count):
    body = "".join(f"// step {k} of file {i}\nint step_{k}(int value) {{\n    return value * {k} + \"{k}\"[0];\n}}\n\n"
                   for k in range(80))
    open(f"{folder}/f{i:03d}.cpp", "w", newline="\r\n").write(f"#include <string>\n\n{body}")
PY
restore 1
one_ms=$ready_ms one_gap=$gap_ms
restore "$count"
many_ms=$ready_ms many_gap=$gap_ms
printf '%-10s %9s %13s\n' tabs "ready ms" "worst gap ms"
printf '%-10s %9s %13s\n' 1 "$one_ms" "$one_gap" "$count" "$many_ms" "$many_gap"
echo "ratio $count tabs / 1 tab: ready $(ratio "$many_ms" "$one_ms") ($(ratio "$((many_ms - one_ms))" "$((count - 1))") ms a tab)"

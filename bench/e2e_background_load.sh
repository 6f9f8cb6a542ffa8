#!/usr/bin/env bash
# A large UTF-8 file loading in the real Tessary.exe, against the load that holds the interface
# thread (the tab menu's Reload, which reads the file the way every open did before loads went to a
# worker), both in the same run: the time until the text is ready, the worst gap in the window's
# answers to WM_NULL sent from this other process meanwhile, and the program's peak memory (VmHWM,
# Wine's own ~60 MB included).
#
#   bash bench/e2e_background_load.sh [MiB ...]      (default: 200 1024)
#
# The files are generated under $TMPDIR (default /tmp) and deleted at the end. Build first
# (scripts/build.sh). Runs in a Wine prefix of its own and an Xvfb display of its own.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TESSARY_BUILD_DIR=${TESSARY_BUILD:-$root/build}
[ -f "$TESSARY_BUILD_DIR/Tessary.exe" ] || { echo "build first: no $TESSARY_BUILD_DIR/Tessary.exe" >&2; exit 2; }
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(200 1024)

# shellcheck source=../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tessary-bench.XXXXXX")
export TMPDIR=$scratch TESSARY_E2E_SCRATCH=$scratch
unset TESSARY_USE_DISPLAY
wine_env_start "${XDG_CACHE_HOME:-$HOME/.cache}/tessary/bench-prefix"
# shellcheck source=../tests/e2e/lib.sh
source "$root/tests/e2e/lib.sh"

peak_mb() { awk '/^VmHWM:/ { printf "%.0f", $2 / 1000 }' "/proc/$APP_PID/status"; }
ratio() { echo "$1 / $2" | bc -l | xargs printf '%.2f'; }

# CRLF lines with some two- and three-byte characters, padded with ASCII to exactly SIZE bytes.
make_file() {
    python3 - "$1" "$2" <<'PY'
import sys
path, size = sys.argv[1], int(sys.argv[2])
line = "    total += values[17] * weight; // \u00e9t\u00e9 \u4e2d\u6587 if (total > limit) return;\r\n".encode()
block = line * (1048576 // len(line))
with open(path, "wb") as out:
    written = 0
    while written + len(block) <= size:
        out.write(block)
        written += len(block)
    rest = size - written
    out.write(line * (rest // len(line)) + b"x" * (rest % len(line)))
PY
}

cleanup() {
    _e2e_cleanup
    wine_env_stop
    rm -rf "$scratch"
}

printf '%-8s %-34s %9s %13s %9s\n' size load "ready ms" "worst gap ms" "peak MB"
for mib in "${sizes[@]}"; do
    e2e_begin "background-$mib"
    trap cleanup EXIT
    d=$E2E_DIR/data
    mkdir -p "$d"
    size=$((mib * 1048576))
    file=$d/big.txt
    make_file "$file" "$size"
    printf '\xef\xbb\xbf{\n  "active": 0,\n  "tabs": [\n    { "path": "%s" }\n  ]\n}\n' \
        "$(win_path "$file" | sed 's/\\/\\\\/g')" >"$E2E_DIR/session.json"

    app_start
    drive wait-window TessaryClass 30000 >/dev/null || fail "no main window"
    read -r bg_ms bg_gap < <(drive answer-gaps TessaryClass yes "big.txt — Tessary") || fail "background load"
    bg_peak=$(peak_mb)
    assert_eq "$size" "$(drive editor-send TessaryClass 2006)" "all bytes reached the editor"
    printf '%-8s %-34s %9s %13s %9s\n' "${mib}M" "in the background (session restore)" "$bg_ms" "$bg_gap" "$bg_peak"

    # The tab menu's Reload reads the file again on the interface thread: its time to ready is the
    # window's longest gap once the click is in (measured from a little after the click: the
    # baseline's figures are, if anything, too small).
    drive rclick TessaryClass 300 109 >/dev/null
    wait_eq shown shown TesMenuPop || fail "no tab menu"
    drive click TesMenuPop 100 $((12 + 4 + 5 * 36 + 9 + 18)) >/dev/null   # Reload
    sync_gap=$(drive gaps TessaryClass $((mib * 60))) || fail "reload"
    assert_eq "$size" "$(drive editor-send TessaryClass 2006)" "all bytes reached the editor again"
    printf '%-8s %-34s %9s %13s %9s\n' "${mib}M" "on the interface thread (reload)" "~$sync_gap" "$sync_gap" "$(peak_mb)"
    echo "  ratios (background / interface thread): ready $(ratio "$bg_ms" "$sync_gap")," \
        "worst gap $(ratio "$bg_gap" "$sync_gap")"

    drive command TessaryClass 109 >/dev/null
    app_wait_exit 120 || fail "did not exit"
    rm -rf "$d"
done

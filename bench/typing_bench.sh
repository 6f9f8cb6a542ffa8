#!/usr/bin/env bash
# Typing latency through the real Tessary.exe beside a bare window hosting the same editing
# component (TesBareHost.exe) with the same file, in the same run. Each file is given on the
# command line; each key is one WM_CHAR sent synchronously to the visible component, followed by a
# synchronous repaint of the whole window (tesdrive key-timing), after a few keys of warm-up.
# Prints median, p95 and max per key in milliseconds and the ratios Tessary / bare window and
# file / 32-byte file.
#
#   bash bench/typing_bench.sh [--keys N] [--exe PATH/Tessary.exe] [small|1|4|7|100 ...]
#
# Default: 250 keys over small (a 32-byte C++ file, lexer on), 1, 7 and 100 MiB of plain text.
# --exe measures another build of the program (for example the one before a change) with this
# build's component, driver and bare window. Build first (scripts/build.sh). Runs in a Wine prefix
# of its own (~/.cache/tessary/bench-typing-prefix) and an Xvfb display of its own; the files are
# generated under $TMPDIR and deleted at the end.
# shellcheck source=e2e_bench_lib.sh
source "$(dirname "$0")/e2e_bench_lib.sh"
keys=250
warmup=10
exe=$TESSARY_BUILD_DIR/Tessary.exe
sizes=()
while [ $# -gt 0 ]; do
    case $1 in
        --keys) keys=$2; warmup=$(( keys < 10 ? 1 : 10 )); shift 2 ;;
        --exe) exe=$(realpath "$2"); shift 2 ;;
        small | 1 | 4 | 7 | 100) sizes+=("$1"); shift ;;
        *) echo "usage: typing_bench.sh [--keys N] [--exe Tessary.exe] [small|1|4|7|100 ...]" >&2; exit 2 ;;
    esac
done
[ ${#sizes[@]} -gt 0 ] || sizes=(small 1 7 100)
[ -f "$exe" ] || { echo "build first: no $exe" >&2; exit 2; }
cmake --build "$TESSARY_BUILD_DIR" --target TesBareHost tesdrive -- --no-print-directory >/dev/null

bench_start bench-typing-prefix
trap cleanup EXIT
export E2E_WAIT_S=300

# "small": 32 bytes of C++. A number: that many MiB of log-like plain text, 84-byte lines.
make_file() {
    python3 - "$1" "$2" <<'PY'
import sys
path, what = sys.argv[1], sys.argv[2]
if what == "small":
    data = b"int main() {\n    return 0;\n}\n//\n"
else:
    size = int(what) * 1048576
    lines = []
    for n in range(1000):
        line = "2026-12-07 10:%02d:%02d.%03d INFO worker-%d request %06d served in %3d ms" % (
            n // 60 % 60, n % 60, n % 1000, n % 8, n * 37 % 1000000, n * 13 % 997)
        lines.append(line.ljust(82, ".") + "\r\n")
    block = "".join(lines).encode()
    data = block * (size // len(block))
    data += b"x" * (size - len(data))
open(path, "wb").write(data)
PY
}

# Starts one host on FILE, waits until the component holds all of it, times the keys after a
# short warm-up, ends it. Prints "median p95 max", or "- - -" when the host failed.
measure() {
    local class=$1 file=$2 size out=
    shift 2
    size=$(stat -c %s "$file")
    (cd "$E2E_DIR" && exec wine "$@" "$(win_path "$file")" </dev/null >/dev/null 2>&1) &
    APP_PID=$!
    if drive wait-window "$class" 60000 >/dev/null &&
        wait_eq "$size" drive editor-send "$class" 2006 >/dev/null &&
        drive key-timing "$class" "$warmup" >/dev/null; then
        out=$(drive key-timing "$class" "$keys") || out=
    fi
    _e2e_cleanup
    [ -n "$out" ] || { echo "$class failed on $file" >&2; out="- - -"; }
    echo "$out"
}


printf '%-8s %-26s %-26s %-12s\n' file "Tessary median/p95/max ms" "bare median/p95/max ms" "Tessary/bare"
small_median=
for what in "${sizes[@]}"; do
    e2e_begin "typing-$what"
    if [ "$what" = small ]; then file=$E2E_DIR/small.cpp; label=32B.cpp; else file=$E2E_DIR/big$what.txt; label=${what}MiB; fi
    make_file "$file" "$what"
    cp "$exe" "$E2E_DIR/Tessary.exe"
    cp "$TESSARY_BUILD_DIR/TesBareHost.exe" "$E2E_DIR/"
    timing=$(measure TessaryClass "$file" "$E2E_DIR/Tessary.exe")
    read -r tm tp tx <<<"$timing"
    timing=$(measure TesBareHost "$file" "$E2E_DIR/TesBareHost.exe")
    read -r bm bp bx <<<"$timing"
    printf '%-8s %-26s %-26s %s / %s\n' "$label" "$tm / $tp / $tx" "$bm / $bp / $bx" \
        "$(ratio "$tm" "$bm")" "$(ratio "$tp" "$bp")"
    if [ "$what" = small ]; then
        small_median=$tm
    elif [ -n "$small_median" ]; then
        printf '%-8s Tessary median vs. 32-byte file: %s\n' "" "$(ratio "$tm" "$small_median")"
    fi
    rm -f "$file"
done

#!/usr/bin/env bash
# Each benchmark's own correctness check on a small input (the CTest entry bench.correctness):
# folder search against whole decoded files, a patched byte saved over a mapped file, a UTF-8 save
# giving back the bytes it opened. Fails when any of them does.
#   correctness.sh <folder holding the bench_*.exe>
set -uo pipefail
bin=${1:?the folder of the benchmark programs}
status=0
check() {
    local program=$1
    shift
    echo "== $program $*"
    wine "$bin/$program.exe" "$@" </dev/null 2>&1 | sed 's/\r$//'
    local code=${PIPESTATUS[0]}
    if [ "$code" -ne 0 ]; then
        echo "FAIL: $program $* exited with $code"
        status=1
    fi
}
check bench_search --check
check bench_hex 16
check bench_open_save 1
exit $status

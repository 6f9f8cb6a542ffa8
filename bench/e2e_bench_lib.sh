# What the benchmarks that drive the real Tessary.exe share: a Wine prefix of their own (PREFIX,
# default bench-prefix, under ~/.cache/tessary), an Xvfb display of their own, a scratch folder
# under $TMPDIR that `cleanup` deletes, the end-to-end library, and the figures' helpers.
#
#   source "$(dirname "$0")/e2e_bench_lib.sh"; bench_start [PREFIX]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TESSARY_BUILD_DIR=${TESSARY_BUILD:-$root/build}

bench_start() {
    [ -f "$TESSARY_BUILD_DIR/Tessary.exe" ] || { echo "build first: no $TESSARY_BUILD_DIR/Tessary.exe" >&2; exit 2; }
    # shellcheck source=../scripts/wine-env.sh
    source "$root/scripts/wine-env.sh"
    scratch=$(mktemp -d "${TMPDIR:-/tmp}/tessary-bench.XXXXXX")
    export TMPDIR=$scratch TESSARY_E2E_SCRATCH=$scratch
    unset TESSARY_USE_DISPLAY
    wine_env_start "${XDG_CACHE_HOME:-$HOME/.cache}/tessary/${1:-bench-prefix}"
    # shellcheck source=../tests/e2e/lib.sh
    source "$root/tests/e2e/lib.sh"
}

cleanup() {
    _e2e_cleanup
    wine_env_stop
    rm -rf "$scratch"
}

# The program's peak memory in MB (VmHWM, Wine's own ~60 MB included).
peak_mb() { awk '/^VmHWM:/ { printf "%.0f", $2 / 1000 }' "/proc/$APP_PID/status"; }
# A / B with two decimals; "-" when either is "-".
ratio() { if [ "$1" = - ] || [ "$2" = - ]; then echo -; else echo "$1 / $2" | bc -l | xargs printf '%.2f'; fi; }

#!/usr/bin/env bash
# Builds Tessary and starts it under Wine on this desktop (or, without a display, on a virtual one).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/build.sh"
build=${TESSARY_BUILD:-$root/build}

# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
if [ -n "${DISPLAY:-}" ]; then
    export TESSARY_USE_DISPLAY=1
else
    echo "run: no DISPLAY set; starting Tessary on a virtual display (Xvfb)" >&2
fi
trap wine_env_stop EXIT
wine_env_start
wine "$build/Tessary.exe" </dev/null

#!/usr/bin/env bash
# Takes the comparison picture (tests/e2e/scene_lib.sh: a folder in the sidebar, a C++ file in a
# tab, the search panel open) with the build in BUILD_DIR at a display scale of DPI dots per inch
# (default 96), on a screen of its own that is 1280x1024 at 96 dpi and grows with the scale, in a
# Wine prefix of its own. Writes the main window's picture to OUT.png.
#
#   bash scripts/scene-shot.sh BUILD_DIR OUT.png [DPI]
#
# The display-scale screenshots in docs/ come from here; two builds' pictures at 96 dpi compare
# with `compare -metric AE a.png b.png null:` (0: pixel-identical).
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 BUILD_DIR OUT.png [DPI]" >&2; exit 2; }
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TESSARY_BUILD_DIR
TESSARY_BUILD_DIR=$(realpath "$1")
out=$(realpath -m "$2")
dpi=${3:-96}
[[ $dpi =~ ^[0-9]+$ ]] && [ "$dpi" -ge 96 ] || { echo "$0: DPI must be a number from 96 up" >&2; exit 2; }

source "$root/tests/e2e/lib.sh"
source "$root/tests/e2e/scene_lib.sh"
source "$root/scripts/wine-env.sh"
export TESSARY_SCREEN=$(((1280 * dpi + 48) / 96))x$(((1024 * dpi + 48) / 96))
export TESSARY_E2E_SCRATCH=${TMPDIR:-/tmp}/tessary-scene-$$
unset TESSARY_USE_DISPLAY
wine_env_start "${TMPDIR:-/tmp}/tessary-scene-prefix" || { echo "$0: no Wine prefix" >&2; exit 1; }
e2e_begin scene
_stop_scene() {
    _e2e_cleanup
    wine_env_stop
    rm -rf "$TESSARY_E2E_SCRATCH"
}
trap _stop_scene EXIT
if [ "$dpi" = 96 ]; then
    wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f </dev/null >/dev/null 2>&1 || true
else
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1
fi

# The caret of the focused find field stays lit instead of blinking, so that pictures compare.
wine reg add 'HKCU\Control Panel\Desktop' /v CursorBlinkRate /d -1 /f </dev/null >/dev/null 2>&1
scene_start
mkdir -p "$(dirname "$out")"
scene_shot "$out" || fail "no steady picture"
drive command TessaryClass 109 >/dev/null  # Exit
app_wait_exit 20 || fail "the program did not exit"
echo "$out: $(identify -format '%wx%h' "$out") at $dpi dpi"

#!/usr/bin/env bash
# Builds everything and runs every test (unit tests and end-to-end tests) under Wine in a
# throw-away prefix and an Xvfb display of its own.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/build.sh"
build=${TESSARY_BUILD:-$root/build}

# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tessary-test.XXXXXX")
export TMPDIR=$scratch
unset TESSARY_USE_DISPLAY
cleanup() { wine_env_stop; rm -rf "$scratch"; }
trap cleanup EXIT
wine_env_start "$scratch/prefix"

status=0
ctest --test-dir "$build" --output-on-failure --timeout 300 "$@" || status=$?
exit $status

#!/usr/bin/env bash
# Sets the machine up (once) and builds Tessary, its component DLL, its tests and its installer
# package into build/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh"
build=${TESSARY_BUILD:-$root/build}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
fi
cmake --build "$build" -j"$(nproc)" -- --no-print-directory >/dev/null
# The installer package, which its end-to-end test installs.
cmake --build "$build" --target msi -- --no-print-directory >/dev/null
echo "build: $build/Tessary.exe"

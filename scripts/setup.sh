#!/usr/bin/env bash
# Installs everything a fresh Debian 12 machine needs to build and test Tessary:
# the mingw-w64 cross compiler, Wine, Xvfb and friends, fonts, GoogleTest sources,
# the Scintilla/Lexilla sources from Debian's scite source package and PCRE2 from its pcre2 one.
# CUPS with its PDF queue and poppler serve the printing tests; wixl (msitools) builds the installer.
# Idempotent: a second run only checks and returns.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps_dir=${TESSARY_DEPS_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/tessary}

packages=(
  g++-mingw-w64-x86-64-posix wine xvfb xdotool imagemagick cmake make
  googletest dpkg-dev fonts-liberation fonts-dejavu-core fonts-wqy-microhei locales xcompmgr
  cups printer-driver-cups-pdf poppler-utils wixl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

apt_updated=0
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root apt-get update -qq
  apt_updated=1
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# A Chinese locale lets one test run Wine with the GBK (936) ANSI code page.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  as_root sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi

# Source entries mirror the machine's own binary entries (deb822 and one-line forms), so that
# `apt-get source` finds the packages whose sources the build uses.
ensure_source_entries() {
  local srcfile=/etc/apt/sources.list.d/tessary-src.sources tmp f
  if ! grep -q '^Types: deb-src' "$srcfile" 2>/dev/null; then
    tmp=$(mktemp)
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] && [ "$f" != "$srcfile" ] || continue
      awk 'BEGIN{RS=""; ORS="\n\n"} /(^|\n)Types:([^\n]* )?deb( |\n|$)/ && !/(^|\n)Enabled: *no/ {
             gsub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f" >>"$tmp"
    done
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [ -f "$f" ] || continue
      grep -E '^[[:space:]]*deb[[:space:]]' "$f" | grep -v -E 'cloud|nodesource' |
        while read -r _ rest; do
          # one-line form: deb [opts] uri suite components...
          opts=""; if [[ $rest == \[* ]]; then opts=${rest%%]*}]; rest=${rest#*] }; fi
          read -r uri suite comps <<<"$rest"
          printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n\n' "$uri" "$suite" "$comps"
        done >>"$tmp"
    done
    as_root install -m 644 "$tmp" "$srcfile"
    rm -f "$tmp"
    apt_updated=0
  fi
  [ "$apt_updated" -eq 1 ] || as_root apt-get update -qq >&2
  apt_updated=1
}

# Downloads the upstream archive of a source package into $deps_dir/download and prints its path.
# Only the .orig archive is used: a security update whose patch files are not (yet) on the mirror
# still has the release's archive, so the release's own suite is tried when the newest one fails.
fetch_orig() {
  local package=$1 orig codename
  mkdir -p "$deps_dir/download"
  orig=$(ls "$deps_dir"/download/"${package}"_*.orig.tar.* 2>/dev/null | head -n 1)
  if [ -z "$orig" ]; then
    ensure_source_entries
    (cd "$deps_dir/download" && apt-get source --download-only -qq "$package" 2>&1 >/dev/null |
      grep -v -E 'unsandboxed|Failed to fetch|Failed to fetch some' >&2 || true)
    orig=$(ls "$deps_dir"/download/"${package}"_*.orig.tar.* 2>/dev/null | head -n 1)
  fi
  if [ -z "$orig" ]; then
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    (cd "$deps_dir/download" && apt-get source --download-only -qq "$package/$codename" 2>&1 >/dev/null |
      grep -v 'unsandboxed' >&2 || true)
    orig=$(ls "$deps_dir"/download/"${package}"_*.orig.tar.* 2>/dev/null | head -n 1)
  fi
  [ -n "$orig" ] || { echo "setup: cannot download the $package sources" >&2; exit 1; }
  echo "$orig"
}

# Scintilla and Lexilla come from the scite source package. Only their two folders are
# unpacked; nothing else in that archive is used.
src_dir="$deps_dir/scite-src"
if [ ! -f "$src_dir/scintilla/win32/ScintillaWin.cxx" ] || [ ! -f "$src_dir/lexilla/src/Lexilla.cxx" ]; then
  orig=$(fetch_orig scite)
  rm -rf "$src_dir.tmp" && mkdir -p "$src_dir.tmp"
  tar -xf "$orig" -C "$src_dir.tmp" --wildcards 'scintilla/*' 'lexilla/*'
  rm -rf "$src_dir" && mv "$src_dir.tmp" "$src_dir"
fi

# PCRE2, the regular-expression engine of every search, comes from the pcre2 source package;
# the build compiles its 8-bit and 16-bit libraries statically (cmake/Pcre2.cmake).
pcre2_dir="$deps_dir/pcre2-src"
if [ ! -f "$pcre2_dir/CMakeLists.txt" ] || [ ! -f "$pcre2_dir/src/pcre2_compile.c" ]; then
  orig=$(fetch_orig pcre2)
  rm -rf "$pcre2_dir.tmp" && mkdir -p "$pcre2_dir.tmp"
  tar -xf "$orig" -C "$pcre2_dir.tmp" --strip-components=1
  rm -rf "$pcre2_dir" && mv "$pcre2_dir.tmp" "$pcre2_dir"
fi

echo "setup: ready (component sources in $src_dir, PCRE2 in $pcre2_dir)"

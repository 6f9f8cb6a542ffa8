#!/usr/bin/env bash
# The installer package through Wine's msiexec, as a user without administrator rights: the install
# puts the program into the user's own program folder with a Start menu entry, "Open with" and Run
# box registration, and Explorer's open command starts it on a file; a newer package replaces it in
# place and keeps the settings beside the program; removing it takes away every file and registry
# value it wrote and leaves the user's settings.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin installer

packages=("$TESSARY_BUILD_DIR"/Tessary-*-x64.msi)
[ "${#packages[@]}" -eq 1 ] && [ -f "${packages[0]}" ] || fail "expected one package in the build folder: ${packages[*]}"
msi=${packages[0]}
version=${msi##*/Tessary-}
version=${version%-x64.msi}
[[ $version =~ ^([0-9]+)\.([0-9]+)\.([0-9]+)$ ]] || fail "package version '$version'"
next=${BASH_REMATCH[1]}.${BASH_REMATCH[2]}.$((BASH_REMATCH[3] + 1))

msiexec_run() { wine msiexec "$@" /qn </dev/null >/dev/null 2>&1; }
installed_count() { wine uninstaller --list </dev/null 2>/dev/null | tr -d '\r' | awk '/[|][|][|]Tessary$/ { n++ } END { print n + 0 }'; }
reg_value() {  # KEY NAME (empty NAME: the default value); prints the data, fails when absent
    local out
    if [ -n "$2" ]; then out=$(wine reg query "$1" /v "$2" </dev/null 2>/dev/null) || return 1
    else out=$(wine reg query "$1" /ve </dev/null 2>/dev/null) || return 1; fi
    out=$(printf '%s\n' "$out" | tr -d '\r' | sed -n 's/^ *[^ ].*  *REG_[A-Z_]*  *//p' | head -n 1)
    [ "$out" != '(value not set)' ] || return 1
    printf '%s\n' "$out"
}
reg_key_exists() { wine reg query "$1" </dev/null >/dev/null 2>&1; }
# The versions of the installed-programs entries called Tessary, one per line.
installed_version() {
    local key
    for key in 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' \
        'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'; do
        wine reg query "$key" /s </dev/null 2>/dev/null | tr -d '\r' | awk '
            function flush() { if (name == "Tessary") print version; name = version = "" }
            /^HKEY/ { flush() }
            $1 == "DisplayName" { name = $3 }
            $1 == "DisplayVersion" { version = $3 }
            END { flush() }'
    done | sort -u
}

# Whatever happens below, the shared Wine prefix is left without the package.
uninstall_all() {
    local p
    for p in "$msi" "$E2E_DIR/next/Tessary-$next-x64.msi"; do [ -f "$p" ] && msiexec_run /x "$(win_path "$p")"; done
    _e2e_cleanup
}
trap uninstall_all EXIT

[ "$(installed_count)" = 0 ] || fail "Tessary is installed before the test"
# The default programs of the file types, which the package must leave as they are.
default_of() { reg_value "HKCU\\Software\\Classes\\$1" '' 2>/dev/null || echo none; }
declare -A defaults
for ext in .txt .cpp .py .md; do defaults[$ext]=$(default_of $ext); done
msiexec_run /i "$(win_path "$msi")" || fail "msiexec /i failed"
# Wine's installer service may still be finishing when msiexec returns.
E2E_WAIT_S=60 wait_eq 1 installed_count || fail "installed programs after the install"
E2E_WAIT_S=60 wait_eq yes yes_if reg_key_exists 'HKCU\Software\Tessary\Installer' || fail "the install did not finish"

# The files, in the user's own program folder.
program=$(find "$WINEPREFIX/drive_c/users" -maxdepth 6 -type d -path '*/AppData/Local/Programs/Tessary' | head -n 1)
[ -n "$program" ] || fail "no Tessary folder under LOCALAPPDATA\\Programs"
for f in Tessary.exe SciLexer.dll manual.html LICENSE.txt License-Scintilla.txt License-Lexilla.txt; do
    [ -f "$program/$f" ] || fail "$f is not installed"
done
cmp -s "$program/Tessary.exe" "$TESSARY_BUILD_DIR/Tessary.exe" || fail "the installed Tessary.exe is not the built one"
lnk=$(find "$WINEPREFIX/drive_c/users" -path '*/Start Menu/Programs/Tessary.lnk' | head -n 1)
[ -n "$lnk" ] || fail "no Start menu entry"

# The registration: "Open with" without taking over a default, the Run box, and the open command.
exe_win="$(reg_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\App Paths\Tessary.exe' '')" ||
    fail "no App Paths entry"
[[ ${exe_win,,} == c:\\users\\*\\appdata\\local\\programs\\tessary\\tessary.exe ]] || fail "App Paths names $exe_win"
command=$(reg_value 'HKCU\Software\Classes\Applications\Tessary.exe\shell\open\command' '') || fail "no open command"
assert_eq "\"${exe_win}\" \"%1\"" "$command" "the open command"
assert_eq Tessary "$(reg_value 'HKCU\Software\Classes\Applications\Tessary.exe' FriendlyAppName)" "friendly name"
for ext in .txt .cpp .py .md; do
    reg_value 'HKCU\Software\Classes\Applications\Tessary.exe\SupportedTypes' "$ext" >/dev/null ||
        fail "$ext is not a supported type"
    reg_value "HKCU\\Software\\Classes\\$ext\\OpenWithProgids" Tessary.File >/dev/null || fail "$ext has no Open with entry"
    assert_eq "${defaults[$ext]}" "$(default_of $ext)" "the default program of $ext"
done
assert_eq "\"${exe_win}\" \"%1\"" "$(reg_value 'HKCU\Software\Classes\Tessary.File\shell\open\command' '')" \
    "the file type's open command"

# Explorer's open command on a file whose path has spaces: the installed program shows it.
mkdir -p "$E2E_DIR/my notes"
printf 'opened from Explorer\r\n' >"$E2E_DIR/my notes/read me.txt"
target=$(win_path "$E2E_DIR/my notes/read me.txt")
line=${command//%1/$target}
[[ $line =~ ^\"([^\"]+)\"\ \"([^\"]+)\"$ ]] || fail "cannot split the open command: $line"
(cd "$E2E_DIR" && exec wine "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}" </dev/null >/dev/null 2>&1) &
APP_PID=$!
E2E_WAIT_S=30 wait_eq 'read me.txt — Tessary' drive title TessaryClass || fail "the installed program did not open the file"
wait_eq 'opened from Explorer\r\n' drive editor-text TessaryClass || fail "the file's text"
app_quit
[ -f "$program/session.json" ] || fail "the installed program keeps no session beside itself"
printf '{"fontSize": 17}\r\n' >"$program/settings.json"
settings_before=$(sha256sum <"$program/settings.json")

# A newer package replaces the installed one in place and keeps the settings.
mkdir -p "$E2E_DIR/next"
cp -r "$TESSARY_BUILD_DIR/msi-stage" "$E2E_DIR/next/stage"
(cd "$E2E_DIR/next/stage" && wixl -a x64 -D "Version=$next" -o "$E2E_DIR/next/Tessary-$next-x64.msi" Tessary.wxs) ||
    fail "the newer package did not build"
msiexec_run /i "$(win_path "$E2E_DIR/next/Tessary-$next-x64.msi")" || fail "msiexec /i of the newer package failed"
E2E_WAIT_S=60 wait_eq "$next" installed_version || fail "the newer version is not the installed one"
assert_eq 1 "$(installed_count)" "installed programs after the upgrade"
[ -f "$program/Tessary.exe" ] || fail "the upgrade removed the program"
assert_eq "$settings_before" "$(sha256sum <"$program/settings.json")" "settings.json after the upgrade"

# Removing it leaves the user's settings and nothing else of the package.
msiexec_run /x "$(win_path "$E2E_DIR/next/Tessary-$next-x64.msi")" || fail "msiexec /x failed"
E2E_WAIT_S=60 wait_eq 0 installed_count || fail "installed programs after the removal"
for f in Tessary.exe SciLexer.dll manual.html LICENSE.txt License-Scintilla.txt License-Lexilla.txt; do
    [ ! -e "$program/$f" ] || fail "$f is left after the removal"
done
[ ! -e "$lnk" ] || fail "the Start menu entry is left after the removal"
assert_eq "$settings_before" "$(sha256sum <"$program/settings.json")" "settings.json after the removal"
for key in 'HKCU\Software\Classes\Applications\Tessary.exe' 'HKCU\Software\Classes\Tessary.File' \
    'HKCU\Software\Microsoft\Windows\CurrentVersion\App Paths\Tessary.exe' 'HKCU\Software\Tessary\Installer'; do
    reg_key_exists "$key" && fail "$key is left after the removal"
done
for ext in .txt .cpp; do
    reg_value "HKCU\\Software\\Classes\\$ext\\OpenWithProgids" Tessary.File >/dev/null && fail "$ext Open with entry left"
done
pass

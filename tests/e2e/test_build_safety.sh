#!/usr/bin/env bash
# The build runner starts only what the user chose: the system's command interpreter and the
# compiler or interpreter found in PATH's folders, never a program of the same name planted in the
# folder Tessary was started from or beside the source; the component library is the one beside the
# program. A build that fails says so, and a build that ends by itself leaves alone what it started.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin build_safety

# The stand-ins for programs are described at standin in lib.sh.
cat >"$E2E_DIR/planted_dll.c" <<'C'
#include <stdio.h>
#include <windows.h>
BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH], marker[MAX_PATH + 8];
        GetModuleFileNameA(self, path, MAX_PATH);
        snprintf(marker, sizeof marker, "%s.ran", path);
        FILE* m = fopen(marker, "w");
        if (m) fclose(m);
    }
    return TRUE;
}
C
x86_64-w64-mingw32-gcc -O2 -shared -static -o "$E2E_DIR/planted.dll" "$E2E_DIR/planted_dll.c" ||
    fail "planted library did not compile"

# The folder the user starts Tessary from (a downloads folder), full of planted programs.
cwd=$E2E_DIR/downloads
mkdir -p "$cwd"
standin "$cwd"/{cmd,python,g++,node}.exe
cp "$E2E_DIR/planted.dll" "$cwd/SciLexer.dll"
# The interpreter the user installed, on PATH.
standin "$E2E_DIR/bin/python.exe"
# Sources, with a planted interpreter beside them too (the build runs in their folder).
src=$E2E_DIR/src
standin "$src/python.exe" "$src/cmd.exe"
printf '# Notes\r\nprinted as it is\r\n' >"$src/notes.md"
printf 'print(1)\n' >"$src/run.py"
printf 'exit 7\n' >"$src/fails.py"
printf 'detach\n' >"$src/server.py"
printf 'console.log(1)\n' >"$src/app.js"

export WINEPATH
WINEPATH="$(win_path "$E2E_DIR/bin")"

# Started from the downloads folder, as opening a file from the shell there would.
start_from() {
    (cd "$1" && exec wine "$2" "${@:3}" </dev/null >/dev/null 2>&1) &
    APP_PID=$!
}
ran() { if [ -e "$1.ran" ]; then echo ran; else echo "not run"; fi; }

start_from "$cwd" "$(win_path "$E2E_DIR/Tessary.exe")"
drive wait-window TessaryClass 30000 >/dev/null || fail "no main window"
assert_eq "not run" "$(ran "$cwd/SciLexer.dll")" "the planted SciLexer.dll"

build_file() {
    open_file "$1"
    wait_eq "$(basename "$1") — Tessary" drive title TessaryClass || fail "$1 did not open"
    drive keys TessaryClass ctrl+b >/dev/null
    # The tab takes this title when the build has ended; a build starts programs, each a second or
    # more on a busy machine.
    E2E_WAIT_S=60 wait_eq 'Build Output — Tessary' drive title TessaryClass || fail "no Build Output tab for $1"
}

# A Markdown file is printed by the system's interpreter; the planted cmd.exe files stay unrun.
build_file "$src/notes.md"
wait_eq '# Notes\r\nprinted as it is\r\n' drive editor-text TessaryClass || fail "Markdown output"
assert_eq 1 "$(drive editor-send TessaryClass 2140)" "the output tab is read-only"
assert_eq "not run" "$(ran "$cwd/cmd.exe")" "cmd.exe in the start folder"
assert_eq "not run" "$(ran "$src/cmd.exe")" "cmd.exe beside the source"

# Python: the interpreter on PATH runs, not the ones in the start folder or beside the script.
build_file "$src/run.py"
wait_eq 'standin python.exe\r\nfirst line: print(1)\r\n' drive editor-text TessaryClass || fail "python output"
assert_eq ran "$(ran "$E2E_DIR/bin/python.exe")" "python.exe on PATH"
assert_eq "not run" "$(ran "$cwd/python.exe")" "python.exe in the start folder"
assert_eq "not run" "$(ran "$src/python.exe")" "python.exe beside the script"

# No node on PATH (only the planted one): the output tab says so, and nothing runs.
build_file "$src/app.js"
wait_eq 'node was not found in any folder of PATH.' drive editor-text TessaryClass || fail "missing node"
assert_eq "not run" "$(ran "$cwd/node.exe")" "node.exe in the start folder"

# A program that fails: its exit code ends the output.
build_file "$src/fails.py"
wait_eq 'standin python.exe\r\nfirst line: exit 7\r\n(exit code 7)' drive editor-text TessaryClass ||
    fail "exit code"

# A compiler on PATH that is no program: the output shows the failure, not "finished, no output".
printf 'not a program\n' >"$E2E_DIR/bin/g++.exe"
printf 'int main() {}\n' >"$src/x.cpp"
build_file "$src/x.cpp"
out=$(drive editor-text TessaryClass)
[[ $out == *'(exit code '* ]] || fail "a program that cannot start reads as a success: $out"
[[ $out != *'no output'* ]] || fail "a program that cannot start reads as finished: $out"

# A build that ends by itself leaves what it started on purpose running.
build_file "$src/server.py"
wait_eq 'standin python.exe\r\nfirst line: detach\r\n' drive editor-text TessaryClass || fail "detach output"
: >"$src/stop"
survived() { if [ -e "$src/survived" ]; then echo yes; else echo no; fi; }
wait_eq yes survived || fail "the program the build started on purpose was ended with the build"
app_quit

# Without the component beside the program, a planted one in the start folder is not taken.
mkdir -p "$E2E_DIR/bare"
cp "$E2E_DIR/Tessary.exe" "$E2E_DIR/bare/"
start_from "$cwd" "$(win_path "$E2E_DIR/bare/Tessary.exe")"
# It says so in the system's interface language (English here) and exits with code 1.
message=$(drive answer-msgbox ok 20000) || fail "no message box without the component"
assert_eq $'Tessary\nCannot load SciLexer.dll (put it in the same folder as Tessary.exe)' "$message" "message"
app_wait_exit 20 || fail "did not exit without the component"
assert_eq 1 "$APP_EXIT" "exit code without the component"
drive no-msgbox 0 >/dev/null || fail "a second message box appeared"   # the program has ended
assert_eq "not run" "$(ran "$cwd/SciLexer.dll")" "the planted SciLexer.dll"
pass

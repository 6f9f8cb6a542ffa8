#!/usr/bin/env bash
# The tool commands through the real program: comment toggling and its undo, full screen and
# distraction free returning the window to its rectangle, the recording mark, and the build runner
# with stand-in compilers and interpreters on Wine's PATH.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin tools

# Stand-ins for python, node and g++: each prints its name and argument and the script's first
# line; a script whose first line is "forever" keeps printing until it is killed, one whose first line
# is "flood" prints as fast as it can. g++ "compiles" by
# copying itself to the -o path, and the copy prints its own name when run.
bin=$E2E_DIR/bin
mkdir -p "$bin"
cat >"$E2E_DIR/standin.c" <<'C'
#include <stdio.h>
#include <string.h>
#include <windows.h>
int main(int argc, char** argv) {
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, MAX_PATH);
    const char* name = strrchr(self, '\\') ? strrchr(self, '\\') + 1 : self;
    printf("standin %s\n", name);
    for (int i = 1; i + 1 < argc; ++i)
        if (strcmp(argv[i], "-o") == 0) return CopyFileA(self, argv[i + 1], FALSE) ? 0 : 1;
    if (argc < 2) return 0;
    FILE* f = fopen(argv[argc - 1], "r");
    char line[256] = "";
    if (!f || !fgets(line, sizeof line, f)) return 2;
    fclose(f);
    printf("first line: %s", line);
    fflush(stdout);
    while (strncmp(line, "flood", 5) == 0) fputs("0123456789012345678901234567890123456789012345678901234567890\n", stdout);
    while (strncmp(line, "forever", 7) == 0) {
        printf("tick\n");
        fflush(stdout);
        Sleep(50);
    }
    return 0;
}
C
x86_64-w64-mingw32-gcc -O2 -static -o "$bin/python.exe" "$E2E_DIR/standin.c" || fail "stand-in did not compile"
cp "$bin/python.exe" "$bin/node.exe"
cp "$bin/python.exe" "$bin/g++.exe"
export WINEPATH
WINEPATH=$(win_path "$bin")

# Stand-in interpreters of this test still running (Wine shows a child as "python Z:\...\x.py").
standins() {
    local pid count=0 here
    here=$(win_path "$E2E_DIR")
    for pid in $(pgrep -f 'python|node' || true); do
        [ -r "/proc/$pid/cmdline" ] || continue
        case $(tr '\0' '\n' <"/proc/$pid/cmdline" | head -n1) in python | node | *python.exe | *node.exe) ;; *) continue ;; esac
        tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qF "$here" && count=$((count + 1))
    done
    echo "$count"
}

app_start
drive wait-window TessaryClass 20000 >/dev/null || fail "no main window"

# --- Toggle Comment: two indented C++ lines, twice, then once more and one undo.
printf '    int a;\r\n    int b;\r\n' >"$E2E_DIR/two.cpp"
open_file "$E2E_DIR/two.cpp"
wait_eq 'two.cpp — Tessary' drive title TessaryClass || fail "two.cpp did not open"
drive keys TessaryClass ctrl+a ctrl+slash >/dev/null
wait_eq '    //int a;\r\n    //int b;\r\n' drive editor-text TessaryClass || fail "Ctrl+/ comments both lines"
drive keys TessaryClass ctrl+slash >/dev/null
wait_eq '    int a;\r\n    int b;\r\n' drive editor-text TessaryClass || fail "second Ctrl+/ restores them"
drive keys TessaryClass ctrl+slash ctrl+z >/dev/null
wait_eq '    int a;\r\n    int b;\r\n' drive editor-text TessaryClass || fail "one Ctrl+Z undoes a toggle"
drive keys TessaryClass ctrl+s >/dev/null
wait_eq "enc=0 eol=0 hex=0 mapped=0 modified=0 ro=0" tab_state || fail "saved"
printf '    int a;\r\n    int b;\r\n' | cmp -s - "$E2E_DIR/two.cpp" || fail "the saved file differs"

# --- Selection commands: word, line, everything; back to the first line; one caret per line.
sel() { echo "$(drive editor-send TessaryClass 2143) $(drive editor-send TessaryClass 2145)"; }
drive editor-send TessaryClass 2025 5 >/dev/null  # caret inside "int"
drive keys TessaryClass ctrl+shift+space >/dev/null
wait_eq '4 7' sel || fail "Expand selects the word"
drive keys TessaryClass ctrl+shift+space >/dev/null
wait_eq '0 10' sel || fail "Expand selects the line"
drive keys TessaryClass ctrl+shift+space >/dev/null
wait_eq '0 24' sel || fail "Expand selects everything"
drive keys TessaryClass ctrl+shift+u >/dev/null
wait_eq '0 10' sel || fail "Shrink selects the first line"
drive keys TessaryClass ctrl+a ctrl+shift+l >/dev/null
wait_eq 2 drive editor-send TessaryClass 2570 || fail "Split into Lines: a caret on each of the two lines"
drive keys TessaryClass escape >/dev/null
wait_eq 1 drive editor-send TessaryClass 2570 || fail "Escape keeps one caret"

# --- Full screen and distraction free return the window to exactly its rectangle.
normal=$(drive rect TessaryClass)
screen=$(xdpyinfo 2>/dev/null | awk '/dimensions:/ { split($2, d, "x"); print "0 0 " d[1] " " d[2] }')
screen_cycle() {  # KEY, the rectangle to come back to
    drive keys TessaryClass "$1" >/dev/null
    wait_eq "$screen" drive rect TessaryClass || fail "$1 covers the monitor"
    drive keys TessaryClass "$1" >/dev/null
    wait_eq "$2" drive rect TessaryClass || fail "$1 twice returns the window"
}
screen_cycle f11 "$normal"
screen_cycle shift+f11 "$normal"
drive keys TessaryClass shift+f11 >/dev/null
wait_eq "$screen" drive rect TessaryClass || fail "distraction free covers the monitor"
screenshot TessaryClass tools-distraction-free.png   # documentation only, not compared: docs/screenshot-distraction-free.png
drive keys TessaryClass f11 >/dev/null
wait_eq "$normal" drive rect TessaryClass || fail "F11 leaves distraction free"
drive dblclick-caption TessaryClass >/dev/null
moved() { if [ "$(drive rect TessaryClass)" = "$normal" ]; then echo normal; else echo moved; fi; }
wait_eq moved moved || fail "the caption's double click did not maximize"
maximized=$(drive rect TessaryClass)
screen_cycle f11 "$maximized"
screen_cycle shift+f11 "$maximized"
drive dblclick-caption TessaryClass >/dev/null
wait_eq "$normal" drive rect TessaryClass || fail "the maximized window's own placement survived"

# --- Status bar marks: a selection, column mode and recording.
drive keys TessaryClass ctrl+a ctrl+q >/dev/null
drive command TessaryClass 130 >/dev/null
wait_eq 1 drive editor-send TessaryClass 2423 || fail "column mode"
screenshot TessaryClass tools-status-marks.png   # documentation only, not compared: docs/screenshot-status-bar-marks.png
drive keys TessaryClass ctrl+q >/dev/null
drive command TessaryClass 130 >/dev/null

# --- Build runner.
# An untitled tab is not built.
drive keys TessaryClass ctrl+n >/dev/null
drive keys TessaryClass ctrl+b >/dev/null
assert_eq $'Tessary\nSave the file before building.' "$(drive answer-msgbox ok)" "building an untitled tab"

# A Markdown file is typed into a read-only "Build Output" tab.
printf '# Notes\r\nbuilt as it is\r\n' >"$E2E_DIR/notes.md"
open_file "$E2E_DIR/notes.md"
wait_eq 'notes.md — Tessary' drive title TessaryClass || fail "notes.md did not open"
drive keys TessaryClass ctrl+b >/dev/null
wait_eq 'Build Output — Tessary' drive title TessaryClass || fail "no Build Output tab"
wait_eq '# Notes\r\nbuilt as it is\r\n' drive editor-text TessaryClass || fail "Markdown output"
assert_eq 1 "$(drive editor-send TessaryClass 2140)" "the output tab is read-only"
screenshot TessaryClass tools-build-output.png   # documentation only, not compared: docs/screenshot-build-output.png

# Python through the stand-in interpreter, in a folder whose name the interpreter could misread.
mkdir -p "$E2E_DIR/a & b (x)^"
printf 'print(1)\n' >"$E2E_DIR/a & b (x)^/run.py"
open_file "$E2E_DIR/a & b (x)^/run.py"
wait_eq 'run.py — Tessary' drive title TessaryClass || fail "run.py did not open"
drive keys TessaryClass ctrl+b >/dev/null
wait_eq 'standin python.exe\r\nfirst line: print(1)\r\n' drive editor-text TessaryClass || fail "python output"

# A non-ASCII folder name reaches the interpreter intact.
mkdir -p "$E2E_DIR/café"
printf 'print(2)\n' >"$E2E_DIR/café/run.py"
open_file "$E2E_DIR/café/run.py"
wait_eq 'run.py — Tessary' drive title TessaryClass || fail "café/run.py did not open"
drive keys TessaryClass ctrl+b >/dev/null
wait_eq 'standin python.exe\r\nfirst line: print(2)\r\n' drive editor-text TessaryClass || fail "non-ASCII path"

# C++: compiled by the stand-in g++, then the program runs; a space in the path is quoted once.
mkdir -p "$E2E_DIR/with space"
printf 'int main() {}\n' >"$E2E_DIR/with space/hello.cpp"
open_file "$E2E_DIR/with space/hello.cpp"
wait_eq 'hello.cpp — Tessary' drive title TessaryClass || fail "hello.cpp did not open"
drive keys TessaryClass ctrl+b >/dev/null
wait_eq 'standin g++.exe\r\nstandin hello.exe\r\n' drive editor-text TessaryClass || fail "g++ then the program"

# A path with "%" is refused with a message.
printf 'x\n' >"$E2E_DIR/%PATH%.md"
open_file "$E2E_DIR/%PATH%.md"
wait_eq '%PATH%.md — Tessary' drive title TessaryClass || fail "%PATH%.md did not open"
drive keys TessaryClass ctrl+b >/dev/null
assert_eq $'Tessary\nCannot build: the file path contains % or !. Rename or move the file.' \
    "$(drive answer-msgbox ok)" "a path with % is refused"

# Cancel during a long run: the tab starts with the cancel mark and no stand-in is left.
printf 'forever\n' >"$E2E_DIR/long.py"
open_file "$E2E_DIR/long.py"
wait_eq 'long.py — Tessary' drive title TessaryClass || fail "long.py did not open"
drive keys TessaryClass ctrl+b ctrl+b >/dev/null
wait_eq 1 standins || fail "Build twice quickly starts one child"
drive keys TessaryClass ctrl+break >/dev/null
wait_eq 'Build Output — Tessary' drive title TessaryClass || fail "no output tab after cancel"
out=$(drive editor-text TessaryClass)
[[ $out == '(Build cancelled)\n'* ]] || fail "the cancelled output starts with the cancel mark: $out"
wait_eq 0 standins || fail "the stand-in survived Cancel Build"

# Endless output: the tab shows at most 16 MiB of it and says so.
printf 'flood\n' >"$E2E_DIR/flood.py"
open_file "$E2E_DIR/flood.py"
wait_eq 'flood.py — Tessary' drive title TessaryClass || fail "flood.py did not open"
drive keys TessaryClass ctrl+b >/dev/null
output_over_17mib() { if [ "$(stat -c %s "$E2E_DIR/build_output.txt")" -gt $((17 << 20)) ]; then echo yes; else echo no; fi; }
E2E_WAIT_S=60 wait_eq yes output_over_17mib || fail "the flood did not fill the output file"
drive keys TessaryClass ctrl+break >/dev/null
wait_eq 'Build Output — Tessary' drive title TessaryClass || fail "no output tab after the flood"
shown=$(drive editor-send TessaryClass 2006)  # the two notes, then whole lines of the first 16 MiB
[ "$shown" -le $(((16 << 20) + 65)) ] && [ "$shown" -gt $(((16 << 20) - 100)) ] || fail "$shown bytes in the output tab"
assert_eq 18 "$(drive editor-send TessaryClass 2350 0)" "first line: the cancel mark"
assert_eq 47 "$(drive editor-send TessaryClass 2350 1)" "second line: the note that the output was cut"
wait_eq 0 standins || fail "the flooding stand-in survived"
drive command TessaryClass 107 >/dev/null

# Closing every tab during a build, then quitting during a build: no crash, nothing left running.
open_file "$E2E_DIR/long.py"
wait_eq 'long.py — Tessary' drive title TessaryClass || fail "long.py did not open again"
drive command TessaryClass 221 >/dev/null
wait_eq 1 standins || fail "second long build"
drive command TessaryClass 108 >/dev/null
drive command TessaryClass 222 >/dev/null
wait_eq 0 standins || fail "the stand-in survived closing the tabs"
open_file "$E2E_DIR/long.py"
wait_eq 'long.py — Tessary' drive title TessaryClass || fail "long.py did not open a third time"
drive command TessaryClass 221 >/dev/null
wait_eq 1 standins || fail "third long build"
drive command TessaryClass 109 >/dev/null
app_wait_exit 20 || fail "did not exit during a build"
assert_eq 0 "$APP_EXIT" "exit code after quitting during a build"
wait_eq 0 standins || fail "the stand-in survived quitting"
pass

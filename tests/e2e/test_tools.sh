#!/usr/bin/env bash
# The tool commands through the real program: comment toggling and its undo, full screen and
# distraction free returning the window to its rectangle, the recording mark, and the build runner
# with stand-in compilers and interpreters on Wine's PATH.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin tools

# Stand-ins for python, node and g++ (see standin in lib.sh) on Wine's PATH.
bin=$E2E_DIR/bin
standin "$bin/python.exe" "$bin/node.exe" "$bin/g++.exe"
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

app_up

# --- Toggle Comment: two indented C++ lines, twice, then once more and one undo.
printf '    int a;\r\n    int b;\r\n' >"$E2E_DIR/two.cpp"
open_tab "$E2E_DIR/two.cpp"
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
drive editor-send TessaryClass 2025 5 >/dev/null  # caret inside "int"
drive keys TessaryClass ctrl+shift+space >/dev/null
wait_eq '4 7' selection || fail "Expand selects the word"
drive keys TessaryClass ctrl+shift+space >/dev/null
wait_eq '0 10' selection || fail "Expand selects the line"
drive keys TessaryClass ctrl+shift+space >/dev/null
wait_eq '0 24' selection || fail "Expand selects everything"
drive keys TessaryClass ctrl+shift+u >/dev/null
wait_eq '0 10' selection || fail "Shrink selects the first line"
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
cmd 130
wait_eq 1 drive editor-send TessaryClass 2423 || fail "column mode"
screenshot TessaryClass tools-status-marks.png   # documentation only, not compared: docs/screenshot-status-bar-marks.png
drive keys TessaryClass ctrl+q >/dev/null
cmd 130

# --- Build runner.
# An untitled tab is not built.
drive keys TessaryClass ctrl+n >/dev/null
drive keys TessaryClass ctrl+b >/dev/null
assert_eq $'Tessary\nSave the file before building.' "$(drive answer-msgbox ok)" "building an untitled tab"

# Python in a folder whose name the interpreter could misread and in a non-ASCII folder; C++
# compiled by the stand-in g++, then run, in a folder with a space (quoted once).
for case in 'a & b (x)^/run.py|print(1)|standin python.exe\r\nfirst line: print(1)\r\n' \
    'café/run.py|print(2)|standin python.exe\r\nfirst line: print(2)\r\n' \
    'with space/hello.cpp|int main() {}|standin g++.exe\r\nstandin hello.exe\r\n'; do
    IFS='|' read -r file text output <<<"$case"
    mkdir -p "$E2E_DIR/${file%/*}"
    printf '%s\n' "$text" >"$E2E_DIR/$file"
    open_tab "$E2E_DIR/$file"
    drive keys TessaryClass ctrl+b >/dev/null
    # A build starts two or three programs, each a second or more on a busy machine.
    E2E_WAIT_S=60 wait_eq "$output" drive editor-text TessaryClass || fail "the build output of $file"
done
screenshot TessaryClass tools-build-output.png   # documentation only, not compared: docs/screenshot-build-output.png

# A path with "%" is refused with a message.
printf 'x\n' >"$E2E_DIR/%PATH%.md"
open_tab "$E2E_DIR/%PATH%.md"
drive keys TessaryClass ctrl+b >/dev/null
assert_eq $'Tessary\nCannot build: the file path contains % or !. Rename or move the file.' \
    "$(drive answer-msgbox ok)" "a path with % is refused"

# Cancel during a long run: the tab starts with the cancel mark and no stand-in is left.
printf 'forever\n' >"$E2E_DIR/long.py"
open_tab "$E2E_DIR/long.py"
drive keys TessaryClass ctrl+b ctrl+b >/dev/null
wait_eq 1 standins || fail "Build twice quickly starts one child"
drive keys TessaryClass ctrl+break >/dev/null
wait_eq 'Build Output — Tessary' drive title TessaryClass || fail "no output tab after cancel"
out=$(drive editor-text TessaryClass)
[[ $out == '(Build cancelled)\n'* ]] || fail "the cancelled output starts with the cancel mark: $out"
wait_eq 0 standins || fail "the stand-in survived Cancel Build"

# Endless output: the tab shows at most 16 MiB of it and says so.
printf 'flood\n' >"$E2E_DIR/flood.py"
open_tab "$E2E_DIR/flood.py"
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
cmd 107

# Closing every tab during a build, then quitting during a build: no crash, nothing left running.
open_tab "$E2E_DIR/long.py"
cmd 221
wait_eq 1 standins || fail "second long build"
cmd 108 222
wait_eq 0 standins || fail "the stand-in survived closing the tabs"
open_tab "$E2E_DIR/long.py"
cmd 221
wait_eq 1 standins || fail "third long build"
app_quit
wait_eq 0 standins || fail "the stand-in survived quitting"
pass

# Shared helpers for the end-to-end scripts; source it, do not run it.
# The runner has already prepared DISPLAY (Xvfb), WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES and a
# persistent wineserver. TESSARY_BUILD_DIR holds Tessary.exe, SciLexer.dll and tesdrive.exe.
#
#   e2e_begin NAME; app_start [ARGS]; drive wait-window TessaryClass; ...; app_wait_exit; pass

# shellcheck disable=SC2034  # the globals below are read by the scripts that source this
: "${TESSARY_BUILD_DIR:?TESSARY_BUILD_DIR must name the folder holding Tessary.exe}"

E2E_NAME=
E2E_DIR=
E2E_ARTIFACTS=
APP_PID=
APP_EXIT=

# Fresh program folder per test, so settings files and the like never leak between tests.
e2e_begin() {
    E2E_NAME=$1
    case $E2E_NAME in '' | */* | . | ..) echo "e2e_begin: bad test name '$1'" >&2; exit 2 ;; esac
    E2E_DIR=${TESSARY_E2E_SCRATCH:-${TMPDIR:-/tmp}/tessary-e2e}/$E2E_NAME
    rm -rf "$E2E_DIR"
    mkdir -p "$E2E_DIR/data"   # the data files of a test, as its scripts like
    cp "$TESSARY_BUILD_DIR/Tessary.exe" "$TESSARY_BUILD_DIR/SciLexer.dll" "$E2E_DIR/" || exit 1
    E2E_ARTIFACTS=${TESSARY_E2E_ARTIFACTS:-$E2E_DIR/artifacts}
    mkdir -p "$E2E_ARTIFACTS"
    trap _e2e_cleanup EXIT
    # A step that fails without a message of its own (under `set -e`) still says where it stopped,
    # also inside the helpers below (-E hands the trap to functions and subshells).
    set -E
    trap '_e2e_error $? $LINENO "$BASH_COMMAND"' ERR
    _e2e_start_watchdog
}

# Every script has a budget (E2E_BUDGET_S, 540 s; CTest allows a little more): past it the script
# stops at the end of its current step and says which step that was, rather than being killed
# silently by CTest.
_E2E_WATCHDOG=
_e2e_start_watchdog() {
    local budget=${E2E_BUDGET_S:-540} script=$$
    # A signal's trap does not know the line it interrupted: the script's steps note it (inside the
    # trap itself LINENO reads 1, a line that holds no step).
    trap '[ "$LINENO" -eq 1 ] || _E2E_LINE=$LINENO' DEBUG
    trap '_e2e_out_of_time "$_E2E_LINE" "$BASH_COMMAND"' TERM
    (
        trap 'kill "$sleeper" 2>/dev/null; exit 0' TERM
        sleep "$budget" &
        sleeper=$!
        wait "$sleeper" && kill -TERM "$script"
    ) </dev/null >/dev/null 2>&1 &
    _E2E_WATCHDOG=$!
}

_E2E_LINE=
_e2e_out_of_time() {
    echo "FAIL: $E2E_NAME: out of time (${E2E_BUDGET_S:-540} s) at line $1 of the script: '$2'" >&2
    _e2e_failure_screenshot
    exit 1
}

_e2e_error() {
    # A poll's expected failures inside $(...) end their subshell quietly; the caller reports.
    [ "$BASH_SUBSHELL" -eq 0 ] || return 0
    local where="line $2"
    [ "${FUNCNAME[1]:-main}" = main ] || where+=" in ${FUNCNAME[1]}, called from line ${BASH_LINENO[1]}"
    echo "FAIL: $E2E_NAME: $where: '$3' failed with status $1" >&2
    _e2e_failure_screenshot
}

_e2e_failure_screenshot() {
    [ -z "$E2E_ARTIFACTS" ] || import -window root "$E2E_ARTIFACTS/$E2E_NAME-failure.png" 2>/dev/null || true
}

_e2e_cleanup() {
    if [ -n "$_E2E_WATCHDOG" ]; then
        kill "$_E2E_WATCHDOG" 2>/dev/null || echo "note: the watchdog had already ended" >&2
        _E2E_WATCHDOG=
    fi
    # A script that stopped between a key held down and its release leaves it held in the
    # wineserver for the next one.
    drive release-modifiers >/dev/null || echo "note: the modifier keys could not be released" >&2
    [ -n "$APP_PID" ] || return 0
    kill "$APP_PID" 2>/dev/null || true
    sleep 0.2
    kill -9 "$APP_PID" 2>/dev/null || true
    wait "$APP_PID" 2>/dev/null || true
    APP_PID=
}

# Windows path of a file, for command-line arguments to the app.
win_path() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s\n' "${path//\//\\}"
}

# Started from the program folder; the background process is the Windows process itself,
# so `wait` on it yields the app's exit code.
app_start() {
    (cd "$E2E_DIR" && exec wine "$E2E_DIR/Tessary.exe" "$@" </dev/null >/dev/null 2>&1) &
    APP_PID=$!
}

_app_running() {
    local state
    state=$(ps -o stat= -p "$APP_PID" 2>/dev/null) || return 1
    [[ $state != Z* ]]
}

app_wait_exit() {
    local limit=$((${1:-20} * 10)) i
    APP_EXIT=
    [ -n "$APP_PID" ] || { echo "app_wait_exit: app not started" >&2; return 1; }
    for ((i = 0; i < limit; i++)); do
        _app_running || break
        sleep 0.1
    done
    if _app_running; then
        kill -9 "$APP_PID" 2>/dev/null || true
        wait "$APP_PID" 2>/dev/null || true
        APP_PID=
        return 1
    fi
    # Written so that a nonzero exit code does not trip `set -e` in the caller.
    wait "$APP_PID" && APP_EXIT=0 || APP_EXIT=$?
    APP_PID=
}

# The UTF-8 locale makes Wine hand non-ASCII arguments over intact.
# Wine's own error messages are let through for the driver, so that a call that fails inside Wine
# rather than in the driver says why.
drive() {
    LC_ALL=C.UTF-8 WINEDEBUG=-all,err+all wine "$TESSARY_BUILD_DIR/tesdrive.exe" "$@" </dev/null | sed 's/\r$//'
    return "${PIPESTATUS[0]}"
}

# Polls `CMD...` until it prints EXPECTED (input lands asynchronously); on timeout prints the
# last output and fails. E2E_WAIT_S sets the limit (default 10 s).
# The last try's error output (the driver's reason) is shown too.
wait_eq() {
    local expected=$1 out='' deadline=$((SECONDS + ${E2E_WAIT_S:-10})) errors=$E2E_DIR/wait_eq.err
    shift
    while :; do
        out=$("$@" 2>"$errors") && [ "$out" = "$expected" ] && return 0
        [ "$SECONDS" -lt "$deadline" ] || break
        sleep 0.2
    done
    printf '%s\n' "$out"
    [ ! -s "$errors" ] || sed 's/^/  stderr: /' "$errors" >&2
    return 1
}

# The main window's answer to a sent message comes once it has finished what it was doing (a
# command handler, the prompt loop of a message box) and reads messages again. Posted commands and
# typed input still queued are NOT covered: a sent message overtakes them.
settle() { drive send TessaryClass 0 >/dev/null; }

# Fails when a message box is open once the main window has settled (no quiet period to wait out).
no_msgbox_now() { settle && drive no-msgbox 0 >/dev/null; }

# "shown" while a window of CLASS is visible, else "hidden" (for wait_eq).
shown() { if drive wait-window "$1" 0 >/dev/null 2>&1; then echo shown; else echo hidden; fi; }

# Moves the pointer to X Y of CLASS until CMD... prints EXPECTED, moving again on every try: a
# pointer event still on its way from an earlier move can land after the first one.
hover_until() {
    local expected=$1
    shift
    wait_eq "$expected" _move_then "$@"
}
_move_then() {
    drive move "$1" "$2" "$3" >/dev/null
    shift 3
    "$@"
}

# Centre (x in the main window) of the Nth menu-bar title (1-8), found from the text in the bar:
# titles lie 20 px apart, the letters of one title much closer. Polls until the bar shows eight.
menu_title_x() {
    local x y w found i shot=$E2E_DIR/menu-titles.png
    for ((i = 0; i < 50; i++)); do
        read -r x y w _ < <(drive rect TessaryClass) && import -window root "$shot" || return 1
        found=$(convert "$shot" -crop "${w}x22+$x+$((y + 36))" +repage -fuzz 10% -fill black -opaque '#212121' \
            -fill white +opaque black -scale "${w}x1!" -depth 8 txt:- |
            awk -F'[,:() ]+' -v want="$1" 'NR > 1 && $3 > 0 { if (n == 0 || $1 - last > 10) { n++; s[n] = $1 }
                last = $1; e[n] = $1 } END { if (n == 8) print int((s[want] + e[want]) / 2) }')
        [ -z "$found" ] || { echo "$found"; return 0; }
        sleep 0.2
    done
    return 1
}

# FILE without a folder goes into E2E_ARTIFACTS.
screenshot() {
    local file=$2 x y w h
    [[ $file == */* ]] || file=$E2E_ARTIFACTS/$file
    read -r x y w h < <(drive rect "$1") && [ -n "$h" ] || return 1
    # The crop geometry cannot start left of or above the screen.
    if [ "$x" -lt 0 ]; then w=$((w + x)); x=0; fi
    if [ "$y" -lt 0 ]; then h=$((h + y)); y=0; fi
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$file"
}

# Colour of one pixel of an image as RRGGBB.
pixel() {
    convert "$1" -format "%[hex:p{$2,$3}]" info: | cut -c1-6
}

# Takes a screenshot of CLASS into FILE and prints the colours at the points X,Y given, so that
# wait_eq can poll until a repaint has landed.
shot_pixels() {
    local file=$2 at colours=()
    [[ $file == */* ]] || file=$E2E_ARTIFACTS/$file
    screenshot "$1" "$file" || return 1
    shift 2
    for at; do colours+=("$(pixel "$file" "${at%,*}" "${at#*,}")"); done
    echo "${colours[*]}"
}

# Posts a mouse message to the main window at client coordinates (no button state for moves).
mouse() {
    local message=$1 x=$2 y=$3 keys=${4:-0}
    drive post TessaryClass "$message" "$keys" $(((y << 16) | x)) >/dev/null
}

# The active tab's state as "enc=E eol=L hex=H mapped=M modified=D ro=R" (from the main window's
# automation query), or only the fields named ("tab_state hex modified": "hex=1 modified=0").
tab_state() {
    local v all f out=()
    v=$(drive send TessaryClass $((0x8000 + 0x54))) || return 1
    [ "$v" -ge 0 ] || { echo none; return 0; }
    all="enc=$((v & 15)) eol=$(((v >> 4) & 15)) hex=$(((v >> 8) & 1)) mapped=$(((v >> 9) & 1))"
    all+=" modified=$(((v >> 10) & 1)) ro=$(((v >> 11) & 1))"
    [ $# -gt 0 ] || { echo "$all"; return 0; }
    for f; do out+=("$(grep -o "\b$f=[0-9]*" <<<"$all")"); done
    echo "${out[*]}"
}

# Identity and modification time of FILE. A save replaces the file (a new identity) or rewrites it
# in place (a new time, once the file was given an old one with `touch -d @1000000000`).
file_stamp() { stat -c '%i %Y' "$1"; }
# Polls until FILE no longer has the STAMP taken before a save.
wait_rewritten() { wait_eq rewritten _rewritten "$1" "$2"; }
_rewritten() { if [ "$(file_stamp "$1")" != "$2" ]; then echo rewritten; else echo "not rewritten"; fi; }

# Holds FILE open without sharing, as another program would, until unlock_file (at most MS
# milliseconds, default a minute).
# Returns once the lock is in place.
lock_file() {
    local out=$E2E_DIR/lock.out
    : >"$out"
    LC_ALL=C.UTF-8 wine "$TESSARY_BUILD_DIR/tesdrive.exe" lock-file "$(win_path "$1")" "${2:-60000}" </dev/null >"$out" &
    _E2E_LOCKER=$!
    wait_eq locked _lock_state "$out"
}
_lock_state() { if grep -q locked "$1"; then echo locked; else echo waiting; fi; }
unlock_file() {
    drive unlock >/dev/null
    wait "$_E2E_LOCKER" || true
}

# Opens a file through the open dialog, as a user would.
open_file() {
    drive command TessaryClass 101 >/dev/null
    drive file-dialog "$(win_path "$1")" >/dev/null || fail "the open dialog did not open $1"
}
# Opens FILE as open_file does and waits for its tab: the title TITLE, by default "NAME — Tessary".
open_tab() {
    open_file "$1"
    wait_eq "${2:-${1##*/} — Tessary}" drive title TessaryClass || fail "$1 did not open in its tab"
}

# Posts the main window's commands (menu ids), in order.
cmd() {
    local id
    for id; do drive command TessaryClass "$id" >/dev/null; done
}

# Chooses a file in the dialog the main window's command ID opens (Save As 104, Open Project 240...).
dialog_file() {
    cmd "$1"
    drive file-dialog "$(win_path "$2")" >/dev/null || fail "the dialog of command $1 did not take $2"
}

# Starts the program (ARGS as app_start) and waits for its main window.
app_up() {
    app_start "$@"
    drive wait-window TessaryClass 30000 >/dev/null || fail "no main window"
}

# Exit from the menu, answering No to exactly N save questions (default none): the program ends
# with exit code 0.
app_quit() {
    local i
    cmd 109
    for ((i = 1; i <= ${1:-0}; i++)); do drive answer-msgbox no >/dev/null || fail "no save question $i at exit"; done
    app_wait_exit 30 || fail "the program did not exit (a question too many?)"
    assert_eq 0 "$APP_EXIT" "exit code"
}

# Waits for the main window's title.
title_is() { wait_eq "$1" drive title TessaryClass || fail "${2:-the title is not '$1'}"; }

# "TABS|TITLE|TEXT": how many tabs, the active one's title and its text (a restore is over once the
# last of these is right).
tabs_title_text() {
    echo "$(drive child-count TessaryClass Scintilla)|$(drive title TessaryClass)|$(drive editor-text TessaryClass)"
}

# The active editor's selection as "START END".
selection() { echo "$(drive editor-send TessaryClass 2143) $(drive editor-send TessaryClass 2145)"; }

# Clicks the tab at X and waits for its title.
tab_click() {
    mouse 0x201 "$1" 109 1
    title_is "$2" "clicking the tab at $1 did not bring $2"
}

# Centre of sidebar row N in the main window, and a click on it.
row_y() { echo $((92 + 22 * $1 + 11)); }
click_row() { drive click TessaryClass 100 "$(row_y "$1")" >/dev/null; }

# "yes" when the command CMD... succeeds, else "no" (for wait_eq).
yes_if() { if "$@"; then echo yes; else echo no; fi; }

# Clicks the menu-bar title at X (default 20: File) and waits for its menu; Escape closes it.
menu_open() {
    drive click TessaryClass "${1:-20}" 47 >/dev/null
    wait_eq shown shown TesMenuPop || fail "clicking the menu-bar title at ${1:-20} did not open its menu"
}
menu_escape() {
    drive keys TessaryClass escape >/dev/null
    wait_eq hidden shown TesMenuPop || fail "Escape left the menu open"
}

# Chooses item N (counted from 0, separators after items 1 and 5) of the menu of the tab at X.
tab_menu() {
    drive rclick TessaryClass "$1" 109 >/dev/null
    wait_eq shown shown TesMenuPop || fail "no tab menu"
    drive click TesMenuPop 100 $((16 + $2 * 36 + ($2 > 1 ? 9 : 0) + ($2 > 5 ? 9 : 0) + 18)) >/dev/null
    wait_eq hidden shown TesMenuPop || fail "the tab menu stayed open"
}

# Writes session.json with the tabs PATHS... and the entry ACTIVE active.
write_session() {
    local active=$1 sep='' p w
    shift
    {
        printf '\xef\xbb\xbf{\n  "active": %s,\n  "tabs": [' "$active"
        for p; do
            w=$(win_path "$p")
            printf '%s\n    { "path": "%s" }' "$sep" "${w//\\/\\\\}"
            sep=,
        done
        printf '\n  ]\n}\n'
    } >"$E2E_DIR/session.json"
}

# The search panel. State N of search_state: 0 hits, 1 groups, 2 rows, 3 folded groups, 4 the id of
# the focused control (20 find box, 21 replace box, 31 results), 5 open, 6 stopped.
# With several Ns, their states on one line.
search_state() {
    local n out=()
    for n; do out+=("$(drive send TessaryClass $((0x8000 + 0x55)) "$n")") || return 1; done
    echo "${out[*]}"
}
hits_rows_stopped() { search_state 0 2 6; }
# Replaces the find box's text, which keeps the focus.
find_text() {
    drive keys TessaryClass ctrl+f >/dev/null
    wait_eq 20 search_state 4 || fail "Ctrl+F did not focus the find box"
    drive keys TessaryClass ctrl+a >/dev/null
    drive type TessaryClass "$1" >/dev/null
}
# Maximizes the main window, so that the panel's buttons sit where click_panel expects them.
WIDTH=
maximize() {
    local before
    read -r _ _ before _ < <(drive rect TessaryClass)
    drive dblclick-caption TessaryClass >/dev/null
    wait_eq yes _width_changed "$before" || fail "the caption's double click did not maximize"
    read -r _ _ WIDTH _ < <(drive rect TessaryClass)
}
_width_changed() { read -r _ _ w _ < <(drive rect TessaryClass) && [ "$w" != "$1" ] && echo yes || echo no; }
# Clicks a button of the panel of the maximized window: regex, files, all (Replace All), copy.
click_panel() {
    case $1 in
        regex) drive click TessaryClass $((WIDTH - 63)) $((92 + 38 + 15)) ;;
        files) drive click TessaryClass $((WIDTH - 25)) $((92 + 38 + 15)) ;;
        all) drive click TessaryClass $((WIDTH - 32)) $((92 + 76 + 15)) ;;
        copy) drive click TessaryClass $((WIDTH - 42)) $((92 + 114 + 11)) ;;
    esac >/dev/null
}

# The message names the script's line that failed, also when a helper below failed for it.
fail() {
    echo "FAIL: $E2E_NAME: line ${BASH_LINENO[${#BASH_LINENO[@]} - 2]}: $*" >&2
    _e2e_failure_screenshot
    exit 1
}

assert_eq() {
    [ "$1" = "$2" ] || fail "$3: expected '$1', got '$2'"
}

assert_file_exists() {
    [ -f "$1" ] || fail "${2:-missing file}: $1"
}

pass() {
    echo "PASS: $E2E_NAME"
}

# Copies a stand-in for compilers and interpreters to each PATH given. It leaves "<its path>.ran"
# behind and prints "standin <its name>"; given "-o OUT" it copies itself there (a compiler);
# given a script, it prints "first line: <the script's first line>" and acts on that line: "wait"
# holds its output back until "<script>.stop" exists and exits with code 3, "flood" prints as fast
# as it can, "forever" prints "tick" until it is killed, "exit N" exits with code N, "detach"
# starts a copy that outlives the build until "stop" exists beside the script, then writes
# "survived" there.
standin() {
    local exe=$E2E_DIR/standin.exe path
    [ -f "$exe" ] || x86_64-w64-mingw32-gcc -O2 -static -o "$exe" -x c - <<'C' || fail "the stand-in did not compile"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>
static void touch(const char* path) {
    FILE* f = fopen(path, "w");
    if (f) fclose(f);
}
int main(int argc, char** argv) {
    char self[MAX_PATH], path[3 * MAX_PATH], line[256] = "";
    GetModuleFileNameA(NULL, self, MAX_PATH);
    snprintf(path, sizeof path, "%s.ran", self);
    touch(path);
    if (argc == 3 && strcmp(argv[1], "--linger") == 0) {
        snprintf(path, sizeof path, "%s\\stop", argv[2]);
        for (int i = 0; i < 1200 && GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
        snprintf(path, sizeof path, "%s\\survived", argv[2]);
        touch(path);
        return 0;
    }
    printf("standin %s\n", strrchr(self, '\\') ? strrchr(self, '\\') + 1 : self);
    for (int i = 1; i + 1 < argc; ++i)
        if (strcmp(argv[i], "-o") == 0) return CopyFileA(self, argv[i + 1], FALSE) ? 0 : 1;
    if (argc < 2) return 0;
    FILE* f = fopen(argv[argc - 1], "r");
    if (!f || !fgets(line, sizeof line, f)) return 2;
    fclose(f);
    printf("first line: %s", line);
    if (strncmp(line, "wait", 4) == 0) {
        snprintf(path, sizeof path, "%s.stop", argv[argc - 1]);
        while (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) Sleep(50);
        printf("done\n");
        return 3;
    }
    fflush(stdout);
    while (strncmp(line, "flood", 5) == 0) fputs("0123456789012345678901234567890123456789012345678901234567890\n", stdout);
    while (strncmp(line, "forever", 7) == 0) {
        printf("tick\n");
        fflush(stdout);
        Sleep(50);
    }
    if (strncmp(line, "exit ", 5) == 0) return atoi(line + 5);
    if (strncmp(line, "detach", 6) == 0) {
        char command[3 * MAX_PATH];
        snprintf(path, sizeof path, "%s", argv[argc - 1]);
        *strrchr(path, '\\') = 0;
        snprintf(command, sizeof command, "\"%s\" --linger \"%s\"", self, path);
        STARTUPINFOA si = {sizeof si};
        PROCESS_INFORMATION pi;
        if (!CreateProcessA(self, command, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) return 3;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    return 0;
}
C
    for path; do mkdir -p "$(dirname "$path")" && cp "$exe" "$path"; done
}

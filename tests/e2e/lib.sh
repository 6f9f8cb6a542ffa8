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
    mkdir -p "$E2E_DIR"
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
drive() {
    LC_ALL=C.UTF-8 wine "$TESSARY_BUILD_DIR/tesdrive.exe" "$@" </dev/null | sed 's/\r$//'
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
# automation query).
tab_state() {
    local v
    v=$(drive send TessaryClass $((0x8000 + 0x54))) || return 1
    [ "$v" -ge 0 ] || { echo none; return 0; }
    echo "enc=$((v & 15)) eol=$(((v >> 4) & 15)) hex=$(((v >> 8) & 1)) mapped=$(((v >> 9) & 1))" \
        "modified=$(((v >> 10) & 1)) ro=$(((v >> 11) & 1))"
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

fail() {
    echo "FAIL: $E2E_NAME: $*" >&2
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

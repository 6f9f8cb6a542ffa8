#!/usr/bin/env bash
# A large UTF-8 file loading in the real Tessary.exe, restored from the session and then reloaded
# (tab menu), both in the background: the time until the text is ready, against a plain read of the
# file in the same run; the worst gap in the window's answers to WM_NULL sent from this other
# process meanwhile; and the program's peak memory (VmHWM, Wine's own ~60 MB included) against its
# goal for the load, 1.1 x the file + the peak before the load. The worst gap is also set against
# the worst gap of the idle window over as long a span (what the machine's load alone costs). Then Escape during the load of a CANCEL_MIB file (default 2048, 0 skips it): the
# time until the program's resident memory is back within 100 MB of what it was before the open.
#
#   [CANCEL_MIB=2048] bash bench/e2e_background_load.sh [MiB ...]      (default: 200 1024)
#
# The files are generated under $TMPDIR (default /tmp) and deleted at the end. Build first
# (scripts/build.sh). Runs in a Wine prefix of its own and an Xvfb display of its own.
# shellcheck source=e2e_bench_lib.sh
source "$(dirname "$0")/e2e_bench_lib.sh"
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(200 1024)
bench_start

# CRLF lines with some two- and three-byte characters, padded with ASCII to exactly SIZE bytes.
make_file() {
    python3 - "$1" "$2" <<'PY'
import sys
path, size = sys.argv[1], int(sys.argv[2])
line = "    total += values[17] * weight; // \u00e9t\u00e9 \u4e2d\u6587 if (total > limit) return;\r\n".encode()
block = line * (1048576 // len(line))
with open(path, "wb") as out:
    written = 0
    while written + len(block) <= size:
        out.write(block)
        written += len(block)
    rest = size - written
    out.write(line * (rest // len(line)) + b"x" * (rest % len(line)))
PY
}

printf '%-8s %-34s %9s %13s %9s\n' size load "ready ms" "worst gap ms" "peak MB"
for mib in "${sizes[@]}"; do
    e2e_begin "background-$mib"
    trap cleanup EXIT
    d=$E2E_DIR/data
    mkdir -p "$d"
    size=$((mib * 1048576))
    file=$d/big.txt
    make_file "$file" "$size"
    printf '\xef\xbb\xbf{\n  "active": 0,\n  "tabs": [\n    { "path": "%s" }\n  ]\n}\n' \
        "$(win_path "$file" | sed 's/\\/\\\\/g')" >"$E2E_DIR/session.json"

    app_start
    drive wait-window TessaryClass 30000 >/dev/null || fail "no main window"
    drive wait-msgbox 30000 >/dev/null || fail "no restore question"
    base=$(peak_mb)
    read -r bg_ms bg_gap < <(drive answer-gaps TessaryClass yes "big.txt — Tessary") || fail "background load"
    bg_peak=$(peak_mb)
    assert_eq "$size" "$(drive editor-send TessaryClass 2006)" "all bytes reached the editor"
    printf '%-8s %-34s %9s %13s %9s\n' "${mib}M" "in the background (session restore)" "$bg_ms" "$bg_gap" "$bg_peak"
    idle_gap=$(drive gaps TessaryClass $((bg_ms < 10000 ? bg_ms : 10000))) || fail "idle gaps"
    goal=$(echo "$size * 1.1 / 1000000 + $base" | bc -l | xargs printf '%.0f')
    echo "  idle window, same span: worst gap $idle_gap ms (ratio background / idle $(ratio "$bg_gap" "$idle_gap"));" \
        "peak $bg_peak MB against the goal $goal MB (1.1 x file + $base MB before the load): $(ratio "$bg_peak" "$goal")"

    # The tab menu's Reload reads the file again, in the background too, the old text shown (and
    # held) until the new one is there. An edit first, so that the reload asks and the measure
    # starts with the answer.
    drive type TessaryClass "x" >/dev/null
    wait_eq $((size + 1)) drive editor-send TessaryClass 2006 || fail "the loaded text takes no edit"
    drive rclick TessaryClass 300 109 >/dev/null
    wait_eq shown shown TesMenuPop || fail "no tab menu"
    drive click TesMenuPop 100 $((12 + 4 + 5 * 36 + 9 + 18)) >/dev/null   # Reload
    read -r re_ms re_gap < <(drive answer-gaps TessaryClass no "big.txt — Tessary") || fail "reload"
    assert_eq "$size" "$(drive editor-send TessaryClass 2006)" "all bytes reached the editor again"
    printf '%-8s %-34s %9s %13s %9s\n' "${mib}M" "reload, old text kept meanwhile" "$re_ms" "$re_gap" "$(peak_mb)"
    # The baseline: the same bytes read by this machine's own tools, with no program in between.
    t0=$(date +%s%N)
    dd if="$file" of=/dev/null bs=16M status=none
    raw_ms=$(( ($(date +%s%N) - t0) / 1000000 ))
    echo "  a plain read of the file: $raw_ms ms; ratios to it: load $(ratio "$bg_ms" "$raw_ms")," \
        "reload $(ratio "$re_ms" "$raw_ms")"

    drive command TessaryClass 109 >/dev/null
    app_wait_exit 120 || fail "did not exit"
    rm -rf "$d"
done

cancel_mib=${CANCEL_MIB:-2048}
if [ "$cancel_mib" -gt 0 ]; then
    # Text for the first chunks, then a hole: the read is held before its first append (the main
    # window's test message), by which time the room for the whole text has been taken.
    e2e_begin "cancel-$cancel_mib"
    trap cleanup EXIT
    d=$E2E_DIR/data
    mkdir -p "$d"
    file=$d/huge.txt
    make_file "$file" $((32 * 1048576))
    truncate -s $((cancel_mib * 1048576)) "$file"
    resident_mb() { awk '/^VmRSS:/ { printf "%d", $2 / 1024 }' "/proc/$APP_PID/status"; }
    above() { if [ "$(resident_mb)" -gt "$1" ]; then echo yes; else echo no; fi; }
    app_start
    drive wait-window TessaryClass 30000 >/dev/null || fail "no main window"
    settle
    before=$(resident_mb)
    drive send TessaryClass $((0x8000 + 0x6B)) 1 >/dev/null
    open_file "$file"
    # All the room is taken (2048 MiB are 2147 MB): the Escape then waits for no allocation.
    E2E_WAIT_S=120 wait_eq yes above $((before + cancel_mib)) || fail "the load took no room"
    held=$(resident_mb)
    # From just before the driver starts (its own start-up is counted: an upper bound) until the
    # memory is back; the driver's start-up alone is measured after, with a key that does nothing.
    t0=$(date +%s%N)
    drive keys TessaryClass escape >/dev/null
    t1=$(date +%s%N)
    while [ "$(above $((before + 100)))" = yes ]; do
        [ $(( ($(date +%s%N) - t0) / 1000000 )) -lt 60000 ] || fail "the memory was not freed within a minute"
        sleep 0.01
    done
    t2=$(date +%s%N)
    t3=$(date +%s%N)
    drive keys TessaryClass escape >/dev/null
    t4=$(date +%s%N)
    echo "cancel ${cancel_mib}M: resident $before MB before the open, $held MB held, back within 100 MB" \
        "$(( (t2 - t0) / 1000000 )) ms after Escape (the key's delivery alone $(( (t1 - t0) / 1000000 )) ms;" \
        "an idle Escape's $(( (t4 - t3) / 1000000 )) ms)"
    drive command TessaryClass 109 >/dev/null
    app_wait_exit 120 || fail "did not exit"
fi

#!/usr/bin/env bash
# Large UTF-8 files through the real Tessary.exe, the way a user meets them: a session restore of
# one file (open), Save without an edit, then Save after typing one character. For each it prints
# the time (from the answer to the restore question, or from the Save command, until the main
# window answers messages again) and the program's peak memory (VmHWM of its process, which
# includes Wine's own ~60 MB), beside `cat` of the same file and a raw write of the same bytes.
# Every saved file is checked byte for byte.
#
#   bash bench/e2e_large_files.sh [MiB ...]      (default: 200 1024; 2355 checks a file over 2 GiB)
#
# The files are generated under $TMPDIR (default /tmp) and deleted at the end; each size needs
# about three times its size in free disk space. Build first (scripts/build.sh). Runs in a Wine
# prefix of its own (~/.cache/tessary/bench-prefix) and an Xvfb display of its own.
# shellcheck source=e2e_bench_lib.sh
source "$(dirname "$0")/e2e_bench_lib.sh"
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(200 1024)
bench_start

now() { date +%s.%N; }
seconds_since() { echo "$(now) - $1" | bc -l | xargs printf '%.2f'; }
mb_per_s() { echo "$1 * 1048576 / 1000000 / $2" | bc -l | xargs printf '%.0f'; }

# One file of 1,000-line CRLF blocks, about one line in twenty of CJK text, cut at a line end and
# padded with ASCII to exactly SIZE bytes.
make_file() {
    python3 - "$1" "$2" <<'PY'
import sys
path, size = sys.argv[1], int(sys.argv[2])
lines = []
for n in range(1000):
    if n % 20 == 7:
        lines.append("    // \u4e2d\u6587\u6ce8\u91ca\uff1a\u8ba1\u7b97\u603b\u548c\u5e76\u8fd4\u56de\u7ed3\u679c %d" % n)
    else:
        lines.append("    total += values[%d] * weight; if (total > limit) return clamp(total, %d);" % (n, n))
block = ("\r\n".join(lines) + "\r\n").encode()
with open(path, "wb") as out:
    written = 0
    while written + len(block) <= size:
        out.write(block)
        written += len(block)
    tail = b""
    for line in block.split(b"\r\n"):
        if written + len(tail) + len(line) + 2 > size:
            break
        tail += line + b"\r\n"
    out.write(tail + b"x" * (size - written - len(tail)))
PY
}

printf '%-8s %-22s %8s %9s %11s\n' size step seconds MB/s "peak MB"
for mib in "${sizes[@]}"; do
    e2e_begin "large-$mib"
    trap cleanup EXIT
    d=$E2E_DIR/data
    mkdir -p "$d"
    size=$((mib * 1048576))
    file=$d/big.txt
    make_file "$file" "$size"
    sum=$(md5sum <"$file" | cut -d' ' -f1)
    printf '\xef\xbb\xbf{\n  "active": 0,\n  "tabs": [\n    { "path": "%s" }\n  ]\n}\n' \
        "$(win_path "$file" | sed 's/\\/\\\\/g')" >"$E2E_DIR/session.json"

    t=$(now)
    cat "$file" >/dev/null
    printf '%-8s %-22s %8s %9s\n' "${mib}M" "cat" "$(seconds_since "$t")" ""

    app_start
    drive wait-window TessaryClass 30000 >/dev/null || fail "no main window"
    ms=$(drive busy-time TessaryClass answer yes "big.txt — Tessary") || fail "open"
    s=$(echo "$ms / 1000" | bc -l | xargs printf '%.2f')
    printf '%-8s %-22s %8s %9s %11s\n' "${mib}M" "open (session restore)" "$s" "$(mb_per_s "$mib" "$s")" "$(peak_mb)"
    assert_eq "$size" "$(drive editor-send TessaryClass 2006)" "all bytes reached the editor"
    assert_eq "enc=0 hex=0 modified=0" "$(tab_state | cut -d' ' -f1,3,5)" "opened as UTF-8 text"

    ms=$(drive busy-time TessaryClass command 103) || fail "save"
    s=$(echo "$ms / 1000" | bc -l | xargs printf '%.2f')
    printf '%-8s %-22s %8s %9s %11s\n' "${mib}M" "save, unmodified" "$s" "$(mb_per_s "$mib" "$s")" "$(peak_mb)"
    drive no-msgbox 200 >/dev/null || fail "a message on saving"
    [ "$(md5sum <"$file" | cut -d' ' -f1)" = "$sum" ] || fail "the unmodified save changed the file"

    drive type TessaryClass "#" >/dev/null
    wait_eq "modified=1" eval 'tab_state | cut -d" " -f5' || fail "typing did not modify the tab"
    ms=$(drive busy-time TessaryClass command 103) || fail "save"
    s=$(echo "$ms / 1000" | bc -l | xargs printf '%.2f')
    printf '%-8s %-22s %8s %9s %11s\n' "${mib}M" "save, modified" "$s" "$(mb_per_s "$mib" "$s")" "$(peak_mb)"
    drive no-msgbox 200 >/dev/null || fail "a message on saving"
    [ "$(head -c 1 "$file")" = "#" ] && [ "$(tail -c +2 "$file" | md5sum | cut -d' ' -f1)" = "$sum" ] ||
        fail "the modified save did not write the text with the typed character"

    # The same bytes written by dd: to a new file, and (as a save must) to a temporary file that
    # then replaces the file.
    t=$(now)
    dd if="$file" of="$d/raw.txt" bs=16M conv=fsync status=none
    s=$(seconds_since "$t")
    printf '%-8s %-22s %8s %9s\n' "${mib}M" "raw write (dd, fsync)" "$s" "$(mb_per_s "$mib" "$s")"
    t=$(now)
    dd if="$d/raw.txt" of="$file.tmp" bs=16M conv=fsync status=none
    mv -f "$file.tmp" "$file"
    s=$(seconds_since "$t")
    printf '%-8s %-22s %8s %9s\n' "${mib}M" "raw write and replace" "$s" "$(mb_per_s "$mib" "$s")"

    drive command TessaryClass 109 >/dev/null
    app_wait_exit 120 || fail "did not exit"
    rm -rf "$d"
done

#!/usr/bin/env bash
# Large UTF-8 files stream into the editor; large non-UTF-8 and binary files open as bytes, save
# back unchanged, keep their bytes when the file vanishes and are read anew when it changes.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin large_and_binary
d=$E2E_DIR/data

# 20 MiB of CRLF lines with one lone LF early on and a CRLF split by the 16 MiB read boundary:
# Mixed, by the same rule as a small file, though the last break is CRLF.
python3 - "$d" <<'PY'
import sys
line = b"The quick brown fox jumps over the lazy dog, again and again.\r\n"
size, cut = 20 * 1024 * 1024, 16 * 1024 * 1024
data = bytearray((b"# " + line * (size // len(line) + 1))[:size - 2] + b"\r\n")
data[len(line) * 3 + 60] = 0x0A   # a lone LF
assert data[cut - 1:cut + 1] == b"\r\n"
open(sys.argv[1] + "/big-utf8.txt", "wb").write(bytes(data))
PY
cp "$d/big-utf8.txt" "$d/big-invalid.bin"
printf '\xff' | dd of="$d/big-invalid.bin" bs=1 seek=$((17 * 1024 * 1024)) conv=notrunc status=none
printf 'abc\x00def\x01\x02\n' >"$d/small.bin"
cp "$d/small.bin" "$d/small.bin.orig"

app_up
open_tab "$d/big-utf8.txt"
assert_eq "enc=0 eol=2 hex=0 mapped=0 modified=0 ro=0" "$(tab_state)" "large UTF-8 file"
assert_eq $((20 * 1024 * 1024)) "$(drive editor-send TessaryClass 2006)" "all bytes reached the editor"

# 200 MiB written straight from the component's buffer: byte for byte without an edit, and with a
# typed character after one.
python3 - "$d/big-200.txt" <<'PY'
import sys
lines = ["    total += values[%d] * weight; // \u4e2d\u6587 %d" % (n, n) if n % 20 == 7 else
         "    total += values[%d] * weight; if (total > limit) return clamp(total, %d);" % (n, n) for n in range(1000)]
block = ("\r\n".join(lines) + "\r\n").encode()
size = 200 * 1024 * 1024
open(sys.argv[1], "wb").write((block * (size // len(block) + 1))[:size - 1] + b"\n")
PY
sum=$(md5sum <"$d/big-200.txt")
open_file "$d/big-200.txt"
E2E_WAIT_S=60 wait_eq "big-200.txt — Tessary" drive title TessaryClass || fail "200 MiB text"
drive busy-time TessaryClass command 103 >/dev/null || fail "saving 200 MiB"
no_msgbox_now || fail "a message on saving 200 MiB"
[ "$(md5sum <"$d/big-200.txt")" = "$sum" ] || fail "200 MiB saved without an edit changed"
drive type TessaryClass "#" >/dev/null
wait_eq "modified=1" tab_state modified || fail "typing did not modify the 200 MiB tab"
drive busy-time TessaryClass command 103 >/dev/null || fail "saving 200 MiB after an edit"
[ "$(head -c 1 "$d/big-200.txt")" = "#" ] && [ "$(tail -c +2 "$d/big-200.txt" | md5sum)" = "$sum" ] ||
    fail "200 MiB saved after an edit lacks the edit or changed elsewhere"
cmd 107
wait_eq "big-utf8.txt — Tessary" drive title TessaryClass || fail "closing the 200 MiB tab"
rm "$d/big-200.txt"

open_tab "$d/big-invalid.bin"
assert_eq "hex=1 mapped=1 modified=0" "$(tab_state hex mapped modified)" "large non-UTF-8 file is mapped"
cp "$d/big-invalid.bin" "$d/big-invalid.orig"
# Save is sent, not posted: the answer comes once the save has run (a message box in it would hold
# the answer back until the send gives up).
save_now() { drive send TessaryClass 0x111 103 0 60000 >/dev/null; }
save_now || fail "saving the unchanged mapped tab did not finish without a message"
no_msgbox_now || fail "message on saving an unchanged mapped tab"
cmp -s "$d/big-invalid.bin" "$d/big-invalid.orig" || fail "mapped file changed"
# Save As writes the same bytes and binds the tab, still mapped, to the new file.
dialog_file 104 "$d/big-copy.bin"
wait_eq "big-copy.bin — Tessary" drive title TessaryClass || fail "save as of the mapped tab"
assert_eq "hex=1 mapped=1 modified=0" "$(tab_state hex mapped modified)" "the copy is mapped"
cmp -s "$d/big-copy.bin" "$d/big-invalid.orig" || fail "the copy of the mapped file differs"
tabs=$(drive child-count TessaryClass Scintilla)
open_file "$d/big-copy.bin"
no_msgbox_now || fail "opening the copy showed a message"
assert_eq "$tabs big-copy.bin — Tessary" "$(drive child-count TessaryClass Scintilla) $(drive title TessaryClass)" \
    "the tab already shows the copy"

# The mapped file is deleted: reloading it (tab menu > Reload) says so and keeps the bytes, and a
# save afterwards writes no empty file.
rm "$d/big-copy.bin"   # the tab's file since the Save As
tab_menu 670 5   # Reload, from the menu of the third tab
prompt=$(drive answer-msgbox ok) || fail "no message for reloading a deleted file"
where=$(win_path "$d/big-copy.bin")
assert_eq $'Tessary\nTessary cannot find this file:\\n'"${where//\\/\\\\}" "$prompt" "reload message"
assert_eq "hex=1 mapped=1 modified=0" "$(tab_state hex mapped modified)" "the tab keeps its mapping"
save_now || fail "saving the tab of the deleted file did not finish without a message"
no_msgbox_now || fail "message on saving the unchanged tab"
[ ! -e "$d/big-copy.bin" ] || cmp -s "$d/big-copy.bin" "$d/big-invalid.orig" ||
    fail "saving after the failed reload wrote $(stat -c %s "$d/big-copy.bin") bytes"

open_tab "$d/small.bin"
assert_eq "hex=1 mapped=0 modified=0" "$(tab_state hex mapped modified)" "small binary file is held in memory"
dialog_file 104 "$d/copy.bin"
wait_eq "copy.bin — Tessary" drive title TessaryClass || fail "save as"
cmp -s "$d/copy.bin" "$d/small.bin.orig" || fail "binary copy differs"

# Changed on disk into UTF-16 text with LF breaks: the reload of the hex tab detects both anew.
printf '\xff\xfea\x00\n\x00b\x00' >"$d/copy.bin"
touch -d '+5 seconds' "$d/copy.bin"
drive post TessaryClass 0x6 1 0 >/dev/null                     # WM_ACTIVATE
drive answer-msgbox yes >/dev/null || fail "no reload prompt for the changed binary file"
wait_eq "enc=2 eol=1 hex=1 mapped=1 modified=0 ro=0" tab_state || fail "hex reload state"

app_quit
pass

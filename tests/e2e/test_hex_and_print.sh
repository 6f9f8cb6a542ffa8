#!/usr/bin/env bash
# The hex view patches bytes with undo and saves exactly what it shows; text tabs go into it and
# back without losing a byte; a text tab prints to the PDF printer with header and page footer.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin hex_and_print
d=$E2E_DIR/data
mkdir -p "$d"
docs=$(cd "$(dirname "$0")/../.." && pwd)/docs

printf '\x00\x01\x02abc\x00def\x7f\xa0 xyz0123456789' >"$d/patch.bin"
cp "$d/patch.bin" "$d/patch.orig"
printf 'hello world\n' >"$d/mapped.txt"

# "hex=H modified=M" of the active tab.
_hex_modified() { tab_state | awk '{print $3, $5}'; }

app_start
drive wait-window TessaryClass 20000 >/dev/null || fail "no main window"

# A binary file opens as bytes; "41" patches byte 0 and Ctrl+Z twice takes both digits back.
open_file "$d/patch.bin"
wait_eq "patch.bin — Tessary" drive title TessaryClass || fail "binary file"
assert_eq "hex=1 mapped=0 modified=0" "$(tab_state | cut -d' ' -f3-5)" "binary file opens in hex"
drive type TessaryClass 41 >/dev/null
wait_eq "patch.bin • — Tessary" drive title TessaryClass || fail "typing did not mark the tab modified"
drive keys TessaryClass ctrl+z ctrl+z >/dev/null
drive keys TessaryClass ctrl+s >/dev/null
wait_eq "patch.bin — Tessary" drive title TessaryClass || fail "Ctrl+S did not save"
cmp -s "$d/patch.bin" "$d/patch.orig" || fail "two undos did not restore byte 0"
drive type TessaryClass 41 >/dev/null
drive keys TessaryClass right right 5 a >/dev/null   # caret keys, then byte 2 -> 5A
wait_eq "patch.bin • — Tessary" drive title TessaryClass || fail "second patch"
drive keys TessaryClass ctrl+s >/dev/null
wait_eq "patch.bin — Tessary" drive title TessaryClass || fail "second save"
{ printf '\x41\x01\x5a'; tail -c +4 "$d/patch.orig"; } >"$d/patch.expected"
cmp -s "$d/patch.bin" "$d/patch.expected" || fail "saved bytes: $(od -An -tx1 "$d/patch.bin" | head -1)"
screenshot TessaryClass "$docs/hex-view-dark.png"
drive command TessaryClass 481 >/dev/null   # Light theme
screenshot TessaryClass "$docs/hex-view-light.png"
drive command TessaryClass 480 >/dev/null

# A modified text tab shows the UTF-8 bytes of its text; back as text it is still modified.
drive command TessaryClass 100 >/dev/null
drive type TessaryClass 'héllo' >/dev/null
wait_eq "hex=0 modified=1" _hex_modified || fail "typing into the new tab"
drive command TessaryClass 185 >/dev/null
wait_eq "hex=1 modified=1" _hex_modified || fail "the modified text tab did not go into hex"
drive command TessaryClass 104 >/dev/null
drive file-dialog "$(win_path "$d/utf8.bin")" >/dev/null || fail "save-as of the hex tab"
wait_eq "utf8.bin — Tessary" drive title TessaryClass || fail "hex save as"
assert_eq "68c3a96c6c6f" "$(od -An -tx1 "$d/utf8.bin" | tr -d ' \n')" "the bytes are the text's UTF-8"
drive command TessaryClass 185 >/dev/null
wait_eq "hex=0 modified=0" _hex_modified || fail "back to text"
assert_eq "héllo" "$(drive editor-text TessaryClass)" "the text after the round trip"

# Leaving hex with unsaved changes of a mapped file is refused; nothing is lost.
open_file "$d/mapped.txt"
wait_eq "mapped.txt — Tessary" drive title TessaryClass || fail "text file"
drive command TessaryClass 185 >/dev/null
assert_eq "hex=1 mapped=1 modified=0" "$(tab_state | cut -d' ' -f3-5)" "the text file is mapped in hex"
drive type TessaryClass 4 >/dev/null   # 'h' (68) -> 'H' (48)
wait_eq "hex=1 modified=1" _hex_modified || fail "typing on the mapped tab"
drive command TessaryClass 185 >/dev/null
prompt=$(drive answer-msgbox ok) || fail "no message when leaving with unsaved mapped changes"
assert_eq $'Tessary\nSave the byte changes first: the tab stays in hex mode.' "$prompt" "refusal message"
assert_eq "hex=1 mapped=1 modified=1" "$(tab_state | cut -d' ' -f3-5)" "the tab stays in hex mode"
drive keys TessaryClass ctrl+s >/dev/null
wait_eq "mapped.txt — Tessary" drive title TessaryClass || fail "saving the mapped tab"
assert_eq "Hello world" "$(cat "$d/mapped.txt")" "the patched byte was saved"
drive command TessaryClass 185 >/dev/null
wait_eq "hex=0 modified=0" _hex_modified || fail "leaving hex after the save"
assert_eq 'Hello world\n' "$(drive editor-text TessaryClass)" "the saved bytes as text"

drive command TessaryClass 109 >/dev/null
app_wait_exit || fail "the app did not exit"
pass

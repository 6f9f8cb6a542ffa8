#!/usr/bin/env bash
# Files in every detected encoding and line-ending style open with the right labels; a converted
# encoding or line ending writes the expected bytes. (Unedited saves writing the bytes read are
# test_lossless_restore.sh's, Open Project on a plain file test_sidebar.sh's.)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin files_roundtrip
d=$E2E_DIR/data

# name, bytes (printf format), expected "enc=E eol=L"
cases=(
  "utf8-lf.txt|a\n\xc3\xbc\n|enc=0 eol=1"
  "utf8-crlf.txt|a\r\nb\r\n|enc=0 eol=0"
  "utf8-cr.txt|a\rb\r|enc=0 eol=3"
  "utf8-mixed.txt|a\r\nb\nc|enc=0 eol=2"
  "utf8bom-crlf.txt|\xef\xbb\xbfx\r\ny|enc=1 eol=0"
  "utf16le-crlf.txt|\xff\xfea\x00\r\x00\n\x00b\x00|enc=2 eol=0"
  "utf16be-lf.txt|\xfe\xff\x00a\x00\n\x00b|enc=4 eol=1"
  "ansi-lf.txt|caf\xe9 ok\nna\xefve\n|enc=3 eol=1"
  "empty.txt||enc=0 eol=0"
)

app_up
for c in "${cases[@]}"; do
    IFS='|' read -r name bytes expected <<<"$c"
    printf "$bytes" >"$d/$name"
    open_tab "$d/$name"
    assert_eq "$expected hex=0 mapped=0 modified=0 ro=0" "$(tab_state)" "$name state"
done

# Convert a UTF-8 tab to each other encoding and line ending and save: the bytes follow.
printf 'AB\xc3\xa9\r\n' >"$d/convert.txt"
open_tab "$d/convert.txt"
expect_after() {   # command, expected hex dump
    drive command TessaryClass "$1" >/dev/null
    wait_eq "convert.txt • — Tessary" drive title TessaryClass || fail "command $1 did not mark the tab"
    cmd 103
    wait_eq "convert.txt — Tessary" drive title TessaryClass || fail "save after $1"
    assert_eq "$2" "$(od -An -tx1 "$d/convert.txt" | tr -d ' \n')" "bytes after command $1"
}
for step in 152:fffe41004200e9000d000a00 153:feff0041004200e9000d000a 151:efbbbf4142c3a90d0a 156:4142e90d0a \
    154:4142a8a60d0a 150:4142c3a90d0a 132:4142c3a90a 133:4142c3a90d 131:4142c3a90d0a; do
    expect_after "${step%:*}" "${step#*:}"
done
# Choosing the encoding the tab already has changes nothing (sent, so it has run on return).
drive send TessaryClass 0x111 150 >/dev/null
assert_eq "convert.txt — Tessary" "$(drive title TessaryClass)" "same encoding marked the tab"

app_quit
pass

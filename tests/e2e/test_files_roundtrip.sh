#!/usr/bin/env bash
# Files in every detected encoding and line-ending style open with the right labels and save
# back byte-identical; a converted encoding or line ending writes the expected bytes.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin files_roundtrip
d=$E2E_DIR/data
mkdir -p "$d"

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

app_start
drive wait-window TessaryClass 20000 >/dev/null || fail "no main window"
for c in "${cases[@]}"; do
    IFS='|' read -r name bytes expected <<<"$c"
    printf "$bytes" >"$d/$name"
    touch -d @1000000000 "$d/$name"
    cp "$d/$name" "$d/$name.orig"
    stamp=$(file_stamp "$d/$name")
    open_file "$d/$name"
    wait_eq "$name — Tessary" drive title TessaryClass || fail "$name did not open"
    state=$(tab_state)
    assert_eq "$expected hex=0 mapped=0 modified=0 ro=0" "$state" "$name state"
    drive command TessaryClass 103 >/dev/null   # save unchanged
    wait_rewritten "$d/$name" "$stamp" || fail "$name was not saved"
    no_msgbox_now || fail "$name: message on save"
    cmp -s "$d/$name" "$d/$name.orig" || fail "$name changed on a save without edits"
    [ ! -e "$d/$name.testmp" ] || fail "$name: temporary file left behind"
done

# Convert a UTF-8 tab to each other encoding and line ending and save: the bytes follow.
printf 'AB\xc3\xa9\r\n' >"$d/convert.txt"
open_file "$d/convert.txt"
wait_eq "convert.txt — Tessary" drive title TessaryClass || fail "convert.txt did not open"
expect_after() {   # command, expected hex dump
    drive command TessaryClass "$1" >/dev/null
    wait_eq "convert.txt • — Tessary" drive title TessaryClass || fail "command $1 did not mark the tab"
    drive command TessaryClass 103 >/dev/null
    wait_eq "convert.txt — Tessary" drive title TessaryClass || fail "save after $1"
    assert_eq "$2" "$(od -An -tx1 "$d/convert.txt" | tr -d ' \n')" "bytes after command $1"
}
expect_after 152 fffe41004200e9000d000a00
expect_after 153 feff0041004200e9000d000a
expect_after 151 efbbbf4142c3a90d0a
expect_after 156 4142e90d0a
expect_after 154 4142a8a60d0a
expect_after 150 4142c3a90d0a
expect_after 132 4142c3a90a
expect_after 133 4142c3a90d
expect_after 131 4142c3a90d0a
# Choosing the encoding the tab already has changes nothing (sent, so it has run on return).
drive send TessaryClass 0x111 150 >/dev/null
assert_eq "convert.txt — Tessary" "$(drive title TessaryClass)" "same encoding marked the tab"

# Open Project with a file that is not a project opens that file's folder as the workspace.
drive command TessaryClass 240 >/dev/null
drive file-dialog "$(win_path "$d/convert.txt")" >/dev/null || fail "open project dialog"
wait_eq "convert.txt — data" drive title TessaryClass || fail "the file's folder did not become the workspace"

drive command TessaryClass 109 >/dev/null
app_wait_exit 20 || fail "did not exit"
assert_eq 0 "$APP_EXIT" "exit code"
pass

#!/usr/bin/env bash
# Under the GBK (936) system code page a GBK file opens as ANSI and saves back byte-identical.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin gbk_codepage
d=$E2E_DIR/data
printf '\xd6\xd0\xce\xc4 text\r\n\xb1\xe0\xbc\xad\r\n' >"$d/gbk.txt"   # "中文 text", "编辑"
touch -d @1000000000 "$d/gbk.txt"
cp "$d/gbk.txt" "$d/gbk.orig"
stamp=$(file_stamp "$d/gbk.txt")

# The ANSI code page is taken per process from the locale.
LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 app_start
drive wait-window TessaryClass 20000 >/dev/null || fail "no main window"
open_tab "$d/gbk.txt"
assert_eq "enc=3 eol=0 hex=0 mapped=0 modified=0 ro=0" "$(tab_state)" "GBK file is ANSI"
assert_eq '中文 text\r\n编辑\r\n' "$(drive editor-text TessaryClass)" "decoded through code page 936"
cmd 103
wait_rewritten "$d/gbk.txt" "$stamp" || fail "not saved"
no_msgbox_now || fail "message on save"
cmp -s "$d/gbk.txt" "$d/gbk.orig" || fail "GBK file changed on save"

# GB2312 writes the same bytes for these characters.
stamp=$(file_stamp "$d/gbk.txt")
cmd 155
wait_eq "gbk.txt • — Tessary" drive title TessaryClass || fail "GB2312 did not mark the tab"
assert_eq "enc=6" "$(tab_state enc)" "converted to GB2312"
cmd 103
wait_eq "gbk.txt — Tessary" drive title TessaryClass || fail "save as GB2312"
wait_rewritten "$d/gbk.txt" "$stamp" || fail "GB2312 not saved"
cmp -s "$d/gbk.txt" "$d/gbk.orig" || fail "GB2312 bytes differ: $(od -An -tx1 "$d/gbk.txt")"

app_quit
pass

#!/usr/bin/env bash
# The hex view patches bytes with undo and saves exactly what it shows; text tabs go into it and
# back without losing a byte; a text tab prints to the PDF printer with header and page footer.
# The pictures under docs/ come from here (hex-view-dark.png, hex-view-light.png, printed-page-1.png
# in the artifacts folder); the manual shows a part of the hex views (scripts/manual-pictures.sh).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin hex_and_print
d=$E2E_DIR/data

printf '\x00\x01\x02abc\x00def\x7f\xa0 xyz0123456789' >"$d/patch.bin"
cp "$d/patch.bin" "$d/patch.orig"
printf 'hello world\n' >"$d/mapped.txt"

# Printing goes to the CUPS PDF queue, which Wine lists as its default printer; the program reads
# the printer list when it starts, so the queue is made ready first.
# Another test run on the same machine may share the scheduler: each run holds a shared lock while
# it prints, and the last one out stops a scheduler that a test started. The start lock makes
# "is it running, then hold it" and "am I the last, then stop it" one step each.
cups_pid_file=/tmp/tessary-e2e-cupsd.pid
exec {cups_lock}>/tmp/tessary-e2e-cups.lock {start_lock}>/tmp/tessary-e2e-cups-start.lock
# lpstat -r succeeds either way; its words tell.
_cupsd_state() { if lpstat -r 2>/dev/null | grep -qx 'scheduler is running'; then echo running; else echo stopped; fi; }
_stop_cupsd() {
    [ -n "$cups_lock" ] || return 0
    flock -x "$start_lock"
    flock -u "$cups_lock"
    if flock -n -x "$cups_lock" && [ -s "$cups_pid_file" ]; then
        kill "$(cat "$cups_pid_file")" 2>/dev/null || true
        rm -f "$cups_pid_file"
    fi
    exec {cups_lock}>&- {start_lock}>&-
    cups_lock=
}
trap '_stop_cupsd; _e2e_cleanup' EXIT
flock -x "$start_lock"
flock -s "$cups_lock"
if ! pgrep -x cupsd >/dev/null; then
    # In the foreground of a background job, so that its process id is the scheduler's; it refuses
    # a private temporary folder.
    env -u TMPDIR /usr/sbin/cupsd -f </dev/null >/dev/null 2>&1 &
    echo $! >"$cups_pid_file"
    wait_eq running _cupsd_state || fail "cupsd did not start"
fi
flock -u "$start_lock"
lpstat -p PDF >/dev/null 2>&1 || lpadmin -p PDF -v cups-pdf:/ -E -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null
lpstat -d 2>/dev/null | grep -q ': PDF$' || lpadmin -d PDF
pdf_dirs=("$HOME/PDF" /var/spool/cups-pdf/ANONYMOUS)
# Only old output goes: a run beside this one may be printing now.
find "${pdf_dirs[@]}" -name '*.pdf' -mmin +120 -delete 2>/dev/null || true

# A signature of the right half of the status bar's pixels (the bottom 20 rows of the window),
# where the tab's marks are; the left half follows the caret and the byte under it.
status_bar_pixels() {
    local w
    screenshot TessaryClass "$E2E_DIR/status.png" && w=$(identify -format '%w' "$E2E_DIR/status.png") &&
        convert "$E2E_DIR/status.png" -gravity southeast -crop "$((w / 2))x20+0+0" +repage -format '%#' info:
}

app_up

# A binary file opens as bytes; "41" patches byte 0 and Ctrl+Z twice takes both digits back.
open_tab "$d/patch.bin"
assert_eq "hex=1 mapped=0 modified=0" "$(tab_state hex mapped modified)" "binary file opens in hex"
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
# The hex view follows the theme: a point of it changes from the Dark picture taken here to Light
# and back.
hex_point() { shot_pixels TessaryClass "$1" 800,400; }
dark=$(hex_point hex-view-dark.png)
theme_is() { if [ "$(hex_point "$1")" = "$dark" ]; then echo dark; else echo other; fi; }
cmd 481   # Light theme
wait_eq other theme_is hex-view-light.png || fail "the hex view did not change with the Light theme"
cmd 480
wait_eq dark theme_is "$E2E_DIR/probe.png" || fail "the hex view did not go back to Dark"

# A modified text tab shows the UTF-8 bytes of its text; back as text it is still modified.
cmd 100
wait_eq "hex=0 modified=0" tab_state hex modified || fail "no new text tab"   # type only once it has the focus
drive type TessaryClass 'héllo' >/dev/null
wait_eq "hex=0 modified=1" tab_state hex modified || fail "typing into the new tab"
cmd 185
wait_eq "hex=1 modified=1" tab_state hex modified || fail "the modified text tab did not go into hex"
dialog_file 104 "$d/utf8.bin"
wait_eq "utf8.bin — Tessary" drive title TessaryClass || fail "hex save as"
assert_eq "68c3a96c6c6f" "$(od -An -tx1 "$d/utf8.bin" | tr -d ' \n')" "the bytes are the text's UTF-8"
cmd 185
wait_eq "hex=0 modified=0" tab_state hex modified || fail "back to text"
assert_eq "héllo" "$(drive editor-text TessaryClass)" "the text after the round trip"

# Leaving hex with unsaved changes of a mapped file is refused; nothing is lost.
open_tab "$d/mapped.txt"
cmd 185
wait_eq "hex=1 mapped=1 modified=0" tab_state hex mapped modified || fail "the text file is not mapped in hex"
clean_status=$(status_bar_pixels)
drive type TessaryClass 4 >/dev/null   # 'h' (68) -> 'H' (48)
wait_eq "hex=1 modified=1" tab_state hex modified || fail "typing on the mapped tab"
cmd 185
prompt=$(drive answer-msgbox ok) || fail "no message when leaving with unsaved mapped changes"
assert_eq $'Tessary\nSave the byte changes first: the tab stays in hex mode.' "$prompt" "refusal message"
settle
assert_eq "hex=1 mapped=1 modified=1" "$(tab_state hex mapped modified)" "the tab stays in hex mode"
drive keys TessaryClass ctrl+s >/dev/null
wait_eq "mapped.txt — Tessary" drive title TessaryClass || fail "saving the mapped tab"
wait_eq "$clean_status" status_bar_pixels || fail "the status bar still shows the modified mark"
assert_eq "Hello world" "$(cat "$d/mapped.txt")" "the patched byte was saved"
cmd 185
wait_eq "hex=0 modified=0" tab_state hex modified || fail "leaving hex after the save"
assert_eq 'Hello world\n' "$(drive editor-text TessaryClass)" "the saved bytes as text"

# A mapped file whose bytes can no longer be read (cut short behind the program's back, as when its
# volume goes away) fails the save with a message instead of crashing: nothing is written and the
# tab keeps its change.
for ((i = 0; i < 400; i++)); do echo "bytes that vanish, line $i"; done >"$d/vanish.txt"
open_tab "$d/vanish.txt"
cmd 185
wait_eq "hex=1 mapped=1 modified=0" tab_state hex mapped modified || fail "the file is mapped in hex"
drive type TessaryClass 4 >/dev/null
wait_eq "hex=1 modified=1" tab_state hex modified || fail "typing on the mapped file"
truncate -s 0 "$d/vanish.txt"
cmd 103
box=$(drive wait-msgbox) || fail "no message when the mapped bytes cannot be read"
grep -qF "Tessary cannot read this file:\n$(win_path "$d/vanish.txt" | sed 's/\\/\\\\/g')" <<<"$box" ||
    fail "the message names the file that cannot be read: $box"
# Closing it brings the main window back, which finds the file changed on disk and asks from
# within that press: the press is posted, and each such question answered with No (no reload).
press_then_keep() {
    drive post '#32770' $((0x111)) "$1" 0 >/dev/null
    while box=$(drive wait-msgbox 2000); do
        [[ $box == *Reload\?* ]] || fail "unexpected message: $box"
        drive answer-msgbox no >/dev/null
    done
}
press_then_keep 1   # OK
assert_eq 0 "$(stat -c %s "$d/vanish.txt")" "nothing was written over the file"
[ ! -e "$d/vanish.txt.testmp" ] || fail "a temporary file was left behind"
assert_eq "hex=1 mapped=1 modified=1" "$(tab_state hex mapped modified)" "the tab keeps its change"
cmd 107
drive wait-msgbox >/dev/null || fail "no save prompt when closing the tab"
press_then_keep 7   # No: close without saving
wait_eq "mapped.txt — Tessary" drive title TessaryClass || fail "closing the tab of the cut file"

# Prints the active tab (document name TITLE) and prints the path of the PDF that came out.
print_tab() {
    cmd 106
    drive answer-msgbox ok 20000 >/dev/null || fail "no print dialog"
    E2E_WAIT_S=60 wait_eq found _pdf_state "$1" || fail "no PDF for $1"
    _pdf_path "$1"
}
# The printer font's hyphen comes back from the PDF as a soft hyphen.
pdf_text() { pdftotext "$@" | sed 's/\xc2\xad/-/g'; }
# This run's PDF of NAME: the page header holds the file's full path, which lies in this run's own
# temporary folder (a run beside this one prints files of the same names).
_pdf_path() {
    local f want
    want=$(win_path "$d/$1")
    while IFS= read -r f; do
        pdf_text -l 1 "$f" - 2>/dev/null | grep -qF "$want" && { printf '%s\n' "$f"; return 0; }
    done < <(find "${pdf_dirs[@]}" -name "${1%.*}-job_*.pdf" -size +0 2>/dev/null)
}
_pdf_state() {
    local f
    f=$(_pdf_path "$1")
    # Complete once poppler can read it.
    if [ -n "$f" ] && pdfinfo "$f" >/dev/null 2>&1; then echo found; else echo waiting; fi
}

seq -f 'line %03g of the printout' 1 120 >"$d/lines.txt"
open_tab "$d/lines.txt"
pdf=$(print_tab lines.txt)
pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
assert_eq 3 "$pages" "120 lines at 55 a page"
first=$(pdf_text -f 1 -l 1 -layout "$pdf" -)
grep -qF "$(win_path "$d/lines.txt")" <<<"$first" || fail "the header holds the path: $first"
grep -qF -- "- 1 / 3 -" <<<"$first" || fail "page 1 footer"
grep -qF "line 001 of the printout" <<<"$first" || fail "the first line"
grep -qF "line 120 of the printout" <<<"$(pdf_text -f 3 -l 3 "$pdf" -)" || fail "the last line on page 3"
pdftoppm -f 1 -l 1 -r 50 -png "$pdf" "$E2E_ARTIFACTS/printed-page"

# A hex tab prints its rows as offset, sixteen groups and the printable bytes between bars.
open_tab "$d/patch.bin"
pdf=$(print_tab patch.bin)
# The layout puts its own spacing between the groups; a row longer than the page is cut with "…".
rows=$(pdf_text -layout "$pdf" - | tr -s ' ')
grep -qF "00000000 41 01 5A 61 62 63 00 64 65 66 7F A0 20 78 79 7A |A.Zabc.def.. " <<<"$rows" ||
    fail "hex row 0: $rows"
grep -qF "00000010 30 31 32 33 34 35 36 37 38 39 |0123456789|" <<<"$rows" || fail "hex row 1: $rows"
_stop_cupsd

app_quit
pass

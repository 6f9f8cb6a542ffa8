#!/usr/bin/env bash
# The sidebar's folder tree, project files and the file actions of the tab menu.
# Screenshots for the README come from here (docs/screenshot-sidebar-dark.png and -light.png); the
# manual shows a part of them (scripts/manual-pictures.sh).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin sidebar
d=$E2E_DIR/data
p=$d/proj
mkdir -p "$p/sub" "$d/other"
printf 'int deep;\n' >"$p/sub/deep.c"
printf 'upper\n' >"$p/B.txt"
for f in a.txt app.cs data.json index.JSX Makefile notes.md page.html style.css tool.py; do printf 'x\n' >"$p/$f"; done
printf 'o\n' >"$d/other/x.txt"
# Files on drive C: for the folder-path copies (C:\a\b.txt and a drive-root file).
c=${WINEPREFIX:?}/drive_c
mkdir -p "$c/tessary-e2e"
printf 'b\n' >"$c/tessary-e2e/b.txt"
printf 'r\n' >"$c/tessary-e2e-root.txt"
trap 'rm -rf "$c/tessary-e2e" "$c/tessary-e2e-root.txt"; _e2e_cleanup' EXIT

workspace() { drive title TessaryClass | sed 's/.* — //'; }
esc() { printf '%s' "${1//\\/\\\\}"; }  # backslashes doubled, as in the project file

app_up

# Open Project on a file that is not a project shows its folder, collapsed, and opens nothing.
dialog_file 240 "$p/a.txt"
wait_eq proj workspace || fail "the file's folder did not become the root"
assert_eq 1 "$(drive child-count TessaryClass Scintilla)" "Open Project on a plain file opened it"

# Rows: 0 header, 1 proj. Expanding proj lists sub, then the files as the file manager sorts them
# (a.txt, app.cs, B.txt, ...); expanding sub puts deep.c right under it.
click_row 1
click_row 2
click_row 3
wait_eq "deep.c — proj" drive title TessaryClass || fail "clicking the row under the expanded sub-folder"
click_row 4
wait_eq "a.txt — proj" drive title TessaryClass || fail "a.txt is not the first file of the root"
assert_eq 3 "$(drive child-count TessaryClass Scintilla)" "two files opened from the tree"

# Badges: index.JSX (row 8) gets the yellow JS badge; the hovered row is lit.
hover_row_shot() {
    drive move TessaryClass 100 "$(row_y 6)" >/dev/null
    screenshot TessaryClass "$1" && pixel "$E2E_ARTIFACTS/$1" 200 "$(row_y 6)"
}
js_y=$((92 + 22 * 8 + 10))
wait_eq 2A2A2A hover_row_shot sidebar-dark.png || fail "hovered row (dark)"
assert_eq F7DF1E "$(pixel "$E2E_ARTIFACTS/sidebar-dark.png" 37 $js_y)" "JS badge"
assert_eq 212121 "$(pixel "$E2E_ARTIFACTS/sidebar-dark.png" 100 600)" "sidebar panel (dark)"
cmd 481  # Light
wait_eq E0E0E0 hover_row_shot sidebar-light.png || fail "hovered row (light)"
assert_eq ECECEC "$(pixel "$E2E_ARTIFACTS/sidebar-light.png" 100 600)" "sidebar panel (light)"
assert_eq F7DF1E "$(pixel "$E2E_ARTIFACTS/sidebar-light.png" 37 $js_y)" "JS badge (light)"
cmd 480  # Dark

# Save Project with two file tabs and two untitled tabs writes the two paths.
cmd 100 241
drive file-dialog "$(win_path "$d/work.tessary")" >/dev/null || fail "save dialog"
assert_eq $'Tessary\nProject saved' "$(drive answer-msgbox ok)" "saved message"
printf '\xef\xbb\xbf{\n  "folder": "%s",\n  "open_files": [\n    "%s",\n    "%s"\n  ]\n}\n' \
    "$(esc "$(win_path "$p")")" "$(esc "$(win_path "$p/sub/deep.c")")" "$(esc "$(win_path "$p/a.txt")")" \
    >"$d/expected.tessary"
cmp "$d/expected.tessary" "$d/work.tessary" || fail "project file: $(cat "$d/work.tessary")"

# Close All, hide the sidebar, show another folder: loading the project brings back the folder,
# the sidebar and both files.
cmd 108
wait_eq 1 drive child-count TessaryClass Scintilla || fail "Close All"
cmd 180 240
drive file-dialog "$(win_path "$d/other/x.txt")" >/dev/null || fail "open dialog (other)"
wait_eq other workspace || fail "other folder"
grep -q 'sidebar=0' "$E2E_DIR/ui.ini" || fail "hiding the sidebar was not saved"
dialog_file 240 "$d/work.tessary"
wait_eq "a.txt — proj" drive title TessaryClass || fail "project files did not open"
assert_eq 3 "$(drive child-count TessaryClass Scintilla)" "the untitled tab and the project's two files"
grep -q 'sidebar=1' "$E2E_DIR/ui.ini" || fail "loading a project did not show the sidebar"
sidebar_pixel() { screenshot TessaryClass sidebar-loaded.png && pixel "$E2E_ARTIFACTS/sidebar-loaded.png" 100 600; }
wait_eq 212121 sidebar_pixel || fail "sidebar not shown after loading the project"

# Saving the project over the file of an open tab: that tab offers the new text on activation.
open_tab "$d/work.tessary" "work.tessary — proj"
cmd 241
drive file-dialog "$(win_path "$d/work.tessary")" overwrite >/dev/null || fail "save dialog (overwrite)"
assert_eq $'Tessary\nProject saved' "$(drive answer-msgbox ok)" "saved message (overwrite)"
grep -q 'work.tessary"$' "$d/work.tessary" || fail "the project tab is not in the new file"
drive post TessaryClass 0x6 1 0 >/dev/null  # WM_ACTIVATE
prompt=$(drive answer-msgbox yes) || fail "no reload offer for the tab showing the project file"
[[ $prompt == *"modified externally"* ]] || fail "unexpected message: $prompt"
expected=$(tail -c +4 "$d/work.tessary" | sed 's/\\/\\\\/g' | awk '{printf "%s\\n", $0}')
wait_eq "$expected" drive editor-text TessaryClass || fail "the tab did not take the new project text"

# Copy Full Path / File Name / Folder Path from the tab menu (items 7, 8, 9 below two separators).
cmd 108
wait_eq 1 drive child-count TessaryClass Scintilla || fail "Close All (2)"
cmd 101
drive file-dialog 'C:\tessary-e2e\b.txt' >/dev/null || fail "open C:\\tessary-e2e\\b.txt"
cmd 101
drive file-dialog 'C:\tessary-e2e-root.txt' >/dev/null || fail "open C:\\tessary-e2e-root.txt"
wait_eq "tessary-e2e-root.txt — proj" drive title TessaryClass || fail "drive-root file"
# Tab x, item, the clipboard's text then: b.txt's three copies, the drive-root file's folder.
for copy in '490 7 C:\\tessary-e2e\\b.txt' '490 8 b.txt' '490 9 C:\\tessary-e2e' '670 9 C:'; do
    read -r x item want <<<"$copy"
    tab_menu "$x" "$item"
    wait_eq "$want" drive clipboard || fail "item $item of the menu of the tab at $x did not copy $want"
done
tab_menu 310 7  # the untitled tab: nothing changes
tab_menu 310 9
assert_eq 'C:' "$(drive clipboard)" "copies on an untitled tab changed the clipboard"

# The wheel over the sidebar scrolls the sidebar, though the editor has the keyboard focus.
m=$d/many
mkdir -p "$m"
for i in $(seq -w 0 59); do printf 'm\n' >"$m/f$i.txt"; done
dialog_file 240 "$m/f00.txt"
wait_eq many workspace || fail "the folder of many files did not become the root"
click_row 1
read -r wx wy _ < <(drive rect TessaryClass)
drive editor-send TessaryClass 0x20A $(((-360 & 0xFFFF) << 16)) $((((wy + 300) << 16) | (wx + 100))) >/dev/null
click_row 3
wait_eq "f06.txt — many" drive title TessaryClass || fail "the wheel over the sidebar did not scroll it"

# The header stays at the top while the tree is scrolled: its close mark hides the sidebar and
# remembers it.
drive click TessaryClass 205 "$(row_y 0)" >/dev/null
wait_eq 1E1E1E sidebar_pixel || fail "the close mark did not hide the sidebar"
grep -q 'sidebar=0' "$E2E_DIR/ui.ini" || fail "hiding the sidebar by its close mark was not saved"

app_quit
pass

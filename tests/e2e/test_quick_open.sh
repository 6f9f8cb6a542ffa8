#!/usr/bin/env bash
# The quick-open popup as a user meets it: Ctrl+Shift+P, "fs" and Enter save the untitled tab
# (through the Save As dialog); Ctrl+P lists the open folder's files (not .git's) by their paths
# within the folder, and ":12" lists one "Go to line 12" row that Enter follows; Ctrl+R lists the symbols and Enter moves to the one selected;
# Ctrl+G 5 Enter moves to line 5 and gives the editor the focus, a number beyond the end goes to
# the last line; Escape hides the popup. The pictures quick-open-*.png are the ones under docs/
# (screenshot-quick-open-palette.png, -files, -symbols, -goto-line).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin quick_open

project=$E2E_DIR/project
mkdir -p "$project/src" "$project/docs" "$project/.git"
printf 'notes\n' >"$project/README.md"
printf '[core]\n' >"$project/.git/config"   # never listed: find in files skips it too
printf 'guide\n' >"$project/docs/guide.txt"
{
    printf '// A small program for the quick-open test.\n#include <cstdio>\n\n'
    printf 'namespace demo {\n\nstruct Point {\n    int x, y;\n};\n\n'
    printf 'static int square(int v) {\n    return v * v;\n}\n\n'
    printf 'class Shape {\npublic:\n    virtual double area() const;\n};\n\n'
    printf 'double Shape::area() const { return 0; }\n\n}  // namespace demo\n\n'
    printf 'int main(void) {\n    std::printf("%%d\\n", demo::square(3));\n    return 0;\n}\n'
} >"$project/src/shapes.cpp"
lines=$(wc -l <"$project/src/shapes.cpp")

popup_state() {  # N...: the popup's states (0 mode, 1 rows, 2 selected row, 3 focused control)
    local n out=()
    for n; do out+=("$(drive send TessaryPopup $((0x8000 + 0x56)) "$n")") || return 1; done
    echo "${out[*]}"
}
caret_line() { drive editor-send TessaryClass 2166 "$(drive editor-send TessaryClass 2008)"; }
first_item() { drive list-item TessaryPopup 2 0; }

app_up
read -r _ _ width0 _ < <(drive rect TessaryClass)
# The popup sits centred on the main window, 40 pixels below its top, wherever the window is.
drive place TessaryClass 150 60 >/dev/null
popup_rect() { drive rect TessaryPopup; }
drive keys TessaryClass ctrl+shift+p >/dev/null
wait_eq shown shown TessaryPopup || fail "Ctrl+Shift+P did not show the popup"
assert_eq "$((150 + (width0 - 560) / 2)) 100 560 320" "$(popup_rect)" "the popup is not placed on the main window"
drive keys TessaryPopup escape >/dev/null
wait_eq hidden shown TessaryPopup
maximize

# Command palette on the first, untitled tab: "fs" lists Save first, Enter asks where to save.
drive type TessaryClass 'saved by the palette' >/dev/null
drive keys TessaryClass ctrl+shift+p >/dev/null
wait_eq shown shown TessaryPopup || fail "Ctrl+Shift+P did not show the popup"
wait_eq "0 41 1" popup_state 0 1 3 || fail "the palette did not open with its 41 entries and the query box focused"
drive type TessaryPopup fs >/dev/null
wait_eq "File: Save (Ctrl+S)" first_item || fail "\"fs\" did not list Save first"
screenshot TessaryClass quick-open-palette.png   # documentation only, not compared
drive keys TessaryPopup enter >/dev/null
drive file-dialog "$(win_path "$E2E_DIR/palette.txt")" >/dev/null || fail "Enter on Save gave no Save As dialog"
wait_eq "saved by the palette" cat "$E2E_DIR/palette.txt"
wait_eq hidden shown TessaryPopup

# Goto anything with a folder open (Project > Open Project with a plain file opens its folder).
dialog_file 240 "$project/README.md"
open_file "$project/src/shapes.cpp"
wait_eq $((lines + 1)) drive editor-send TessaryClass 2154
drive keys TessaryClass ctrl+p >/dev/null
wait_eq "1 3" popup_state 0 1 || fail "Ctrl+P did not list the three files"
# By path within the folder: docs\guide.txt, README.md (a file of the folder itself shows its name
# only), src\shapes.cpp.
wait_eq 'guide.txt  —  docs\\guide.txt' first_item || fail "the files are not listed by their paths in the folder"
wait_eq "README.md" drive list-item TessaryPopup 2 1 || fail "README.md is not the second file, by its name alone"
screenshot TessaryClass quick-open-files.png   # documentation only, not compared
drive type TessaryPopup ':12' >/dev/null
wait_eq "Go to line 12" first_item || fail "\":12\" did not list its Go to line row"
wait_eq "0 1" popup_state 2 1 || fail "\":12\" should list one selected row"
drive keys TessaryPopup enter >/dev/null
wait_eq 11 caret_line || fail "\":12\" Enter did not move to line 12"
wait_eq hidden shown TessaryPopup

# Goto symbol: the declarations of the tab, Down then Enter moves to the second one (Point).
drive keys TessaryClass ctrl+r >/dev/null
wait_eq "2 6" popup_state 0 1 || fail "Ctrl+R did not list six symbols"
wait_eq "demo   (line 4)" first_item
screenshot TessaryClass quick-open-symbols.png   # documentation only, not compared
drive keys TessaryPopup down >/dev/null
wait_eq 1 popup_state 2
drive keys TessaryPopup enter >/dev/null
wait_eq 5 caret_line || fail "Enter on a symbol did not move to its line"

# Goto line: 5 Enter, with the focus back in the editor; a huge number goes to the last line.
drive keys TessaryClass ctrl+g >/dev/null
wait_eq "4 4" popup_state 0 3 || fail "Ctrl+G did not focus the line box"
drive type TessaryPopup 5 >/dev/null
screenshot TessaryClass quick-open-goto-line.png   # documentation only, not compared
drive keys TessaryPopup enter >/dev/null
wait_eq 4 caret_line || fail "5 Enter did not move to line 5"
wait_eq hidden shown TessaryPopup
wait_eq Scintilla drive focus TessaryClass || fail "the editor did not get the focus back"
drive keys TessaryClass ctrl+g >/dev/null
wait_eq 4 popup_state 3
drive type TessaryPopup 99999999999999999999999 >/dev/null
drive keys TessaryPopup enter >/dev/null
wait_eq "$lines" caret_line || fail "a line beyond the end did not go to the last line"

# Escape hides the popup, from the query box.
drive keys TessaryClass ctrl+p >/dev/null
wait_eq shown shown TessaryPopup
drive keys TessaryPopup escape >/dev/null
wait_eq hidden shown TessaryPopup || fail "Escape did not hide the popup"

app_quit
pass

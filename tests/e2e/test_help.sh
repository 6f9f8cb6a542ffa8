#!/usr/bin/env bash
# F1 opens the manual that ships beside the program in the program registered for .html pages, at
# the section about what the user is working in: the search panel's section while the search panel
# has the focus, the hex view's in a hex tab, the top of the manual from the text (where the key is
# Ctrl+F1). The "browser" here is a command registered
# for .html pages that writes down the address it was given.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin help

cp "$TESSARY_BUILD_DIR/manual.html" "$E2E_DIR/"
opened=$E2E_DIR/opened.txt
key='HKLM\Software\Classes\.html'
progid='HKLM\Software\Classes\TessaryTestBrowser'
previous=$(wine reg query "$key" /ve </dev/null 2>/dev/null | sed -n 's/.*REG_SZ[[:space:]]*//p' | tr -d '\r' | grep -vx TessaryTestBrowser) || true
restore_browser() {
    wine reg delete "$progid" /f </dev/null >/dev/null 2>&1 || true
    if [ -n "$previous" ]; then
        wine reg add "$key" /ve /d "$previous" /f </dev/null >/dev/null 2>&1
    else
        wine reg delete "$key" /f </dev/null >/dev/null 2>&1 || true
    fi
}
# Whatever happens, the prefix gets its own .html handler back, besides the usual clean-up.
trap 'restore_browser; _e2e_cleanup' EXIT
wine reg add "$progid\\shell\\open\\command" /ve \
    /d "C:\\windows\\system32\\cmd.exe /c echo [%1]>>$(win_path "$opened")" /f </dev/null >/dev/null
wine reg add "$key" /ve /d TessaryTestBrowser /f </dev/null >/dev/null

manual=$(win_path "$E2E_DIR/manual.html")
address="file:///${manual//\\//}"
lines() { if [ -f "$opened" ]; then tr -d '\r' <"$opened" | sed 's/ *$//'; fi; }

app_up

# From the text: the top of the manual.
drive keys TessaryClass ctrl+f1 >/dev/null
wait_eq "[$address]" lines || fail "Ctrl+F1 in the text did not open the manual at its top"

# From the search panel's find box: its section.
find_text ''   # Ctrl+F: the focus in the find box
drive keys TessaryClass f1 >/dev/null
wait_eq "[$address]"$'\n'"[$address#search]" lines || fail "F1 in the search panel did not open the Search section"

# From a tab in the hex view: the hex view's section.
drive keys TessaryClass escape >/dev/null
wait_eq 0 search_state 5 || fail "Escape did not close the search panel"
cmd 185
wait_eq hex=1 tab_state hex || fail "the tab did not go into the hex view"
drive keys TessaryClass f1 >/dev/null
wait_eq "[$address]"$'\n'"[$address#search]"$'\n'"[$address#hex]" lines || fail "F1 in the hex view did not open its section"

# The sections exist in the manual that was opened.
for id in search hex; do
    grep -q "<h2 id=\"$id\">" "$E2E_DIR/manual.html" || fail "the manual has no section with id $id"
done
no_msgbox_now || fail "a message box came up"

app_quit
pass

# Shared by the crash-recovery scripts: the data and recovery folders and the steps they take.
# Sourced after e2e_begin.
d=$E2E_DIR/data
rec=$E2E_DIR/recovery

snapshot_holds() {  # TEXT...: every text is in some snapshot file
    local text
    for text; do grep -rqF -- "$text" "$rec"/*/tab-*.txt 2>/dev/null || { echo no; return; }; done
    echo yes
}
kill_app() {
    kill -9 "$APP_PID"
    wait "$APP_PID" 2>/dev/null || true
    APP_PID=
}
folders() { find "$rec" -mindepth 1 -maxdepth 1 -type d 2>/dev/null | wc -l; }
stale_marks() { find "$rec" -name stale 2>/dev/null | wc -l; }
tabs() { drive child-count TessaryClass Scintilla; }
# Exits, answering No to each of the N save questions (default none) that must come, and to no other.
exit_clean() {
    local n=${1:-0} i
    drive command TessaryClass 109 >/dev/null
    for ((i = 1; i <= n; i++)); do
        drive answer-msgbox no >/dev/null || fail "save question $i of $n did not come at exit"
    done
    app_wait_exit 20 || fail "did not exit after $n save questions: $(drive wait-msgbox 1000 2>&1)"
}
ask_text() { printf 'Tessary\nTessary did not close properly. Recover the unsaved changes of %s tabs?' "$1"; }

# The picture that compares builds and display scales: the main window with a folder in the sidebar,
# a C++ file of it in a tab and the search panel open. Source it after lib.sh and call e2e_begin
# first. It drives the window only through requests every build of the program answers (window
# title, commands, a sent message), so an older build can take the same picture.
#
#   scene_start; scene_shot FILE; ... (the program keeps running; quit it as usual)

scene_files() {
    local p=$E2E_DIR/scene/proj
    mkdir -p "$p/include" "$p/docs"
    cat >"$p/main.cpp" <<'EOF'
// Counts the words of the files named on the command line.
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    long total = 0;
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i]);
        std::string word;
        long words = 0;
        while (in >> word) ++words;
        std::cout << argv[i] << ": " << words << "\n";
        total += words;
    }
    std::cout << "total: " << total << "\n";
    return 0;
}
EOF
    printf '#pragma once\nint Count(const char* path);\n' >"$p/include/count.h"
    printf '# Words\n\nCounts words.\n' >"$p/README.md"
    printf '{ "name": "words" }\n' >"$p/package.json"
    printf 'all:\n\tc++ -o words main.cpp\n' >"$p/Makefile"
    printf 'notes\n' >"$p/docs/notes.txt"
}

# Starts the program on the folder and its main.cpp, then opens the search panel.
scene_start() {
    local p=$E2E_DIR/scene/proj
    [ -f "$p/main.cpp" ] || scene_files
    app_start "$(win_path "$p")" "$(win_path "$p/main.cpp")"
    drive wait-window TessaryClass 30000 >/dev/null || fail "no main window for the scene"
    wait_eq "main.cpp — proj" drive title TessaryClass || fail "the scene's file and folder did not open"
    drive command TessaryClass 160 >/dev/null  # Find: the search panel
    settle
}

# Screenshot of the main window into FILE once the picture has stopped changing: three shots in a
# row alike (the folder is listed and the panel painted in their own time), a blinking caret aside.
scene_shot() {
    local file=$1 previous=$E2E_DIR/scene-previous.png same=0 i differ='' where=''
    for ((i = 0; i < 100; i++)); do
        screenshot TessaryClass "$file" || return 1
        if [ "$i" -gt 0 ]; then
            differ=$(compare -metric AE "$previous" "$file" null: 2>&1)
            where=
            [ "$differ" = 0 ] ||
                where=$(convert "$previous" "$file" -compose difference -composite -trim -format '%wx%h%X%Y' info: 2>&1)
            # A blinking caret (a column at most 3 pixels wide) is no change of the picture.
            if [ "$differ" = 0 ] || [[ $where =~ ^[1-3]x ]]; then
                same=$((same + 1))
                [ "$same" -lt 2 ] || { rm -f "$previous"; return 0; }
            else
                same=0
            fi
        fi
        cp "$file" "$previous"
        sleep 0.2
    done
    echo "scene_shot: the window kept changing; the last change: $differ pixels within $where" >&2
    return 1
}

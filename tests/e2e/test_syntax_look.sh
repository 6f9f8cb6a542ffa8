#!/usr/bin/env bash
# Syntax colouring as a user sees it: a C++, a JSON and a Markdown file in the default Dark theme
# with the Monokai scheme, then (when the theme commands answer) the C++ file in Light and back.
# Screenshots for the README come from here (docs/screenshot-cpp-dark.png, -light, -contrast,
# -json, -markdown).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin syntax_look
d=$E2E_DIR/data

cat >"$d/sample.cpp" <<'EOF'
#include <string>
#include <vector>

// Counts the words of a line.
namespace text {

struct Counter {
    size_t total = 0;
};

int CountWords(const std::string& line) {
    int words = 0;
    bool inWord = false;
    for (char c : line) {
        if (c == ' ') {
            inWord = false;
        } else if (!inWord) {
            inWord = true;
            ++words;
        }
    }
    return words;
}

}  // namespace text

int main() {
    std::vector<std::string> lines = {"hello world", "one"};
    text::Counter counter;
    for (const auto& line : lines) counter.total += text::CountWords(line);
    return counter.total == 3 ? 0 : 1;  /* 3 words in all */
}
EOF

cat >"$d/config.json" <<'EOF'
{
  "name": "tessary",
  "version": 3,
  "window": { "width": 1100, "height": 720, "maximized": false },
  "recent": ["C:\\work\\main.cpp", "C:\\work\\notes.md"],
  "wordWrap": true,
  "zoom": -2,
  "theme": null
}
EOF

cat >"$d/notes.md" <<'EOF'
# Release notes

## Editing

- Syntax colouring for ten languages
- Six colour schemes, three themes

### Links

See [the manual](manual.html) and [the project page](https://example.org/tessary).

#### Plain paragraphs

Text without marks keeps the default colour.
EOF

# Pixels of exactly one colour inside a screenshot's editor area (anti-aliased edges do not
# count, the cores of the strokes do).
count_colour() {
    convert "$1" -crop 860x560+230+135 +repage -fill black +opaque "#$2" -fill white -opaque "#$2" \
        -format '%[fx:round(mean*w*h)]' info:
}

expect_colours() {   # file, what, RRGGBB...: each colour shows
    local n c
    for c in "${@:3}"; do
        n=$(count_colour "$1" "$c")
        [ "$n" -ge 20 ] || fail "$2: #$c found on $n pixels only"
    done
}

no_colours() {       # file, what, RRGGBB...: none shows
    local n c
    for c in "${@:3}"; do
        n=$(count_colour "$1" "$c")
        [ "$n" -eq 0 ] || fail "$2: #$c found on $n pixels"
    done
}

# Waits for the title, then takes screenshots until the colour given shows (the repaint can come
# late on a busy machine).
shoot() {           # title to wait for, file name, RRGGBB
    wait_eq "$1 — Tessary" drive title TessaryClass || fail "$1 did not open"
    drive move TessaryClass 1090 700 >/dev/null   # keep the mouse off the tabs and the text
    wait_eq shown _shown "$E2E_ARTIFACTS/$2" "$3" || fail "#$3 never showed in $2"
}
_shown() {
    screenshot TessaryClass "$1" || return 1
    if [ "$(count_colour "$1" "$2")" -ge 20 ]; then echo shown; else echo "not shown"; fi
}

app_up

open_file "$d/sample.cpp"
shoot sample.cpp syntax_look-cpp-dark.png F9357C
cpp=$E2E_ARTIFACTS/syntax_look-cpp-dark.png
# Stems of the "i" of "int" (line 11) and the "h" of "hello" (line 28).
assert_eq F9357C "$(pixel "$cpp" 253 303)" "keyword pixel"
assert_eq E6DB74 "$(pixel "$cpp" 601 591)" "string pixel"
# Keywords, strings, types and preprocessor lines, comments, numbers, identifiers.
expect_colours "$cpp" "C++ in Monokai" F9357C E6DB74 66D9EF 8B8878 AE81FF E0E0E0

open_file "$d/config.json"
shoot config.json syntax_look-json.png A6E22E
json=$E2E_ARTIFACTS/syntax_look-json.png
# Property names, strings, numbers, keywords; no comments.
expect_colours "$json" "JSON in Monokai" A6E22E E6DB74 AE81FF F9357C
no_colours "$json" "JSON has no comments" 8B8878

open_file "$d/notes.md"
shoot notes.md syntax_look-markdown.png A6E22E
md=$E2E_ARTIFACTS/syntax_look-markdown.png
# Headings and links; no keywords.
expect_colours "$md" "Markdown in Monokai" A6E22E 66D9EF
no_colours "$md" "Markdown has no keywords" F9357C

# Theme and scheme commands act on every tab at once; the text keeps its scheme colours.
editor_background() { shot_pixels TessaryClass syntax_look-probe.png 1000,600; }
open_file "$d/sample.cpp"   # an open path activates its tab
wait_eq "sample.cpp — Tessary" drive title TessaryClass || fail "C++ tab not activated"
cmd 481
wait_eq FFFFFF editor_background >/dev/null || fail "Light theme"
shoot sample.cpp syntax_look-cpp-light.png 202020
light=$E2E_ARTIFACTS/syntax_look-cpp-light.png
assert_eq ECECEC "$(pixel "$light" 600 50)" "menu bar in the Light theme"
# The scheme's variant for light backgrounds: its hues, dark enough to read on white.
assert_eq DE2265 "$(pixel "$light" 253 303)" "keyword pixel in the Light theme"
expect_colours "$light" "keywords keep the scheme, text in the Light theme" DE2265 202020
no_colours "$light" "Dark theme text left behind" E0E0E0

cmd 503   # Nord
cmd 480   # Dark
wait_eq 1E1E1E editor_background >/dev/null || fail "Dark theme did not come back"
shoot sample.cpp syntax_look-cpp-nord.png 88C0D0
nord=$E2E_ARTIFACTS/syntax_look-cpp-nord.png
assert_eq 88C0D0 "$(pixel "$nord" 253 303)" "keyword pixel in Nord"
assert_eq A3BE8C "$(pixel "$nord" 601 591)" "string pixel in Nord"
expect_colours "$nord" "Nord keywords and types" 88C0D0 D08770
no_colours "$nord" "Monokai keywords or the Light background left behind" F9357C FFFFFF

# High Contrast: black editor, white text.
open_file "$d/sample.cpp"
cmd 482
wait_eq 000000 editor_background >/dev/null || fail "High Contrast theme"
shoot sample.cpp syntax_look-cpp-contrast.png FFFFFF
cmd 480

# The JSON tab was restyled too while it was in the background.
open_file "$d/config.json"
shoot config.json syntax_look-json-nord.png 88C0D0
no_colours "$E2E_ARTIFACTS/syntax_look-json-nord.png" "Monokai keywords in the JSON tab" F9357C
cmd 500
rm -f "$E2E_ARTIFACTS/syntax_look-probe.png"

app_quit
pass

#!/usr/bin/env bash
# Puts the pictures into docs/manual.html, which must stay one file that works offline: parts of the
# screenshots the end-to-end tests take (copied from build/e2e-artifacts to docs/ as usual) are
# cropped, reduced to 64 colours and written into the manual's <figure id="pic-..."> elements as
# data addresses. Needs ImageMagick's convert and python3. Run it after updating the screenshots.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# name  source-prefix (dark / light appended)  crop  caption
pictures=(
    "search|screenshot-search-|320x330+960+92|The search panel with find in files on (F): hits of four files, a.txt folded."
    "sidebar|screenshot-sidebar-|400x320+0+88|The sidebar with an open folder, one sub-folder unfolded, and the badges."
    "hex|hex-view-|700x80+212+95|A binary file in the hex view: offsets, two halves of eight bytes, the characters."
)
for entry in "${pictures[@]}"; do
    IFS='|' read -r name source crop _ <<<"$entry"
    for theme in dark light; do
        convert "$root/docs/$source$theme.png" -crop "$crop" +repage -colors 64 "png8:$work/$name-$theme.png"
    done
done

printf '%s\n' "${pictures[@]}" >"$work/list"
python3 - "$root/docs/manual.html" "$work" <<'PY'
import base64, re, sys
manual, work = sys.argv[1], sys.argv[2]
html = open(manual, encoding="utf-8").read()
for line in open(work + "/list", encoding="utf-8").read().splitlines():
    name, _, _, caption = line.split("|")
    images = []
    for theme in ("dark", "light"):
        data = base64.b64encode(open(f"{work}/{name}-{theme}.png", "rb").read()).decode()
        images.append(f'<img src="data:image/png;base64,{data}" alt="{caption} {theme.capitalize()} theme.">')
    figure = (f'<figure id="pic-{name}">' + "\n".join(images) +
              f"\n<figcaption>{caption} Dark and Light theme.</figcaption></figure>")
    html, count = re.subn(rf'<figure id="pic-{name}">.*?</figure>', lambda m: figure, html, flags=re.S)
    if count != 1:
        sys.exit(f"manual.html: expected one <figure id=\"pic-{name}\">, found {count}")
open(manual, "w", encoding="utf-8").write(html)
PY
echo "manual.html: pictures updated"

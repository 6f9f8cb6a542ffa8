#!/usr/bin/env python3
"""layers.py [SRC] - checks that includes between the folders of src/ point down the layers:
shell -> panels (search, project, views, tools, dialogs) -> workflow -> io, persist ->
document, syntax -> base. A file may include headers of its own layer and of the layers below it; every
include that climbs is printed and the exit status is 1."""
import os, re, sys

LAYERS = [["shell"], ["search", "project", "views", "tools", "dialogs"], ["workflow"],
          ["io", "persist"], ["document", "syntax"], ["base"]]
RANK = {folder: i for i, layer in enumerate(LAYERS) for folder in layer}

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
climbs, unknown = [], set()
for folder in sorted(os.listdir(root)):
    path = os.path.join(root, folder)
    if not os.path.isdir(path):
        continue
    if folder not in RANK:
        unknown.add(folder)
        continue
    for dirpath, _, files in os.walk(path):
        for name in sorted(files):
            if not name.endswith((".cpp", ".h", ".inc")):
                continue
            file = os.path.join(dirpath, name)
            with open(file, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = re.match(r'\s*#\s*include\s+"([a-z_]+)/', line)
                    if not m:
                        continue
                    target = m.group(1)
                    if target not in RANK:
                        unknown.add(target)
                    elif RANK[target] < RANK[folder]:
                        climbs.append(f"{os.path.relpath(file, root)}:{number}: includes {line.strip()[9:]}")
for c in climbs:
    print("upward include:", c)
for u in sorted(unknown):
    print("folder without a layer:", u)
print(f"upward includes {len(climbs)}; folders without a layer {len(unknown)}")
sys.exit(1 if climbs or unknown else 0)

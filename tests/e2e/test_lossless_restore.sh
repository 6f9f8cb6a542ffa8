#!/usr/bin/env bash
# Files of every odd kind come back from a restored session, and saving each without an edit writes
# it back byte for byte (through the atomic replace, so every file is really rewritten).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_begin lossless_restore
d=$E2E_DIR/data

# The corpus, and a session listing it, last file active.
python3 - "$d" "$(win_path "$d")" "$E2E_DIR/session.json" <<'PY'
import random, sys
folder, winfolder, session = sys.argv[1:4]
rng = random.Random(2026)
text = "caf\u00e9 \u4e2d\u6587 \U0001F600 line\r\nsecond\n"
files = {
    "utf16-nul.txt": b"\xff\xfea\x00b\x00\x00\x00c\x00d\x00\r\x00\n\x00",
    "surrogate.txt": b"caf\xc3\xa9\xed\xa0\x80 end\r\n",
    "overlong.txt": b"caf\xc3\xa9\xc0\x80",
    "too-large.txt": b"caf\xc3\xa9\xf5\x80\x80\x80",
    "bom-invalid.txt": b"\xef\xbb\xbfok \xff\xfe no\n",
    "bom-truncated.txt": b"\xef\xbb\xbfend \xe4\xb8",
    "utf16le-odd.txt": b"\xff\xfea\x00b\x00c",
    "utf16be-odd.txt": b"\xfe\xff\x00a\x00",
    "utf16-lone-surrogate.txt": b"\xff\xfea\x00\x00\xd8b\x00",
    "utf16be-nul.txt": b"\xfe\xff\x00a\x00\x00\x00\n",
    "utf16le.txt": b"\xff\xfe" + text.encode("utf-16-le"),
    "utf16be.txt": b"\xfe\xff" + text.encode("utf-16-be"),
    "utf8.txt": text.encode(),
    "utf8-bom.txt": b"\xef\xbb\xbf" + text.encode(),
    "ansi-all-high.txt": bytes(range(0x80, 0x100)) + b"\r\n",
    "gbk.txt": "\u4e2d\u6587\u6587\u4ef6\n".encode("gbk"),
    "empty.txt": b"",
    "bom-only.txt": b"\xef\xbb\xbf",
    "utf16le-bom-only.txt": b"\xff\xfe",
    "utf16be-bom-only.txt": b"\xfe\xff",
    "lone-cr-end.txt": b"a\r\nb\r",
    "mixed.txt": b"a\r\nb\nc\rd",
    "long-line.txt": ("\u00e9" * 100000).encode() + b"\n",
    "binary.bin": b"MZ\x00\x01\x02\xff\xfe",
}
for n in range(14):
    files["random-%02d.bin" % n] = bytes(rng.randrange(256) for _ in range(rng.randrange(1, 200)))
names = sorted(files)
for name in names:
    open(folder + "/" + name, "wb").write(files[name])
    open(folder + "/" + name + ".orig", "wb").write(files[name])
entries = ",\n".join('    { "path": "%s\\\\%s" }' % (winfolder.replace("\\", "\\\\"), n) for n in names)
with open(session, "wb") as out:
    out.write(('\ufeff{\n  "active": %d,\n  "tabs": [\n%s\n  ]\n}\n' % (len(names) - 1, entries)).encode())
print(names[-1], file=open(folder + "/../last-name", "w"))
PY
last=$(cat "$E2E_DIR/last-name")
count=$(ls "$d"/*.orig | wc -l)
[ "$count" -ge 30 ] || fail "corpus too small: $count"
inodes() { for f in "$d"/*.orig; do stat -c %i "${f%.orig}"; done; }
before=$(inodes)

app_start
drive answer-msgbox yes 20000 >/dev/null || fail "no restore question"
# The title can show before the last tab is in: wait for the tab count too. Some thirty files,
# one of them a 200 KB line, take the window well past the usual wait on a busy machine.
restored() { echo "$(drive child-count TessaryClass Scintilla) $(drive title TessaryClass)"; }
E2E_WAIT_S=90 wait_eq "$count $last — Tessary" restored || fail "the session did not come back, one tab per file"
no_msgbox_now || fail "a message while restoring"

# Save and close each tab in turn, unedited: every file is replaced (new identity), with the same
# bytes. The commands queue up in order, so the loop need not wait for each.
for ((i = 0; i < count; i++)); do cmd 103 107; done
rewritten() {
    local n=0 a b
    while read -r a && read -r b <&3; do [ "$a" = "$b" ] || n=$((n + 1)); done < <(echo "$before") 3< <(inodes)
    echo "$n"
}
E2E_WAIT_S=30 wait_eq "$count" rewritten || fail "not every file was rewritten"
no_msgbox_now || fail "a message while saving"
for f in "$d"/*.orig; do
    cmp -s "$f" "${f%.orig}" || fail "$(basename "${f%.orig}") changed on a save without edits"
done
[ -z "$(ls "$d" | grep testmp || true)" ] || fail "temporary files left behind"

app_quit
pass

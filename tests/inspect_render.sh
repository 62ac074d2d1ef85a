#!/bin/bash
# quillon-inspect render: the same glyphs and positions as HarfBuzz's own hb-shape for a face, a text, its
# features and script (TrueType, CFF, a collection's second face, Arabic); a PNG that shows the text; a PDF
# whose page pdftoppm draws; a name no face has is refused, never drawn in a substitute.
set -eu
inspect="$QUILLON_BINARY_DIR/quillon-inspect"
fonts="$QUILLON_TEST_FONTS"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

same() { # font text features script index
    local ours theirs
    ours=$("$inspect" render "$1" --text "$2" --features "$3" ${4:+--script "$4"} --index "$5" --glyphs 2>/dev/null)
    theirs=$(hb-shape "$1" "$2" --features="$3" ${4:+--script="$4"} --face-index="$5" --output-format=json |
        python3 -c 'import json, sys
for g in json.load(sys.stdin): print("\t".join(str(g[k]) for k in ("cl", "g", "g", "ax", "ay", "dx", "dy")))' |
        cut -f1,3-)
    ours=$(printf '%s\n' "$ours" | cut -f1,3-)
    [ "$ours" = "$theirs" ] || { printf 'render differs from hb-shape for %s %s:\n%s\n--\n%s\n' "$1" "$2" "$ours" "$theirs"; exit 1; }
}
same "$fonts/DejaVuSans.ttf" "office ﬃ AVA Wa" "-liga,+dlig" "" 0
same "$fonts/DejaVuSans.ttf" "سلام عليكم" "" "arab" 0
same "$fonts/Cantarell-Regular.otf" "Quillon fifty" "" "" 0
same "$fonts/wqy-microhei.ttc" "漢字 Type" "" "" 1

"$inspect" render "$fonts/DejaVuSans.ttf" --text "Quillon" --size 24 --png "$scratch/sample.png"
python3 - "$scratch/sample.png" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
width, height = struct.unpack(">II", data[16:24])
assert 100 < width < 400 and 30 < height < 120, (width, height)
PY
"$inspect" render "DejaVu Serif" --text "Quillon" --features smcp --pdf "$scratch/sample.pdf"
pdftoppm -r 30 -gray "$scratch/sample.pdf" "$scratch/page"
python3 - "$scratch"/page-1.pgm <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
pixels = data[data.index(b"255\n") + 4:]
assert sum(1 for p in pixels if p < 128) > 50, "the page is blank"
PY
if "$inspect" render "No Such Face" --text x --glyphs 2>/dev/null; then echo "a substitute was drawn"; exit 1; fi

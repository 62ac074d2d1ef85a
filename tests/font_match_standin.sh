#!/usr/bin/env bash
# Both programs carry their stand-in for fontconfig's FcFontMatch in their own dynamic symbol table (without
# it there, Qt's calls reach fontconfig's match and every new face scores every installed font), and what
# they resolve with it equals what they resolve with fontconfig's own match (QUILLON_FONT_MATCH=fontconfig),
# for every listed face and for names no face has.
set -euo pipefail
bin=${QUILLON_BINARY_DIR:?}
for program in quillon quillon-inspect; do
    # Read whole before searching: grep -q would stop reading early, and nm's broken pipe fail the pipeline.
    symbols=$(nm -D --defined-only "$bin/$program")
    grep -qw FcFontMatch <<<"$symbols" || { echo "$program does not export FcFontMatch"; exit 1; }
done
inspect=$bin/quillon-inspect
mapfile -t faces < <("$inspect" faces)
[ "${#faces[@]}" -gt 10 ] || { echo "too few faces listed: ${#faces[@]}"; exit 1; }
faces+=("MS Sans Serif" "Quillon Nowhere" "sans-serif")
for face in "${faces[@]}"; do
    ours=$("$inspect" resolve "$face" || true)
    theirs=$(QUILLON_FONT_MATCH=fontconfig "$inspect" resolve "$face" || true)
    [ "$ours" = "$theirs" ] || { printf 'resolve %s differs:\n%s\n--- fontconfig:\n%s\n' "$face" "$ours" "$theirs"; exit 1; }
done
echo ok

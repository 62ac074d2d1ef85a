#!/bin/bash
# quillon-inspect faces and records on the tests' own fonts: one face a line in list order, one record a
# line with tab-separated fields and True/False flags; stray arguments are refused.
set -eu
inspect="$QUILLON_BINARY_DIR/quillon-inspect"
faces=$("$inspect" faces)
[ "$(printf '%s\n' "$faces" | head -n 3)" = "$(printf 'Cantarell\nCantarell Regular\nCourier 10')" ]
[ "$(printf '%s\n' "$faces" | wc -l)" -eq 13 ]
records=$("$inspect" records)
[ "$(printf '%s\n' "$records" | wc -l)" -eq 22 ]
printf '%s\n' "$records" | grep -qxF "$(printf 'liberation sans\tliberationsans-bolditalic.ttf\tTrue\tTrue\t')"
printf '%s\n' "$records" | grep -qxF "$(printf 'ms sans serif\tsserife.fon\tFalse\tFalse\t8,10,12')"
printf '%s\n' "$records" | grep -qxF "$(printf 'fixed\t10x20-iso8859-1.pcf.gz\tFalse\tFalse\t8,10,15')"
if "$inspect" faces extra 2>/dev/null; then exit 1; fi
echo "inspect catalogue: ok"

#!/usr/bin/env bash
# The layer check must catch what it is there for: a copy of the sources with one upward include and one
# include between two windows fails, naming both lines; the copy without them passes.
set -euo pipefail
root=${QUILLON_SOURCE_DIR:?}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/src" "$work/src"
python3 "$root/scripts/check-layers" "$work" >/dev/null || { echo "a clean copy fails"; exit 1; }
echo '#include "shell/Viewer.h"' >>"$work/src/catalogue/FontListLoader.h"
echo '#include "options/Options.h"' >>"$work/src/summary/Summary.h"
if out=$(python3 "$root/scripts/check-layers" "$work"); then
    echo "upward includes passed the check"
    exit 1
fi
grep -q 'src/catalogue/FontListLoader.h:.*shell/Viewer.h' <<<"$out" || { echo "missed: $out"; exit 1; }
grep -q 'src/summary/Summary.h:.*options/Options.h' <<<"$out" || { echo "missed: $out"; exit 1; }
echo ok

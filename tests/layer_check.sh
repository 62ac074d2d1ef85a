#!/usr/bin/env bash
# The layer check must catch what it is there for: a copy of the sources with an upward include, an include
# between two windows, a window reaching into the platform's Linux code, an include without its folder that
# names no file beside it, and a file call of its own outside the platform fails, naming each line; the copy
# without them (tools/ included) passes.
set -euo pipefail
root=${QUILLON_SOURCE_DIR:?}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/src" "$work/src"
cp -r "$root/tools" "$work/tools"
python3 "$root/scripts/check-layers" "$work" >/dev/null || { echo "a clean copy fails"; exit 1; }
echo '#include "shell/Viewer.h"' >>"$work/src/catalogue/FontListLoader.h"
echo '#include "options/Options.h"' >>"$work/src/summary/Summary.h"
echo '#include "platform/linux/LinuxPlatform.h"' >>"$work/src/shell/Viewer.cpp"
echo '#include "Viewer.h"' >>"$work/src/catalogue/FontListLoader.cpp"
echo '#include <sys/stat.h>' >>"$work/tools/inspect/main.cpp"
if out=$(python3 "$root/scripts/check-layers" "$work"); then
    echo "upward includes passed the check"
    exit 1
fi
grep -q 'src/catalogue/FontListLoader.h:.*shell/Viewer.h' <<<"$out" || { echo "missed: $out"; exit 1; }
grep -q 'src/summary/Summary.h:.*options/Options.h' <<<"$out" || { echo "missed: $out"; exit 1; }
grep -q 'src/shell/Viewer.cpp:.*platform/linux/LinuxPlatform.h' <<<"$out" || { echo "missed: $out"; exit 1; }
grep -q 'src/catalogue/FontListLoader.cpp:.*Viewer.h.*not beside' <<<"$out" || { echo "missed: $out"; exit 1; }
grep -q 'tools/inspect/main.cpp:.*file calls' <<<"$out" || { echo "missed: $out"; exit 1; }
echo ok

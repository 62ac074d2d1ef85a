#!/usr/bin/env bash
# The Find Faces window's benchmark (bench/find_bench) on the scale sets of bench/scale.sh: for each N, the
# set of N font files (made by bench/scale/fontset.py into QUILLON_SCALE_CACHE when missing), then the
# window's first opening without and with its cache, keystrokes, filter changes, scrolling and memory.
# usage: bench/find.sh N...           (build first: scripts/build -DQUILLON_BENCH=ON)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLON_BUILD_DIR:-$root/build}
cache=${QUILLON_SCALE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quillon-scale}
[ $# -gt 0 ] || { echo "usage: bench/find.sh N..." >&2; exit 2; }
[ -x "$build/bench/find_bench" ] || { echo "find: $build/bench/find_bench missing (scripts/build -DQUILLON_BENCH=ON)" >&2; exit 2; }
echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) processors"
for n in "$@"; do
    echo "== $n font files"
    FONTCONFIG_FILE=$(python3 "$root/bench/scale/fontset.py" "$cache" "$n") QT_QPA_PLATFORM=offscreen \
        "$build/bench/find_bench"
done
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"

#!/usr/bin/env bash
# Start-up benchmark: exec to main window mapped (splash off) for the program and for a bare Qt program
# that lists the font database's families, alternating, several runs each, on this machine's fonts under
# Xvfb. Prints the medians, their ratio, the resident memory once idle, and the processor time each had used
# when its window was mapped (a figure a busy shared machine disturbs less than the elapsed time).
# usage: bench/startup.sh [RUNS]   (build the program first: scripts/build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-7}
program=${QUILLON_BUILD_DIR:-$root/build}/quillon
work=$(mktemp -d)
xvfb=
trap '[ -n "$xvfb" ] && kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
bench_name=startup
source "$root/bench/startup/session.sh"
echo "fonts: $(fc-list | wc -l) files"
# one warm-up each, so both read the same warm caches
"$work/map_timer" " Quillon" 0 "$program" >/dev/null
"$work/map_timer" baseline 0 "$work/baseline" >/dev/null
: > "$work/q"; : > "$work/b"
for _ in $(seq "$runs"); do
    "$work/map_timer" " Quillon" 2 "$program" >> "$work/q"
    "$work/map_timer" baseline 2 "$work/baseline" >> "$work/b"
done
q=$(median "$work/q" 1); b=$(median "$work/b" 1)
echo "quillon:  median ${q} ms to mapped, runs: $(cut -d' ' -f1 "$work/q" | tr '\n' ' ')"
echo "baseline: median ${b} ms to mapped, runs: $(cut -d' ' -f1 "$work/b" | tr '\n' ' ')"
echo "ratio quillon/baseline: $(awk -v q="$q" -v b="$b" 'BEGIN {printf "%.2f", q / b}')"
echo "resident memory once idle: quillon $(median "$work/q" 2) kB, baseline $(median "$work/b" 2) kB"
qc=$(median "$work/q" 3); bc=$(median "$work/b" 3)
echo "processor time to mapped: quillon ${qc} ms, baseline ${bc} ms, ratio $(awk -v q="$qc" -v b="$bc" 'BEGIN {printf "%.2f", q / b}')"

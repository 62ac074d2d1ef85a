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
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
cc -O2 -o "$work/map_timer" "$root/bench/startup/map_timer.c" -lX11
g++ -O2 -fPIC -std=c++20 -o "$work/baseline" "$root/bench/startup/baseline.cpp" $(pkg-config --cflags --libs Qt6Widgets)
display=:$((200 + RANDOM % 500))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 & xvfb=$!
for _ in $(seq 300); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
DISPLAY=$display xdpyinfo >/dev/null 2>&1 || { echo "startup: the virtual display $display did not start" >&2; exit 1; }
export DISPLAY=$display XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME/Quillon" && mkdir -m 700 "$XDG_RUNTIME_DIR"
printf '[Settings]\nShowSplash=0\n' > "$XDG_CONFIG_HOME/Quillon/Quillon.conf"
echo "fonts: $(fc-list | wc -l) files"
# one warm-up each, so both read the same warm caches
"$work/map_timer" " Quillon" 0 "$program" >/dev/null
"$work/map_timer" baseline 0 "$work/baseline" >/dev/null
: > "$work/q"; : > "$work/b"
for _ in $(seq "$runs"); do
    "$work/map_timer" " Quillon" 2 "$program" >> "$work/q"
    "$work/map_timer" baseline 2 "$work/baseline" >> "$work/b"
done
median() { sort -n -k"$2" "$1" | awk -v k="$2" '{a[NR]=$k} END {print a[int((NR+1)/2)]}'; }
q=$(median "$work/q" 1); b=$(median "$work/b" 1)
echo "quillon:  median ${q} ms to mapped, runs: $(cut -d' ' -f1 "$work/q" | tr '\n' ' ')"
echo "baseline: median ${b} ms to mapped, runs: $(cut -d' ' -f1 "$work/b" | tr '\n' ' ')"
echo "ratio quillon/baseline: $(awk -v q="$q" -v b="$b" 'BEGIN {printf "%.2f", q / b}')"
echo "resident memory once idle: quillon $(median "$work/q" 2) kB, baseline $(median "$work/b" 2) kB"
qc=$(median "$work/q" 3); bc=$(median "$work/b" 3)
echo "processor time to mapped: quillon ${qc} ms, baseline ${bc} ms, ratio $(awk -v q="$qc" -v b="$bc" 'BEGIN {printf "%.2f", q / b}')"

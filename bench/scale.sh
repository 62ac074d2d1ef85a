#!/usr/bin/env bash
# Scale benchmark: the program on private font sets of N font files each (the machine's fonts, then renamed
# copies, one family a file; see bench/scale/fontset.py), against a bare Qt window on the same set. For each
# N: exec to mapped window and processor time at that moment, Quillon and the bare window alternating (the
# processor time is the figure of record on a shared machine), resident memory once idle, the face change,
# the summary window's opening and pages, and the catalogue build. Prints one table, then one line per N:
#   scale<TAB>N<TAB>quillon processor ms<TAB>bare window processor ms<TAB>ratio    (medians, to mapped)
# The sets are kept in QUILLON_SCALE_CACHE (default ~/.cache/quillon-scale; about 55 KB a copied file, so
# some 1.6 GB for 30,000) and reused by later runs; each N's raw figures are left in its results/N folder.
# usage: bench/scale.sh [-r RUNS] N...      (build first: scripts/build -DQUILLON_BENCH=ON)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLON_BUILD_DIR:-$root/build}
cache=${QUILLON_SCALE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quillon-scale}
runs=5
if [ "${1:-}" = "-r" ]; then runs=$2; shift 2; fi
[ $# -gt 0 ] || { echo "usage: bench/scale.sh [-r RUNS] N..." >&2; exit 2; }
for program in quillon bench/face_change_bench bench/summary_bench bench/catalogue_bench; do
    [ -x "$build/$program" ] || { echo "scale: $build/$program missing (scripts/build -DQUILLON_BENCH=ON)" >&2; exit 2; }
done

work=$(mktemp -d)
# The programs are run from copies, so a rebuild during a long run does not swap them underneath it.
mkdir -p "$work/bin/bench"
for program in quillon bench/face_change_bench bench/summary_bench bench/catalogue_bench; do
    cp "$build/$program" "$work/bin/$program"
done
build=$work/bin
xvfb=
trap '[ -n "$xvfb" ] && kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
bench_name=scale
source "$root/bench/startup/session.sh"

field() { sed -n "s/$2/\\1/p" "$1" | head -1; } # first capture of a sed pattern in a file, or empty

echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) processors; $runs runs each"
: > "$work/rows"
for n in "$@"; do
    echo "font set of $n files..." >&2
    FONTCONFIG_FILE=$(python3 "$root/bench/scale/fontset.py" "$cache" "$n")
    export FONTCONFIG_FILE
    files=$(fc-list --format '%{file}\n' | sort -u | wc -l)

    echo "  start-up..." >&2
    "$work/map_timer" " Quillon" 0 "$build/quillon" >/dev/null # warm-up: both read the same warm caches
    "$work/map_timer" baseline 0 "$work/baseline" >/dev/null
    : > "$work/q"; : > "$work/b"
    for _ in $(seq "$runs"); do
        "$work/map_timer" " Quillon" 3 "$build/quillon" >> "$work/q"
        "$work/map_timer" baseline 3 "$work/baseline" >> "$work/b"
    done

    echo "  face change..." >&2
    every=$(( (n + 249) / 250 )) # some 250 faces
    QT_QPA_PLATFORM=offscreen "$build/bench/face_change_bench" "$every" change > "$work/face" 2>/dev/null

    echo "  summary..." >&2
    # Qt's plain drawing of a name it does not know costs seconds per row with tens of thousands of families:
    # past a minute the plain pages are a spread sample.
    "$build/bench/summary_bench" --plain-budget=60 --benchmark_filter='^$' > "$work/summary" 2>/dev/null

    echo "  catalogue..." >&2
    "$build/bench/catalogue_bench" --benchmark_filter='(Catalogue|BareListing)/large' \
        --benchmark_format=json 2>/dev/null | python3 -c '
import json, sys
times = {b["name"]: b["cpu_time"] for b in json.load(sys.stdin)["benchmarks"]}
print("%.0f %.0f" % (times["BM_Catalogue/large"], times["BM_BareListing/large"]))' > "$work/catalogue"

    mkdir -p "$cache/results/$n" && cp "$work"/{q,b,face,summary,catalogue} "$cache/results/$n/"
    qm=$(median "$work/q" 1); bm=$(median "$work/b" 1)
    qc=$(median "$work/q" 3); bc=$(median "$work/b" 3)
    qr=$(median "$work/q" 2); br=$(median "$work/b" 2)
    face=$(field "$work/face" '^face change.*median \([0-9.]*\) ms, worst \([0-9.]*\) ms$')
    face_worst=$(sed -n 's/^face change.*worst \([0-9.]*\) ms$/\1/p' "$work/face" | head -1)
    open=$(field "$work/summary" '^summary open: \([0-9.]*\) ms.*')
    page=$(field "$work/summary" '^window, first visit: *median *\([0-9.]*\) ms.*')
    page_max=$(field "$work/summary" '^window, first visit: .*max *\([0-9.]*\) ms .*')
    worst=$(field "$work/summary" '^worst page ratio window\/plain \([0-9.]*\).*')
    over=$(field "$work/summary" '.*pages over a third: \([0-9]*\)$')
    sweep=$(field "$work/summary" '.* after (\(-*[0-9]*\) KiB for the kept layouts)$')
    read -r catalogue bare < "$work/catalogue"
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$n" "$files" "$qm" "$bm" "$qc" "$bc" \
        "$qr" "$br" "$face" "$face_worst" "$open" "$page" "$page_max" "$worst" "$over" "$sweep" "$catalogue" \
        "$bare" >> "$work/rows"
done
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"

# Times in ms, memory in MiB; medians of the runs for start-up. "over bare" is resident memory above the
# bare window's, per file. Pages: first visits, median and worst, and the worst ratio to the plain page.
awk -F'\t' '
BEGIN {
    printf "%7s %7s | %15s | %15s %6s | %13s %9s | %13s | %8s | %8s %8s %6s %5s %9s | %11s\n", "N", "files",
        "mapped Q/bare", "cpu Q/bare", "ratio", "RSS Q/bare", "KiB/file", "face change", "summary",
        "page med", "page max", "ratio", ">1/3", "sweep MB", "catalogue"
    printf "%7s %7s | %15s | %15s %6s | %13s %9s | %13s | %8s | %8s %8s %6s %5s %9s | %11s\n", "", "",
        "ms", "ms", "", "MiB", "over bare", "med/worst ms", "open ms", "ms", "ms", "/plain", "pages", "",
        "ms (bare)"
}
{
    printf "%7d %7d | %7.0f/%-7.0f | %7.0f/%-7.0f %6.2f | %6.1f/%-6.1f %9.2f | %6.2f/%-6.2f | %8.1f | %8.2f %8.2f %6.3f %5d %9.1f | %5s (%s)\n",
        $1, $2, $3, $4, $5, $6, ($6 > 0 ? $5 / $6 : 0), $7 / 1024, $8 / 1024, ($2 > 0 ? ($7 - $8) / $2 : 0),
        $9, $10, $11, $12, $13, $14, $15, $16 / 1024, $17, $18
}' "$work/rows"
awk -F'\t' '{printf "scale\t%d\t%.0f\t%.0f\t%.2f\n", $1, $5, $6, ($6 > 0 ? $5 / $6 : 0)}' "$work/rows"

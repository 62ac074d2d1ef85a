#!/usr/bin/env bash
# Font book benchmark: quillon-inspect book of every face on this machine, then of every fourth, every
# second and every face again by a face pattern, so the memory's growth with the number of faces shows. Each
# run prints the faces, pages, elapsed seconds, processor seconds, peak resident memory and the PDF's size;
# the face listing alone (quillon-inspect faces) is the floor the book starts from.
# usage: bench/book.sh [RUNS]   (build quillon-inspect first: scripts/build)
# QUILLON_BASELINE_DIR: the build folder of another quillon-inspect (an older commit's) measured the same way,
# each run right after this one's, so both see the same machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-3}
inspect=${QUILLON_BUILD_DIR:-$root/build}/quillon-inspect
programs=("$inspect")
[ -z "${QUILLON_BASELINE_DIR:-}" ] || programs+=("$QUILLON_BASELINE_DIR/quillon-inspect")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
mkdir -m 700 "$XDG_RUNTIME_DIR"
command -v /usr/bin/time >/dev/null || { echo "book: /usr/bin/time (package time) is needed" >&2; exit 1; }

measure() { # label, quillon-inspect's arguments...: one line of figures per run and program
    local label=$1; shift
    for _ in $(seq "$runs"); do
        for program in "${programs[@]}"; do
            local name=$label
            [ "$program" = "$inspect" ] || name="$label base"
            /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$program" "$@" > "$work/out" 2>/dev/null
            read -r elapsed user system peak < "$work/time"
            local result; result=$(cat "$work/out")
            local pages=- faces=- size
            if [[ "$result" == *$'\t'*$'\t'* ]]; then pages=$(cut -f2 <<<"$result"); faces=$(cut -f3 <<<"$result"); fi
            size=$( [ -f "$work/book.pdf" ] && stat -c %s "$work/book.pdf" || echo 0)
            printf '%-13s faces %5s  pages %4s  %6.2f s  cpu %6.2f s  peak %5d MiB  pdf %5.1f MiB\n' "$name" \
                "$faces" "$pages" "$elapsed" "$(echo "$user + $system" | bc)" $((peak / 1024)) \
                "$(echo "scale=1; $size / 1048576" | bc)"
            rm -f "$work/book.pdf"
        done
    done
}

echo "fonts: $(fc-list | wc -l) files, $("$inspect" faces 2>/dev/null | wc -l) faces listed"
measure listing faces
# A quarter and a half of the faces, picked through the whole alphabet by the name's length.
measure quarter book --pdf "$work/book.pdf" --faces '^(.{4})*.$'
measure half book --pdf "$work/book.pdf" --faces '^(..)*.$'
measure all book --pdf "$work/book.pdf"

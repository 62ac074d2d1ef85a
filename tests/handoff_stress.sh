#!/usr/bin/env bash
# Starts many copies of the program at once, each with a font file of its own: exactly one must stay running,
# every other one must hand over and end with status 0, and the running copy must handle each hand-off with
# that start's own file (its log names them). Then the running copy is killed outright, and the next start
# must still become the running copy (a channel left behind never blocks). QUILLON_STRESS_COPIES sets the
# count (default 20).
set -u
bin=${QUILLON_BINARY_DIR:?}/quillon
copies=${QUILLON_STRESS_COPIES:-20}
work=$(mktemp -d)
trap 'kill -9 $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen
export QT_LOGGING_RULES="quillon.instance=true"
mkdir -p "$XDG_CONFIG_HOME/Quillon" && mkdir -m 700 "$XDG_RUNTIME_DIR"
printf '[Settings]\nShowSplash=0\n' > "$XDG_CONFIG_HOME/Quillon/Quillon.conf"
fail() { echo "FAIL: $*"; exit 1; }

# Installed files, each named differently once the fonts run out ("dir/./file", "dir/././file", ...).
mapfile -t fonts < <(ls "${QUILLON_TEST_FONTS:?}"/*.ttf)
pids=() files=()
for i in $(seq 0 $((copies - 1))); do
    name=$(basename "${fonts[$((i % ${#fonts[@]}))]}") dots=""
    for _ in $(seq $((i / ${#fonts[@]}))); do dots="$dots./"; done
    files+=("$QUILLON_TEST_FONTS/$dots$name")
    "$bin" "${files[$i]}" 2>"$work/log.$i" & pids+=($!)
done

# Every copy but one ends by itself once its hand-off is acknowledged.
deadline=$((SECONDS + 120))
while :; do
    alive=()
    for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null && alive+=("$pid"); done
    [ ${#alive[@]} -le 1 ] && break
    [ $SECONDS -ge $deadline ] && fail "${#alive[@]} copies still running after 120 s"
    sleep 0.2
done
[ ${#alive[@]} -eq 1 ] || fail "no copy stayed running"
running=${alive[0]}
for pid in "${pids[@]}"; do
    [ "$pid" = "$running" ] && continue
    wait "$pid"; status=$?
    [ $status -eq 0 ] || fail "a second copy ended with status $status (hand-off not acknowledged)"
done
# Each hand-off was handled with its own start's file: the running copy's log names every other file once.
for i in "${!pids[@]}"; do [ "${pids[$i]}" = "$running" ] && runner=$i; done
handled=$(grep -c 'handled, file:' "$work/log.$runner")
[ "$handled" -eq $((copies - 1)) ] || fail "$handled hand-offs handled, not $((copies - 1))"
for i in "${!files[@]}"; do
    [ "$i" = "$runner" ] && continue
    n=$(grep -cF "handled, file: ${files[$i]}" "$work/log.$runner")
    [ "$n" -eq 1 ] || fail "the file ${files[$i]} was handled $n times"
done
echo "$copies simultaneous starts: one running copy, $((copies - 1)) acknowledged hand-offs, each with its own file"

# A copy killed outright leaves its socket behind; the next start must take over at once.
kill -9 "$running"; wait "$running" 2>/dev/null
"$bin" & next=$!
sleep 3
kill -0 "$next" 2>/dev/null || fail "the start after a killed copy did not stay running"
"$bin" & probe=$!
for _ in $(seq 100); do kill -0 "$probe" 2>/dev/null || break; sleep 0.1; done
kill -0 "$probe" 2>/dev/null && fail "a start after the new running copy did not hand over"
wait "$probe" || fail "the hand-off to the new running copy failed"
echo "a killed copy does not block the next start"

# Sourced by the start-up benchmarks (bench/startup.sh, bench/scale.sh) with $root, $work and $bench_name
# set: builds the map timer and the bare Qt window into $work, starts a virtual display of its own (its
# process id in $xvfb, for the caller's exit trap to stop), and points the programs at settings and a
# runtime folder in $work with the splash off, so the user's own are never read or written.
cc -O2 -o "$work/map_timer" "$root/bench/startup/map_timer.c" -lX11
g++ -O2 -fPIC -std=c++20 -o "$work/baseline" "$root/bench/startup/baseline.cpp" $(pkg-config --cflags --libs Qt6Widgets)
display=:$((200 + RANDOM % 500))
# -noreset: the server otherwise resets whenever its last client leaves, and a program started during the
# reset finds no display ("map_timer: no display").
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 & xvfb=$!
for _ in $(seq 300); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
DISPLAY=$display xdpyinfo >/dev/null 2>&1 || { echo "$bench_name: the virtual display $display did not start" >&2; exit 1; }
export DISPLAY=$display XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME/Quillon" && mkdir -m 700 "$XDG_RUNTIME_DIR"
printf '[Settings]\nShowSplash=0\n' > "$XDG_CONFIG_HOME/Quillon/Quillon.conf"

# The median of column $2 of file $1.
median() { sort -n -k"$2" "$1" | awk -v k="$2" '{a[NR]=$k} END {print a[int((NR+1)/2)]}'; }

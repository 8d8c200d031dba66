#!/usr/bin/env bash
# The game in real windows under Xvfb: its start-up (exec to the first frame and the first
# drawn scene on screen), its CPU share over 10 s each animating, halted (Ctrl+H) and
# animating with the drawing log on (Ctrl+L: the text window repaints every frame), and its
# resident size with the log off and on. A halted program waits inside the
# display for its next timer without polling, so its share should be close to the floor
# printed beside it: a process that does nothing but wake up as often.
# At a scale above 1 the screen is that many times larger and the desktop's Xft.dpi says so,
# so the game shows its windows that many times as large.
# Usage: cpu_share.sh path/to/chaser [seconds per phase] [scale]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
chaser=$(realpath "$1")
seconds=${2:-10}
scale=${3:-1}

# -noreset keeps the resources xrdb loads after it disconnects.
if [ -z "${KELPA_BENCH_UNDER_XVFB:-}" ]; then
    export KELPA_BENCH_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 $((1280 * scale))x$((1024 * scale))x24 -noreset" "$0" "$chaser" "$seconds" "$scale"
fi
echo "Xft.dpi: $((96 * scale))" | xrdb -nocpp -merge
echo "scale $scale ($((1280 * scale))x$((1024 * scale)), Xft.dpi $((96 * scale)))"

workdir=$(mktemp -d)
cd "$workdir"
c++ -O2 -o wait_floor "$here/wait_floor.cpp"
exec_ns=$(date +%s%N)
"$chaser" >chaser.log 2>&1 &
pid=$!
floor_pid=
trap 'kill "$pid" $floor_pid 2>/dev/null || true; rm -rf "$workdir"' EXIT
/usr/bin/python3 "$here/first_frame.py" "$exec_ns" 'KELPA Graphics'
wid=$(timeout 10 xdotool search --sync --name '^KELPA Graphics$' | head -1)

# Nanoseconds process $1 has run on a CPU and the times it was switched in (its threads
# included): the first and third fields of /proc/pid/schedstat, exact where utime + stime
# count 10 ms ticks.
cpu_ns() {
    local ns=0 runs=0 t f
    for t in /proc/"$1"/task/*/schedstat; do
        read -r -a f <"$t"
        ns=$((ns + f[0]))
        runs=$((runs + f[2]))
    done
    echo "$ns $runs"
}
now_ns() { date +%s%N; }

# The game is over within seconds when nobody plays, and then draws nothing: an animated
# share restarts it every two seconds (a click on "Restart").
# The first frame on screen may come before the scene's buttons: look again for a while.
for _ in $(seq 20); do
    restart=$(/usr/bin/python3 "$here/restart_point.py" "$wid" "$scale" 2>/dev/null) && break
    sleep 0.25
done
[ -n "${restart:-}" ] || { echo "no Restart button found in the window" >&2; exit 1; }
restarting() {
    local end=$(($(date +%s) + seconds))
    while [ "$(date +%s)" -lt "$end" ]; do
        xdotool mousemove --window "$wid" $restart click 1
        sleep 2
    done
}

# report <label> <cpu_ns runs before> <after> <wall ns>: the share, and the cost of each time
# the process ran.
report() {
    awk -v label="$1" -v before="$2" -v after="$3" -v ns="$4" 'BEGIN {
        split(before, b, " "); split(after, a, " "); c = a[1] - b[1]; runs = a[2] - b[2]
        printf "%-10s %6.3f%% of one core (%.3f s CPU in %.2f s; ran %d times, %.1f us each)\n",
            label, 100 * c / ns, c / 1e9, ns / 1e9, runs, runs ? c / 1e3 / runs : 0 }'
}

# share <label> [restart|floor]: CPU over wall time for the next $seconds seconds. With
# floor, wait_floor's share over the same seconds follows.
share() {
    local c0 t0 c1 t1 f0 f1
    c0=$(cpu_ns "$pid")
    [ "${2:-}" = floor ] && f0=$(cpu_ns "$floor_pid")
    t0=$(now_ns)
    if [ "${2:-}" = restart ]; then restarting; else sleep "$seconds"; fi
    c1=$(cpu_ns "$pid")
    [ "${2:-}" = floor ] && f1=$(cpu_ns "$floor_pid")
    t1=$(now_ns)
    report "$1" "$c0" "$c1" "$((t1 - t0))"
    [ "${2:-}" = floor ] || return 0
    report "floor" "$f0" "$f1" "$((t1 - t0))"
    # What is the program's own: its cost per wake-up above the floor's. Both are measured
    # over the same seconds, so this moves less with the machine than either share.
    awk -v p0="$c0" -v p1="$c1" -v f0="$f0" -v f1="$f1" 'BEGIN {
        split(p0, a, " "); split(p1, b, " "); split(f0, c, " "); split(f1, d, " ")
        own = (b[1] - a[1]) / 1e3 / (b[2] - a[2]) - (d[1] - c[1]) / 1e3 / (d[2] - c[2])
        printf "%-10s %.1f us of its own per wake-up\n", "above it", own }'
}

# resident <label>: resident size now and at its peak, and the mappings that hold the most.
resident() {
    awk -v label="$1" '/^VmRSS:/ { rss = $2 } /^VmHWM:/ { hwm = $2 }
        END { printf "%-10s resident %.1f MB, peak %.1f MB\n", label, rss / 1024, hwm / 1024 }' \
        "/proc/$pid/status"
    awk '/^[0-9a-f]+-[0-9a-f]+ / { name = NF >= 6 ? $6 : "[anonymous]"; sub(".*/", "", name) }
        /^Rss:/ { rss[name] += $2 }
        END { for (n in rss) if (rss[n] >= 1024) printf "%8.1f MB  %s\n", rss[n] / 1024, n }' \
        "/proc/$pid/smaps" | sort -rn | head -6 | sed 's/^/    /'
}

sleep 1 # start-up is not what the shares measure
resident "log off"
share animating restart
xdotool windowfocus --sync "$wid"
xdotool key ctrl+h
# The floor under the halted share: a process that only waits, 50 ms at a time, measured
# over the same seconds (this machine's cost of a wake-up with nothing in it).
"$workdir/wait_floor" &
floor_pid=$!
sleep 1 # the halt's own input settles, and the host stops being pumped for it
share halted floor
kill "$floor_pid"
# The log on: every drawing writes a line and the text window repaints.
xdotool key ctrl+l ctrl+a
sleep 1
share "log on" restart
resident "log on"
xdotool key ctrl+q
wait "$pid" || true

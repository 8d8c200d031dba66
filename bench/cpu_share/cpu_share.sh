#!/usr/bin/env bash
# The game in real windows under Xvfb: its start-up (exec to the first frame and the first
# drawn scene on screen), its CPU share over 10 s each animating, halted (Ctrl+H) and
# animating with the drawing log on (Ctrl+L: the text window repaints every frame), and its
# resident size with the log off and on. A halted program waits inside the
# display for its next timer without polling, so its share should be close to zero.
# Usage: cpu_share.sh path/to/chaser [seconds per phase]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
chaser=$(realpath "$1")
seconds=${2:-10}

if [ -z "${KELPA_BENCH_UNDER_XVFB:-}" ]; then
    export KELPA_BENCH_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$chaser" "$seconds"
fi

workdir=$(mktemp -d)
cd "$workdir"
exec_ns=$(date +%s%N)
"$chaser" >chaser.log 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$workdir"' EXIT
/usr/bin/python3 "$here/first_frame.py" "$exec_ns" 'KELPA Graphics'
wid=$(timeout 10 xdotool search --sync --name '^KELPA Graphics$' | head -1)

# Nanoseconds the process has run on a CPU (its threads included): the first field of
# /proc/pid/schedstat, exact where utime + stime count 10 ms ticks.
cpu_ns() {
    local total=0 t
    for t in /proc/"$pid"/task/*/schedstat; do
        total=$((total + $(cut -d' ' -f1 "$t")))
    done
    echo "$total"
}
now_ns() { date +%s%N; }

# The game is over within seconds when nobody plays, and then draws nothing: an animated
# share restarts it every two seconds (a click on "Restart").
# The first frame on screen may come before the scene's buttons: look again for a while.
for _ in $(seq 20); do
    restart=$(/usr/bin/python3 "$here/restart_point.py" "$wid" 2>/dev/null) && break
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

# share <label> [restart]: CPU over wall time for the next $seconds seconds.
share() {
    local c0 t0 c1 t1
    c0=$(cpu_ns)
    t0=$(now_ns)
    if [ "${2:-}" = restart ]; then restarting; else sleep "$seconds"; fi
    c1=$(cpu_ns)
    t1=$(now_ns)
    awk -v c="$((c1 - c0))" -v ns="$((t1 - t0))" -v label="$1" \
        'BEGIN { printf "%-10s %6.2f%% of one core (%.3f s CPU in %.2f s)\n", label, 100 * c / ns, c / 1e9, ns / 1e9 }'
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
sleep 0.5
share halted
# The log on: every drawing writes a line and the text window repaints.
xdotool key ctrl+l ctrl+a
sleep 1
share "log on" restart
resident "log on"
xdotool key ctrl+q
wait "$pid" || true

#!/usr/bin/env bash
# CPU time of the game in real windows under Xvfb, as a share of one core: 10 s animating,
# then 10 s halted (Ctrl+H). A halted program waits inside the display for its next timer
# without polling, so its share should be close to zero.
# Usage: cpu_share.sh path/to/chaser [seconds per phase]
set -euo pipefail
chaser=$(realpath "$1")
seconds=${2:-10}

if [ -z "${KELPA_BENCH_UNDER_XVFB:-}" ]; then
    export KELPA_BENCH_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$chaser" "$seconds"
fi

workdir=$(mktemp -d)
cd "$workdir"
"$chaser" >chaser.log 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$workdir"' EXIT
wid=$(timeout 10 xdotool search --sync --name '^KELPA Graphics$' | head -1)

ticks_per_second=$(getconf CLK_TCK)
# utime + stime of the process, in clock ticks (fields 14 and 15 of /proc/pid/stat; the
# command name in field 2 may hold spaces, so count from its closing parenthesis).
cpu_ticks() { sed 's/^.*) //' "/proc/$pid/stat" | awk '{ print $12 + $13 }'; }
now_ns() { date +%s%N; }

# share <label>: CPU over wall time for the next $seconds seconds.
share() {
    local c0 t0 c1 t1
    c0=$(cpu_ticks)
    t0=$(now_ns)
    sleep "$seconds"
    c1=$(cpu_ticks)
    t1=$(now_ns)
    awk -v c="$((c1 - c0))" -v hz="$ticks_per_second" -v ns="$((t1 - t0))" -v label="$1" \
        'BEGIN { printf "%-10s %5.1f%% of one core (%.2f s CPU in %.2f s)\n", label, 100 * (c / hz) / (ns / 1e9), c / hz, ns / 1e9 }'
}

sleep 1 # start-up is not what is measured
share animating
xdotool windowfocus --sync "$wid"
xdotool key ctrl+h
sleep 0.5
share halted
xdotool key ctrl+q
wait "$pid" || true

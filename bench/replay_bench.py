#!/usr/bin/env python3
"""Speed and size of chaser-replay: a 60-second recording (the checked-in session's lines
repeated until 600 periodic events, about a minute as it was recorded) replayed into a GIF.
Prints how many times faster than its playback runs live the replay is, encoding and the
process included (best and median of the runs), and the GIF's bytes per second of play.
Usage: replay_bench.py path/to/chaser-replay path/to/session.scr [runs]"""
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

replay, session = sys.argv[1], sys.argv[2]
runs = int(sys.argv[3]) if len(sys.argv) > 3 else 7
hold_ms = 1000


def sixty_seconds(lines):
    out, periodic = [], 0
    while periodic < 600:
        for line in lines:
            m = re.match(r"KELPA_PERIODIC\((\d+)\);", line)
            if m:
                n = min(int(m.group(1)), 600 - periodic)
                periodic += n
                line = "KELPA_PERIODIC(%d);" % n
            out.append(line)
            if periodic >= 600:
                break
    return out


def gif_play_ms(data):
    """The sum of the frames' delays (hundredths of a second) in the graphics control blocks."""
    total, at = 0, 0
    while True:
        at = data.find(b"\x21\xf9\x04", at)
        if at < 0:
            return total * 10
        total += data[at + 4] | data[at + 5] << 8
        at += 8


with tempfile.TemporaryDirectory() as tmp:
    script = os.path.join(tmp, "minute.scr")
    with open(session) as f:
        lines = sixty_seconds(f.read().splitlines())
    with open(script, "w") as f:
        f.write("\n".join(lines) + "\n")
    gif = os.path.join(tmp, "minute.gif")
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run([replay, "--start-time", "1700000000", "--hold", str(hold_ms), script, gif], check=True)
        times.append(time.perf_counter() - start)
    data = open(gif, "rb").read()
    play_s = (gif_play_ms(data) - hold_ms) / 1000
    frames = data.count(b"\x21\xf9\x04")
    best, median = min(times), statistics.median(times)
    verdict = "within" if play_s / median >= 50 else "UNDER"
    print(f"replay: {len(lines)} lines, {play_s:.1f} s of play in {frames} frames; "
          f"{best * 1000:.0f} ms best, {median * 1000:.0f} ms median = "
          f"{play_s / best:.0f} / {play_s / median:.0f} times real time ({verdict} the target of 50, aim 200)")
    print(f"replay GIF: {len(data)} bytes, {len(data) / play_s:.0f} bytes a second of play")

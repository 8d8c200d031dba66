#!/usr/bin/env bash
# chaser-replay as a person uses it: the same recording and start time give the same GIF,
# PNGs and log on every run; bad input gets one line on standard error, a status that says
# whether anything was written, and never a file left half-written under an output's name.
# Usage: replay_command_test.sh path/to/chaser-replay path/to/session.scr path/to/gif_frames_check
set -euo pipefail
replay=$1
session=$2
check=$3
tmp=$(mktemp -d /tmp/kelpa_replay_XXXXXX)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
fail() { echo "FAILED: $*"; exit 1; }

# Twice, in separate folders: every byte the same.
for run in a b; do
    mkdir $run
    "$replay" --start-time 1700000000 --frames $run --log $run/log.txt --logging "$session" $run/out.gif
    "$replay" --start-time 1700000000 "$session" $run/paced.gif
done
diff -r a b >/dev/null || fail "two runs differ: $(diff -rq a b | head -3)"
head -c 6 a/out.gif | grep -q GIF89a || fail "not a GIF"
frames=$(ls a/frame-*.png | wc -l)
[ "$frames" -gt 0 ] || fail "no frames"
tail -n 1 a/log.txt | grep -qx "EOF encountered in script file KELPA.SCR" || fail "the log does not end at the file's end"
[ -z "$(find a b -name '.*' -type f)" ] || fail "a temporary file was left: $(ls -a a b)"
echo "same GIF, $frames PNGs and $(wc -l <a/log.txt) log lines on two runs; $(stat -c %s a/paced.gif) bytes paced"

# What a viewer shows: the GIF's frames, each drawn over the ones before, are the PNGs.
mkdir paced
"$replay" --start-time 1700000000 --frames paced "$session" paced.gif
"$check" paced.gif paced

# Without a start time the one used is printed, and repeats the replay.
said=$("$replay" "$session" c.gif)
start=$(echo "$said" | sed -n 's/^start time \([0-9]*\) .*/\1/p')
[ -n "$start" ] || fail "no start time printed: $said"
"$replay" --start-time "$start" "$session" d.gif
cmp -s c.gif d.gif || fail "--start-time $start did not repeat the replay"

# Bad input: what stderr says, the status, and what is left.
expect() { # status pattern command...
    local status=$1 pattern=$2
    shift 2
    set +e
    "$@" 2>err.txt >/dev/null
    local got=$?
    set -e
    [ "$got" = "$status" ] || fail "$* exited $got, not $status: $(cat err.txt)"
    [ "$(wc -l <err.txt)" = 1 ] || fail "$* said $(wc -l <err.txt) lines: $(cat err.txt)"
    grep -q -- "$pattern" err.txt || fail "$* said $(cat err.txt)"
}
expect 1 "cannot open script file missing.scr" "$replay" missing.scr out.gif
[ ! -e out.gif ] || fail "an output was left for a script that cannot be opened"
expect 1 "cannot write nowhere/out.gif" "$replay" "$session" nowhere/out.gif
expect 1 "no folder nowhere" "$replay" --frames nowhere "$session" out.gif
[ ! -e out.gif ] || fail "an output was left when --frames was wrong"
expect 2 "usage" "$replay" "$session"
expect 2 "--hold takes a whole number" "$replay" --hold soon "$session" out.gif
expect 2 "--limit takes a whole number from 0 to 86400" "$replay" --limit 4294968 "$session" out.gif
printf 'KELPA_PERIODIC(3);\nKELPA_KBD(105);\nthis is no event\nKELPA_PERIODIC(3);\n' >bad.scr
expect 0 "bad.scr:3: not an event" "$replay" --start-time 1 bad.scr bad.gif
[ -s bad.gif ] || fail "no GIF of what played before the bad line"
# A million lines would play for over 13 hours: cut at the limit, the GIF of what played kept.
awk 'BEGIN { for (i = 0; i < 1000000; i++) print "KELPA_PERIODIC(1);" }' >long.scr
expect 0 "plays longer than 600 s" "$replay" --start-time 1 long.scr long.gif
[ -s long.gif ] || fail "no GIF of the first 600 s"
if [ "$(id -u)" != 0 ]; then
    mkdir locked && chmod a-w locked
    expect 1 "cannot write locked/log.txt" "$replay" --log locked/log.txt "$session" out.gif
fi
[ -z "$(ls -a | grep '^\.[^.]')" ] || fail "a temporary file was left: $(ls -a)"
echo "bad input: each said one line"

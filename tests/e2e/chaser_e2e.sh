#!/usr/bin/env bash
# End-to-end check of the game in real windows: under Xvfb, xdotool types and clicks as a
# user does, and screenshots of the graphics window show the player move right ("l"), turn
# cyan ("Change Color") and stand still once "Halt animation" is chosen from the Run menu;
# Ctrl+Q then ends the program with status 0.
# Usage: chaser_e2e.sh path/to/chaser [directory for the screenshots]
set -euo pipefail
chaser=$(realpath "$1")
out=$(realpath -m "${2:-$PWD/e2e-shots}")
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${KELPA_E2E_UNDER_XVFB:-}" ]; then
    export KELPA_E2E_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$chaser" "$out"
fi

mkdir -p "$out"
cd "$out"
rm -f ./*.ppm ./*.png chaser.log
"$chaser" >chaser.log 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

fail() {
    echo "FAIL: $*" >&2
    for f in ./*.ppm; do [ -e "$f" ] && convert "$f" "${f%.ppm}.png"; done
    echo "screenshots in $out" >&2
    exit 1
}

wid=$(timeout 10 xdotool search --sync --name '^KELPA Graphics$' | head -1) || fail "no \"KELPA Graphics\" window"
eval "$(xdotool getwindowgeometry --shell "$wid")" # X, Y: where the window's surface starts

# Screenshots are of the window's surface: the menu bar is rows 0..19, the client area
# starts at row 20 and the game's origin (0, 0) is at (300, 280).
shot() { import -window "$wid" -depth 8 "ppm:$1.ppm"; }
find_color() { python3 "$here/shot_stats.py" "$1.ppm" $2 0 20 601 540; } # count x y
click_at() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; }
yellow="255 255 0" # the player's colour 5 at start
cyan="0 255 255"   # colour 7, after one "Change Color"

# Keys go to the focused window; without a window manager nobody else gives it the focus.
xdotool mousemove $((X + 450)) $((Y + 400))
xdotool windowfocus --sync "$wid"
sleep 0.3

shot start
read -r n x_start _ < <(find_color start "$yellow")
[ "$n" -gt 300 ] || fail "the player (yellow) is not on the screen: $n pixels"

xdotool type --delay 80 ll
# Three shots, so one pick-up that teleports the player cannot fail the check alone.
sleep 0.2
shot moving1
sleep 0.3
shot moving2
sleep 0.3
shot moving3
read -r _ x1 _ < <(find_color moving1 "$yellow")
read -r _ x2 _ < <(find_color moving2 "$yellow")
read -r _ x3 _ < <(find_color moving3 "$yellow")
[ "$x2" -ge $((x1 + 10)) ] || [ "$x3" -ge $((x2 + 10)) ] ||
    fail "the player did not move right after \"ll\": x $x_start, $x1, $x2, $x3"

click_at 55 45 # "Change Color": centred (-245, 235)
sleep 0.2
shot recoloured
read -r n_cyan _ _ < <(find_color recoloured "$cyan")
read -r n_yellow _ _ < <(find_color recoloured "$yellow")
[ "$n_cyan" -gt 300 ] && [ "$n_yellow" -lt 50 ] ||
    fail "the player is not cyan after \"Change Color\": $n_cyan cyan, $n_yellow yellow pixels"
# Still animating: the chaser and the player move on every tick.
sleep 0.2
shot running
[ "$(python3 "$here/shot_stats.py" --same recoloured.ppm running.ppm 0 20 601 540)" = different ] ||
    fail "the picture stood still before the menu was used"

click_at 17 10 # "Run" on the menu bar
sleep 0.3
shot menu_open
read -r n_face _ _ < <(python3 "$here/shot_stats.py" menu_open.ppm 212 208 200 0 20 200 300)
[ "$n_face" -gt 5000 ] || fail "the Run menu did not open: $n_face pixels of menu face"
click_at 60 52 # "Halt animation", the second line of the pop-up
sleep 0.5
shot halted1
sleep 1.0
shot halted2
read -r n_cyan _ _ < <(find_color halted1 "$cyan")
read -r n_face _ _ < <(python3 "$here/shot_stats.py" halted1.ppm 212 208 200 0 20 200 300)
[ "$n_cyan" -gt 0 ] && [ "$n_face" -eq 0 ] ||
    fail "after the menu closed: $n_cyan cyan pixels, $n_face pixels of the pop-up left"
[ "$(python3 "$here/shot_stats.py" --same halted1.ppm halted2.ppm 0 20 601 540)" = same ] ||
    fail "the picture still changes after \"Halt animation\""

xdotool key ctrl+q
for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "Ctrl+Q did not end the program"
status=0
wait "$pid" || status=$?
trap - EXIT
[ "$status" -eq 0 ] || fail "the program ended with status $status"
for f in ./*.ppm; do convert "$f" "${f%.ppm}.png" && rm -f "$f"; done
echo "PASS: moved right (x $x1, $x2, $x3), turned cyan, halted from the Run menu, quit with status 0"

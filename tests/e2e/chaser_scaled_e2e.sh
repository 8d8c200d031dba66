#!/usr/bin/env bash
# The game on a screen at twice the density, as a person at 200 % scaling meets it: Xvfb at
# 3840 x 2160 with "Xft.dpi: 192" loaded by xrdb (what a desktop sets for that scaling).
# Without a window manager and under openbox: the graphics window shows 2 x 2 squares of one
# colour each, a click on the doubled position of "Change Color" turns the player cyan, the
# Run menu opens under the doubled "Run" and its "Halt animation" halts, Ctrl+A and "Restart"
# animate again and Ctrl+H halts. Without a window manager the graphics window is 1202 x 1080 at (0, 0)
# and the text window sits at y 1100; under openbox the frames sit there, as large as before
# less what the frame's own (unscaled) size leaves. The text window's log, a frame's drawing
# log, is read back by tesseract at least as well as the same log at scale 1 (on a screen of
# 1920 x 1080, where the program sees the same screen), and at least 11 of the last 25 lines
# (21 are shown). How many tesseract gets right depends on the scene, which the clock's seed
# places: at scale 2 it read 13 to 18 (a line ending in "radius 7" it often reads as "7?"), at
# scale 1 6 to 10; a scaled copy that loses rows or smooths reads next to none. The README's
# picture at 2x is the open Run menu's screenshot, cropped.
# Usage: chaser_scaled_e2e.sh path/to/chaser [directory for the screenshots]
set -euo pipefail
chaser=$(realpath "$1")
out=$(realpath -m "${2:-$PWD/scaled-shots}")
here=$(cd "$(dirname "$0")" && pwd)
ocr=$(cd "$here/../ocr" && pwd)

for tool in xvfb-run Xvfb xrdb xdotool import convert python3 openbox xwininfo xprop tesseract; do
    command -v "$tool" >/dev/null || {
        echo "FAIL: $tool is missing (scripts/test installs what this test needs)" >&2
        exit 1
    }
done

# -noreset: the server would otherwise drop the resources xrdb loads when xrdb disconnects.
if [ -z "${KELPA_E2E_UNDER_XVFB:-}" ]; then
    export KELPA_E2E_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 3840x2160x24 -noreset" "$0" "$chaser" "$out"
fi

mkdir -p "$out"
cd "$out"
rm -f ./*.ppm ./*.png ./*.log ./*.txt ./*.debug one.display KELPA.SCR
pid=
wm=
xvfb=
trap 'kill $pid $wm $xvfb 2>/dev/null || true' EXIT
k=2
echo "Xft.dpi: 192" | xrdb -nocpp -merge

fail() {
    echo "FAIL: $*" >&2
    for f in ./*.ppm; do [ -e "$f" ] && convert "$f" "${f%.ppm}.png"; done
    echo "screenshots and logs in $out" >&2
    exit 1
}

start_game() { # name of the session: its log, and its debugger output (every log line)
    KELPA_DEBUG_OUTPUT=$PWD/$1.debug "$chaser" >"$1.log" 2>&1 &
    pid=$!
}
window() { timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | head -1 || true; }
# The window's surface on the screen (X, Y, WIDTH, HEIGHT) and the frame around it.
measure() {
    eval "$(xwininfo -id "$1" | sed -n 's/^ *Absolute upper-left \([XY]\): *\(-*[0-9]*\)/\1=\2/p;
        s/^ *Width: *\([0-9]*\)/WIDTH=\1/p; s/^ *Height: *\([0-9]*\)/HEIGHT=\1/p')"
    read -r fl fr ft fb < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.* = //p' | tr -d , ; echo 0 0 0 0)
    fl=${fl:-0} fr=${fr:-0} ft=${ft:-0} fb=${fb:-0}
}
ended() {
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && return 1
    status=0
    wait "$pid" || status=$?
    pid=
}
quit() { # what is being ended
    xdotool key ctrl+q
    ended && [ "$status" -eq 0 ] || fail "Ctrl+Q did not end the game with status 0 ($1)"
}

# The program's pixels: the menu bar is its rows 0..19, so the client area starts at screen
# row 20 k of the surface. A click at a program pixel goes to the middle of its square.
shot() { import -window "$wid" -depth 8 "ppm:$1.ppm"; }
find_color() { python3 "$here/shot_stats.py" "$1.ppm" $2 0 $((20 * k)) "$WIDTH" "$HEIGHT"; }
same_picture() { python3 "$here/shot_stats.py" --same "$1.ppm" "$2.ppm" 0 $((20 * k)) "$WIDTH" "$HEIGHT"; }
click_surface() { xdotool mousemove $((X + k * $1 + k / 2)) $((Y + k * $2 + k / 2)) click 1; }
click_centred() {
    local w=$((WIDTH / k)) h=$((HEIGHT / k))
    click_surface $((w / 2 + $1)) $((20 + (h - 20) / 2 - $2))
}
yellow="255 255 0"
cyan="0 255 255"
face="212 208 200" # the pop-up menu's face

# What a person checks in the graphics window at scale k: squares, the button, the menu.
play_scaled() { # name of the session
    local n n_cyan n_yellow n_face
    xdotool mousemove $((X + WIDTH - 100)) $((Y + HEIGHT - 100))
    xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowactivate --sync "$wid"
    sleep 0.3
    shot "$1_start"
    read -r n _ _ < <(find_color "$1_start" "$yellow")
    [ "$n" -gt $((300 * k * k)) ] || fail "the player (yellow) is not on the screen ($1): $n pixels"
    read -r what n < <(python3 "$here/blocks.py" "$1_start.ppm" "$k" 0 0 "$WIDTH" "$HEIGHT")
    [ "$what" = blocks ] && [ "$n" -ge 8 ] || fail "the graphics window is not made of ${k}x$k squares ($1): $what $n"

    # Moving right, away from the chaser, which would otherwise come to cover the player.
    xdotool type --delay 80 ll
    sleep 0.8
    click_centred -245 235 # "Change Color"
    sleep 0.3
    shot "$1_recoloured"
    read -r n_cyan _ _ < <(find_color "$1_recoloured" "$cyan")
    read -r n_yellow _ _ < <(find_color "$1_recoloured" "$yellow")
    [ "$n_cyan" -gt $((300 * k * k)) ] && [ "$n_yellow" -lt $((50 * k * k)) ] ||
        fail "the player is not cyan after \"Change Color\" ($1): $n_cyan cyan, $n_yellow yellow pixels"

    click_surface 17 10 # "Run" on the menu bar
    sleep 0.3
    shot "$1_menu"
    [ "$1" != plain ] || convert "$1_menu.ppm" -crop 1202x720+0+0 +repage readme_2x.png
    read -r n_face _ _ < <(python3 "$here/shot_stats.py" "$1_menu.ppm" $face 0 $((20 * k)) $((200 * k)) $((300 * k)))
    [ "$n_face" -gt $((5000 * k * k)) ] || fail "the Run menu did not open at the doubled place ($1): $n_face pixels"
    read -r what n < <(python3 "$here/blocks.py" "$1_menu.ppm" "$k" 0 0 $((200 * k)) $((300 * k)))
    [ "$what" = blocks ] || fail "the open Run menu is not made of ${k}x$k squares ($1): $what $n"
    click_surface 60 52 # "Halt animation"
    sleep 0.5
    shot "$1_halted1"
    sleep 0.6
    shot "$1_halted2"
    read -r n_face _ _ < <(python3 "$here/shot_stats.py" "$1_halted1.ppm" $face 0 $((20 * k)) $((200 * k)) $((300 * k)))
    [ "$n_face" -eq 0 ] || fail "the Run menu stayed open after \"Halt animation\" ($1)"
    [ "$(same_picture "$1_halted1" "$1_halted2")" = same ] || fail "\"Halt animation\" did not halt ($1)"
    # Restarted, so that a game over by now cannot stand still for the check.
    xdotool key ctrl+a
    click_centred -145 235 # "Restart"
    sleep 0.3
    shot "$1_resumed1"
    sleep 0.3
    shot "$1_resumed2"
    [ "$(same_picture "$1_resumed1" "$1_resumed2")" = different ] || fail "Ctrl+A and \"Restart\" did not animate ($1)"
    xdotool key ctrl+h
    sleep 0.5
    shot "$1_ctrl_h1"
    sleep 0.6
    shot "$1_ctrl_h2"
    [ "$(same_picture "$1_ctrl_h1" "$1_ctrl_h2")" = same ] || fail "Ctrl+H did not halt ($1)"
}

# The text window read back: halted, the log on, one frame drawn (its drawing log fills the
# window); tesseract reads the screenshot as it is. Prints how many of the log's last lines
# it read exactly.
read_log() { # name of the session
    local text
    text=$(window "KELPA Text")
    xdotool key ctrl+h ctrl+l ctrl+f
    # The frame's log is complete once the debugger's copy stops growing.
    local size=-1
    for _ in $(seq 30); do
        sleep 0.3
        [ "$(stat -c %s "$1.debug")" = "$size" ] && break
        size=$(stat -c %s "$1.debug")
    done
    import -window "$text" -depth 8 "$1_log.png"
    convert "$1_log.png" -bordercolor white -border 20 "$1_log_bordered.png"
    tesseract "$1_log_bordered.png" "$1_read" --psm 6 >/dev/null 2>&1
    tail -n 25 "$1.debug" >"$1_expected.txt"
    python3 "$ocr/compare_lines.py" "$1_expected.txt" "$1_read.txt" 0 >"$1_ocr.txt" || true
    sed -n 's/^\([0-9]*\) of \([0-9]*\) lines read back exactly.*/\1/p' "$1_ocr.txt"
}

# ---- no window manager ----
start_game plain
wid=$(window "KELPA Graphics")
text=$(window "KELPA Text")
[ -n "$wid" ] && [ -n "$text" ] || fail "the windows did not appear"
measure "$text"
text_at="$X $Y ${WIDTH}x$HEIGHT"
[ "$X $Y $WIDTH $HEIGHT" = "0 1100 1202 540" ] || fail "the text window is at $text_at, not 0 1100 1202x540"
measure "$wid"
[ "$X $Y $WIDTH $HEIGHT" = "0 0 1202 1080" ] || fail "the graphics window is at $X $Y ${WIDTH}x$HEIGHT, not 0 0 1202x1080"
play_scaled plain
read_scaled=$(read_log plain)
quit "no window manager"

# ---- the same log at scale 1, on a screen the program sees as the same ----
Xvfb -displayfd 3 -screen 0 1920x1080x24 3>one.display 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do
    [ -s one.display ] && break
    sleep 0.1
done
(
    export DISPLAY=:$(cat one.display)
    start_game one
    wid=$(window "KELPA Graphics")
    [ -n "$wid" ] || fail "no window at scale 1"
    xdotool mousemove 300 300
    xdotool windowfocus --sync "$wid"
    sleep 0.3
    read_log one >one_count.txt
    quit "scale 1"
)
read_one=$(cat one_count.txt)
kill "$xvfb" 2>/dev/null || true
xvfb=
[ -n "$read_scaled" ] && [ -n "$read_one" ] || fail "no text recognition result"
[ "$read_scaled" -ge "$read_one" ] && [ "$read_scaled" -ge 11 ] ||
    fail "tesseract read $read_scaled of the log's last 25 lines at scale 2, $read_one at scale 1 (see plain_ocr.txt)"

# ---- openbox ----
openbox >openbox.log 2>&1 &
wm=$!
for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
start_game openbox
wid=$(window "KELPA Graphics")
text=$(window "KELPA Text")
[ -n "$wid" ] && [ -n "$text" ] || fail "the windows did not appear under openbox"
sleep 0.5
measure "$text"
read -r tx ty tw th <<<"$((X - fl)) $((Y - ft)) $((fl + WIDTH + fr)) $((ft + HEIGHT + fb))"
measure "$wid"
read -r gx gy gw gh <<<"$((X - fl)) $((Y - ft)) $((fl + WIDTH + fr)) $((ft + HEIGHT + fb))"
[ $((ft + fb)) -gt 0 ] || fail "openbox reported no frame for the graphics window"
# Each side of the frame takes whole pixels of the program's: up to k - 1 screen pixels a side
# go unused.
near() { [ "$1" -le "$2" ] && [ "$1" -gt $(($2 - 2 * k)) ]; }
[ "$gx $gy" = "0 0" ] && near "$gw" 1202 && near "$gh" 1080 ||
    fail "the graphics window's frame is $gx $gy ${gw}x$gh, not at 0 0 and about 1202x1080"
[ "$tx $ty" = "0 1100" ] && near "$tw" 1202 && near "$th" 540 ||
    fail "the text window's frame is $tx $ty ${tw}x$th, not at 0 1100 and about 1202x540"
framed="frames ${gw}x$gh and ${tw}x$th at 0 0 and 0 1100 (frame $fl,$ft,$fr,$fb)"
play_scaled openbox
quit "openbox"

trap - EXIT
kill "$wm" 2>/dev/null || true
for f in ./*.ppm; do convert "$f" "${f%.ppm}.png" && rm -f "$f"; done
echo "PASS: at Xft.dpi 192, without a window manager 1202x1080 at 0 0, the text window at $text_at;" \
    "2x2 squares, \"Change Color\", the Run menu, Halt, Restart and Ctrl+H at the doubled places;" \
    "tesseract read $read_scaled of 25 log lines at scale 2, $read_one at scale 1; under openbox: $framed"

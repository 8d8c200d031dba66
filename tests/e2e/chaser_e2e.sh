#!/usr/bin/env bash
# End-to-end check of the game in real windows, as a user meets it: under Xvfb, xdotool types
# and clicks, and screenshots show what the windows show.
# Without a window manager: the player moves right ("l"), turns cyan ("Change Color") and
# stands still once "Halt animation" is chosen from the Run menu; Ctrl+Q ends the program with
# status 0. The X server destroying the text window leaves the game running; destroying the
# graphics window, SIGTERM while recording (the counted ticks reach KELPA.SCR), SIGINT and the
# loss of the X server each end it with status 0. SIGHUP while recording ends it as SIGTERM
# does; under a file-size limit a recording's writes fail and the game plays on. Another client
# sizing the graphics window to 32000 x 32000 gets it back within the screen and its frame,
# resident memory stays bounded, and Ctrl+Q still ends the game at once.
# With no file descriptor to spare (ulimit -n 7) no font file can be read: the log still shows
# the recording's failure, in the built-in font, and standard error says what was missing.
# Under openbox: both windows keep their outer sizes inside the frames, the frames do not
# overlap, and "Change Color" still lands (the origin follows the smaller client area).
# Usage: chaser_e2e.sh path/to/chaser [directory for the screenshots]
set -euo pipefail
chaser=$(realpath "$1")
out=$(realpath -m "${2:-$PWD/e2e-shots}")
here=$(cd "$(dirname "$0")" && pwd)

for tool in xvfb-run Xvfb xdotool import convert python3 openbox xwininfo xprop; do
    command -v "$tool" >/dev/null || {
        echo "FAIL: $tool is missing (scripts/test installs what this test needs)" >&2
        exit 1
    }
done

if [ -z "${KELPA_E2E_UNDER_XVFB:-}" ]; then
    export KELPA_E2E_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$chaser" "$out"
fi

mkdir -p "$out"
cd "$out"
rm -f ./*.ppm ./*.png ./*.log KELPA.SCR
pid=
wm=
session=
trap 'kill $pid $wm 2>/dev/null || true' EXIT

fail() {
    echo "FAIL: $*" >&2
    for f in ./*.ppm; do [ -e "$f" ] && convert "$f" "${f%.ppm}.png"; done
    echo "screenshots and logs in $out" >&2
    exit 1
}

start_game() { # name of the session, for its log
    session=$1
    "$chaser" >"$1.log" 2>&1 &
    pid=$!
}

window() { # title
    timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | head -1 || true
}

# Where a window's surface is (menu bar and client area): X, Y on the screen, WIDTH, HEIGHT;
# and the host's frame around it, from the window manager (all 0 without one).
# (xdotool's getwindowgeometry counts a window manager's frame twice.)
measure() { # window id
    eval "$(xwininfo -id "$1" | sed -n 's/^ *Absolute upper-left \([XY]\): *\(-*[0-9]*\)/\1=\2/p;
        s/^ *Width: *\([0-9]*\)/WIDTH=\1/p; s/^ *Height: *\([0-9]*\)/HEIGHT=\1/p')"
    read -r fl fr ft fb < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.* = //p' | tr -d , ; echo 0 0 0 0)
    fl=${fl:-0} fr=${fr:-0} ft=${ft:-0} fb=${fb:-0}
}

# Waits up to 5 s for the game to end; its status in $status.
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

# Status 0 only: a sanitizer build reports an error or a leak at exit with another status
# (ASAN_OPTIONS and LSAN_OPTIONS reach the game from this script's environment).
expect_end() { # what should have ended it
    ended || fail "$1 did not end the program"
    [ "$status" -eq 0 ] || { tail -n 40 "$session.log" >&2; fail "$1 ended the program with status $status"; }
}

# Screenshots are of the graphics window's surface: the menu bar is rows 0..19 and the
# client area starts at row 20; the game's origin is the centre of the client area.
shot() { import -window "$wid" -depth 8 "ppm:$1.ppm"; }
find_color() { python3 "$here/shot_stats.py" "$1.ppm" $2 0 20 "$WIDTH" "$HEIGHT"; } # count x y
same_picture() { python3 "$here/shot_stats.py" --same "$1.ppm" "$2.ppm" 0 20 "$WIDTH" "$HEIGHT"; }
click_surface() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; }
click_centred() { click_surface $((WIDTH / 2 + $1)) $((20 + (HEIGHT - 20) / 2 - $2)); }
yellow="255 255 0" # the player's colour 5 at start
cyan="0 255 255"   # colour 7, after one "Change Color"

change_color_lands() { # name of the shot
    click_centred -245 235 # "Change Color"
    sleep 0.3
    shot "$1"
    read -r n_cyan _ _ < <(find_color "$1" "$cyan")
    read -r n_yellow _ _ < <(find_color "$1" "$yellow")
    [ "$n_cyan" -gt 300 ] && [ "$n_yellow" -lt 50 ] ||
        fail "the player is not cyan after \"Change Color\" ($1): $n_cyan cyan, $n_yellow yellow pixels"
}

# ---- no window manager: play, then quit with Ctrl+Q ----
start_game play
wid=$(window "KELPA Graphics")
[ -n "$wid" ] || fail "no \"KELPA Graphics\" window"
measure "$wid"
[ "$WIDTH $HEIGHT $fl $ft" = "601 540 0 0" ] || fail "without a window manager the surface is ${WIDTH}x$HEIGHT"

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

change_color_lands recoloured
# Still animating: the chaser and the player move on every tick.
sleep 0.2
shot running
[ "$(same_picture recoloured running)" = different ] || fail "the picture stood still before the menu was used"

click_surface 17 10 # "Run" on the menu bar
sleep 0.3
shot menu_open
read -r n_face _ _ < <(python3 "$here/shot_stats.py" menu_open.ppm 212 208 200 0 20 200 300)
[ "$n_face" -gt 5000 ] || fail "the Run menu did not open: $n_face pixels of menu face"
click_surface 60 52 # "Halt animation", the second line of the pop-up
sleep 0.5
shot halted1
sleep 1.0
shot halted2
read -r n_cyan _ _ < <(find_color halted1 "$cyan")
read -r n_face _ _ < <(python3 "$here/shot_stats.py" halted1.ppm 212 208 200 0 20 200 300)
[ "$n_cyan" -gt 0 ] && [ "$n_face" -eq 0 ] ||
    fail "after the menu closed: $n_cyan cyan pixels, $n_face pixels of the pop-up left"
[ "$(same_picture halted1 halted2)" = same ] || fail "the picture still changes after \"Halt animation\""
# Halted for a second, the program has been waking for its timer alone, without looking at
# the host: a click must still reach it, and what it draws the screen.
click_centred -245 235 # "Change Color" draws the player's face at once
sleep 0.3
shot halted_click
[ "$(same_picture halted2 halted_click)" = different ] || fail "a click after a second halted changed nothing"

xdotool key ctrl+q
expect_end "Ctrl+Q"

# ---- the X server destroys the windows (xdotool windowclose without a window manager) ----
start_game destroyed
wid=$(window "KELPA Graphics")
text=$(window "KELPA Text")
[ -n "$wid" ] && [ -n "$text" ] || fail "the windows did not appear"
measure "$wid"
xdotool windowclose "$text"
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "the game ended when the X server destroyed the text window"
shot text_gone1
sleep 0.3
shot text_gone2
[ "$(same_picture text_gone1 text_gone2)" = different ] ||
    fail "the game stood still after the X server destroyed the text window"
xdotool windowclose "$wid"
expect_end "the X server destroying the graphics window"

# ---- SIGTERM, and SIGHUP (the terminal closed), while recording: the ticks counted so far
# reach the script file; the number of them in $ticks ----
signal_while_recording() { # signal
    rm -f KELPA.SCR
    start_game "$1"
    wid=$(window "KELPA Graphics")
    [ -n "$wid" ] || fail "no \"KELPA Graphics\" window"
    xdotool windowfocus --sync "$wid"
    xdotool key ctrl+r
    sleep 1.5
    kill "-$1" "$pid"
    expect_end "$1"
    last=$(tail -n 1 KELPA.SCR 2>/dev/null || true)
    [[ "$last" =~ ^KELPA_PERIODIC\(([0-9]+)\)\;$ ]] && [ "${BASH_REMATCH[1]}" -ge 5 ] ||
        fail "after $1 while recording, KELPA.SCR ends with \"$last\", not the counted ticks"
    ticks=${BASH_REMATCH[1]}
}
signal_while_recording HUP
signal_while_recording TERM

start_game sigint
[ -n "$(window "KELPA Graphics")" ] || fail "no \"KELPA Graphics\" window"
kill -INT "$pid"
expect_end "SIGINT"

# ---- another client sizes the graphics window far past the screen (nothing holds it) ----
start_game oversized
wid=$(window "KELPA Graphics")
[ -n "$wid" ] || fail "no \"KELPA Graphics\" window"
memory() { awk -v k="$1:" '$1 == k {print $2}' "/proc/$pid/status"; } # kB
sleep 0.5
rss_start=$(memory VmRSS)
xdotool windowsize "$wid" 32000 32000
sleep 1
kill -0 "$pid" 2>/dev/null || fail "the game ended when its window was sized to 32000x32000"
measure "$wid"
grown=$(($(memory VmHWM) - rss_start))
# The largest size a window tracks to: the 1280x1024 screen, a frame of 4 each side and 4 more.
[ "$WIDTH" -le 1292 ] && [ "$HEIGHT" -le 1036 ] || fail "the graphics window stayed ${WIDTH}x$HEIGHT"
[ "$grown" -lt 102400 ] || fail "sized to 32000x32000, the game grew by $((grown / 1024)) MB"
xdotool windowsize "$wid" 601 540
sleep 0.5
xdotool mousemove $((X + 450)) $((Y + 400))
xdotool windowfocus --sync "$wid"
quit_start=$(date +%s%N)
xdotool key ctrl+q
expect_end "Ctrl+Q after the window was sized to 32000x32000"
echo "sized to 32000x32000: ${WIDTH}x$HEIGHT, resident memory grew by $((grown / 1024)) MB at most;" \
    "Ctrl+Q ended it after $((($(date +%s%N) - quit_start) / 1000000)) ms"

# ---- no file may grow (ulimit -f 0): the recording's lines fail, the game plays on ----
rm -f KELPA.SCR
(ulimit -f 0 && exec "$chaser" >fsize.log 2>&1) &
pid=$!
wid=$(window "KELPA Graphics")
[ -n "$wid" ] || fail "no \"KELPA Graphics\" window under a file-size limit"
xdotool windowfocus --sync "$wid"
xdotool key ctrl+r
xdotool type --delay 50 ll
sleep 0.3
kill -0 "$pid" 2>/dev/null || fail "a recording under a file-size limit ended the program"
xdotool key ctrl+q
expect_end "Ctrl+Q under a file-size limit"
[ ! -s KELPA.SCR ] || fail "KELPA.SCR grew under a file-size limit of 0"

# ---- the X server goes away: a server of its own for this run ----
Xvfb -displayfd 3 -screen 0 1024x768x24 3>lost.display 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do
    [ -s lost.display ] && break
    sleep 0.1
done
lost_display=:$(cat lost.display)
session=lost
DISPLAY=$lost_display "$chaser" >lost.log 2>&1 &
pid=$!
DISPLAY=$lost_display timeout 10 xdotool search --sync --onlyvisible --name '^KELPA Graphics$' >/dev/null ||
    fail "no \"KELPA Graphics\" window on the server to be lost"
sleep 0.3
kill "$xvfb"
expect_end "the loss of the X server"

# ---- no file descriptors to spare: no font file can be read, nor the script file opened ----
# Seven descriptors with only 0, 1 and 2 open: what ctest leaves open (its log) would take one.
(exec 3>&- 4>&- 5>&- 6>&- && ulimit -n 7 && exec "$chaser") >nofds.log 2>&1 &
pid=$!
wid=$(window "KELPA Graphics")
text=$(window "KELPA Text")
[ -n "$wid" ] && [ -n "$text" ] || fail "the windows did not appear under ulimit -n 7"
xdotool windowfocus --sync "$wid"
sleep 0.3
measure "$text"
text_ink() { import -window "$text" -depth 8 "ppm:$1.ppm" && python3 "$here/shot_stats.py" "$1.ppm" 0 0 0 0 0 "$WIDTH" "$HEIGHT"; }
read -r ink_start _ _ < <(text_ink nofds_start)
xdotool key ctrl+r i # the key is the first event to record: the file cannot be opened for it
sleep 0.5
read -r ink_recording _ _ < <(text_ink nofds_recording)
[ "$ink_start" -gt 0 ] && [ "$ink_recording" -gt "$ink_start" ] ||
    fail "under ulimit -n 7 the log shows $ink_start dark pixels, then $ink_recording after a failed recording"
grep -q '^KELPA: no font could be loaded' nofds.log || fail "under ulimit -n 7 standard error does not say no font loaded"
xdotool key ctrl+q
expect_end "Ctrl+Q under ulimit -n 7"

# ---- openbox: frames outside the outer sizes, clicks on the moved origin ----
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
sleep 0.5 # the frame is known a moment after the window is shown
measure "$text"
text_frame="$((X - fl)) $((Y - ft)) $((fl + WIDTH + fr)) $((ft + HEIGHT + fb))"
measure "$wid"
graphics_frame="$((X - fl)) $((Y - ft)) $((fl + WIDTH + fr)) $((ft + HEIGHT + fb))"
[ $((ft + fb)) -gt 0 ] || fail "openbox reported no frame for the graphics window"
[ "$graphics_frame" = "0 0 601 540" ] || fail "the graphics window's frame is $graphics_frame, not 0 0 601 540"
[ "$text_frame" = "0 550 601 $((1024 / 4))" ] || fail "the text window's frame is $text_frame, not 0 550 601 256"
framed="frame $fl,$ft,$fr,$fb, surface ${WIDTH}x$HEIGHT, origin ($((WIDTH / 2)), $(((HEIGHT - 20) / 2)))"
import -window root -crop 620x820+0+0 openbox_desktop.png

xdotool windowactivate --sync "$wid"
sleep 0.3
shot openbox_start
change_color_lands openbox_recoloured
xdotool key ctrl+q
expect_end "Ctrl+Q under openbox"

trap - EXIT
kill "$wm" 2>/dev/null || true
for f in ./*.ppm; do convert "$f" "${f%.ppm}.png" && rm -f "$f"; done
echo "PASS: moved right (x $x1, $x2, $x3), turned cyan, halted from the Run menu, quit with status 0;" \
    "the X server destroying the text window, the graphics window, SIGHUP and SIGTERM (recorded $ticks ticks)," \
    "SIGINT and the loss of the server ended it as they should; under openbox: $framed, no overlap," \
    "\"Change Color\" landed"

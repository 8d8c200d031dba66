# Sourced by the release checks that show the game on a screen: their failure, the tools they
# need, a virtual X server of their own, and looks at the graphics window.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# require_tools TOOL...: each on the PATH (or an executable path), besides what every look needs.
require_tools() {
    local tool
    for tool in "$@" xvfb-run xdotool xwininfo import python3; do
        command -v "$tool" >/dev/null || fail "$tool is missing (scripts/test installs what this test needs)"
    done
}

# under_xvfb "$0" "$@": runs the check again on a virtual X server of its own.
under_xvfb() {
    [ -z "${KELPA_RELEASE_UNDER_XVFB:-}" ] || return 0
    export KELPA_RELEASE_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
}

# window TITLE SECONDS: the visible window of that title, once it has appeared; empty if not.
window() { timeout "$2" xdotool search --sync --onlyvisible --name "^$1\$" | head -1 || true; }

# look WINDOW NAME: a screenshot of the window in $work/NAME.ppm, and in it the player (the
# yellow of a new game): their number of pixels in N, the x of their centre in X.
look() {
    local width height
    width=$(xwininfo -id "$1" | sed -n 's/^ *Width: *//p')
    height=$(xwininfo -id "$1" | sed -n 's/^ *Height: *//p')
    import -window "$1" -depth 8 "ppm:$work/$2.ppm"
    read -r N X _ < <(python3 "$(dirname "${BASH_SOURCE[0]}")/../e2e/shot_stats.py" "$work/$2.ppm" \
        255 255 0 0 0 "$width" "$height")
}

# first_frame WINDOW: waits up to 10 s for the player to be drawn.
first_frame() {
    for _ in $(seq 50); do
        look "$1" first-frame
        [ "$N" -gt 300 ] && return 0
        sleep 0.2
    done
    fail "the game draws no player ($N yellow pixels)"
}

#!/usr/bin/env bash
# The Windows zips as the person who receives them meets them: each unpacks into one folder
# with chaser.exe, README.txt and LICENSE.txt; each chaser.exe is a GUI program importing only
# DLLs every Windows has (no MinGW runtime beside it); and the 64-bit one, started from its
# folder under Wine with a new prefix, opens both windows and draws the player. (The 32-bit one
# cannot execute on these machines.)
# Usage: zip_check.sh dist-dir work-dir
set -euo pipefail
dist=$(realpath "$1")
work=$(realpath -m "$2")
shots=$(cd "$(dirname "$0")/../e2e" && pwd)/shot_stats.py

for tool in cmake i686-w64-mingw32-objdump x86_64-w64-mingw32-objdump /usr/lib/wine/wine64 xvfb-run xdotool xwininfo import python3; do
    command -v "$tool" >/dev/null || {
        echo "FAIL: $tool is missing (scripts/test installs what this test needs)" >&2
        exit 1
    }
done
if [ -z "${KELPA_RELEASE_UNDER_XVFB:-}" ]; then
    export KELPA_RELEASE_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
rm -rf "$work"
mkdir -p "$work"
# The DLLs of Windows itself that a MinGW-w64 program may import.
system_dlls=" advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll user32.dll "

for bits in 32 64; do
    case $bits in 32) arch=i686 ;; 64) arch=x86_64 ;; esac
    zip=$(ls "$dist"/chaser-*-win$bits.zip)
    name=$(basename "$zip" .zip)
    (cd "$work" && cmake -E tar xf "$zip")
    contents=$(cd "$work" && find "$name" -type f | sort | tr '\n' ' ')
    [ "$contents" = "$name/LICENSE.txt $name/README.txt $name/chaser.exe " ] ||
        fail "$name.zip holds: $contents"
    headers=$("$arch-w64-mingw32-objdump" -p "$work/$name/chaser.exe")
    grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || fail "$name: chaser.exe is not a GUI program"
    dlls=$(sed -n 's/^\tDLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
    for dll in $dlls; do
        [[ "$system_dlls" == *" $dll "* ]] || fail "$name: chaser.exe imports $dll, which Windows does not have"
    done
    grep -q $'\r$' "$work/$name/README.txt" || fail "$name: README.txt has no Windows line ends"
    echo "$name: chaser.exe, README.txt, LICENSE.txt; imports only" $dlls
done

echo "== the 64-bit game under Wine"
export WINEPREFIX=$work/wine-prefix WINEDEBUG=-all
pid=
trap 'kill $pid 2>/dev/null || true; /usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
name=$(basename "$(ls "$dist"/chaser-*-win64.zip)" .zip)
(cd "$work/$name" && exec /usr/lib/wine/wine64 chaser.exe) >"$work/wine.log" 2>&1 &
pid=$!
# A new prefix takes Wine a while to make.
window() { timeout 120 xdotool search --sync --onlyvisible --name "^$1\$" | head -1 || true; }
wid=$(window "KELPA Graphics")
[ -n "$wid" ] || fail "no \"KELPA Graphics\" window (Wine's output: $(tail -n 5 "$work/wine.log"))"
[ -n "$(window "KELPA Text")" ] || fail "no \"KELPA Text\" window"
eval "$(xwininfo -id "$wid" | sed -n 's/^ *Width: *\([0-9]*\)/WIDTH=\1/p; s/^ *Height: *\([0-9]*\)/HEIGHT=\1/p')"
n=0
for _ in $(seq 50); do # the first frame: the player's yellow face
    import -window "$wid" -depth 8 "ppm:$work/wine.ppm"
    read -r n _ _ < <(python3 "$shots" "$work/wine.ppm" 255 255 0 0 0 "$WIDTH" "$HEIGHT")
    [ "$n" -gt 300 ] && break
    sleep 0.2
done
[ "$n" -gt 300 ] || fail "the game under Wine draws no player ($n yellow pixels)"
echo "$name under Wine: both windows open, the player drawn"

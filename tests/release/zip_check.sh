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
. "$(dirname "$0")/on_screen.sh"
require_tools cmake i686-w64-mingw32-objdump x86_64-w64-mingw32-objdump /usr/lib/wine/wine64
under_xvfb "$0" "$@"

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
wid=$(window "KELPA Graphics" 120)
[ -n "$wid" ] || fail "no \"KELPA Graphics\" window (Wine's output: $(tail -n 5 "$work/wine.log"))"
[ -n "$(window "KELPA Text" 20)" ] || fail "no \"KELPA Text\" window"
first_frame "$wid"
echo "$name under Wine: both windows open, the player drawn"

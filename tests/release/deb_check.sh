#!/usr/bin/env bash
# The Debian packages as the person who receives them meets them, unpacked with dpkg-deb -x
# into a folder of the test's (the system is left as it is): lintian finds no error or warning;
# the game from there opens both windows under Xvfb and "l" moves the player right; and the
# template the development package ships builds against the unpacked package, with
# find_package(KELPA) (the CMake package found through CMAKE_PREFIX_PATH: it must be
# relocatable) and with pkg-config (its prefix follows the .pc file), and its test passes.
# Usage: deb_check.sh dist-dir work-dir
set -euo pipefail
dist=$(realpath "$1")
work=$(realpath -m "$2")
. "$(dirname "$0")/on_screen.sh"
require_tools dpkg-deb lintian cmake ninja pkg-config c++
under_xvfb "$0" "$@"

rm -rf "$work"
mkdir -p "$work"
root=$work/root
game=$(ls "$dist"/chaser_*.deb)
dev=$(ls "$dist"/libkelpa-dev_*.deb)
dpkg-deb -x "$game" "$root"
dpkg-deb -x "$dev" "$root"

for package in chaser libkelpa-dev; do # the whole licence, its last line included
    grep -q "This notice may not be removed" "$root/usr/share/doc/$package/copyright" ||
        fail "$package: the copyright file does not hold the whole licence"
done

echo "== lintian"
report=$(lintian --tag-display-limit 0 "$game" "$dev" 2>&1 | grep -v '^running with root privileges' || true)
echo "${report:-(nothing to report)}"
# A warning fails too: lintian runs the manual pages through man's own warnings, and checks the
# desktop entry and the icons' sizes.
! grep -q '^[EW]: ' <<<"$report" || fail "lintian reports errors or warnings"

echo "== the game from the unpacked package"
pid=
trap 'kill $pid 2>/dev/null || true' EXIT
(cd "$work" && exec "$root/usr/games/chaser") >"$work/chaser.log" 2>&1 &
pid=$!
wid=$(window "KELPA Graphics" 20)
[ -n "$wid" ] || fail "no \"KELPA Graphics\" window"
[ -n "$(window "KELPA Text" 20)" ] || fail "no \"KELPA Text\" window"
xdotool windowfocus --sync "$wid"
first_frame "$wid"
x0=$X
xdotool type --delay 80 l
# Three looks, so that one pick-up teleporting the player cannot fail the check alone.
moved=
previous=$x0
for n in 1 2 3; do
    sleep 0.4
    look "$wid" "moving$n"
    if [ "$N" -gt 300 ] && [ "$X" -ge $((previous + 5)) ]; then moved=yes; fi
    previous=$X
done
[ -n "$moved" ] || fail "the player did not move right after \"l\" (x from $x0 to $previous)"
xdotool key ctrl+q
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
! kill -0 "$pid" 2>/dev/null || fail "Ctrl+Q did not end the game"
wait "$pid" || fail "the game ended with status $?"
pid=
echo "both windows open, \"l\" moves the player, Ctrl+Q ends the game"

echo "== the template against the unpacked development package"
template=$root/usr/share/doc/libkelpa-dev/templates/hello
[ -f "$template/CMakeLists.txt" ] || fail "the development package ships no template"
cp -r "$template" "$work/hello"
cmake -S "$work/hello" -B "$work/hello-cmake" -G Ninja -DCMAKE_PREFIX_PATH="$root/usr" >/dev/null
grep -q "^KELPA_DIR:PATH=$root/usr/lib/" "$work/hello-cmake/CMakeCache.txt" ||
    fail "find_package(KELPA) found another KELPA: $(grep ^KELPA_DIR "$work/hello-cmake/CMakeCache.txt")"
cmake --build "$work/hello-cmake" >/dev/null
(cd "$work/hello-cmake" && ctest --output-on-failure)

export PKG_CONFIG_PATH=$(dirname "$(find "$root/usr/lib" -name kelpa.pc)")
[[ "$(pkg-config --variable=prefix kelpa)" == "$root/"* ]] || fail "kelpa.pc's prefix is not in the package's folder"
c++ -o "$work/hello-pc" "$work/hello/main.cpp" $(pkg-config --cflags --libs kelpa)
c++ -o "$work/hello-pc-test" "$work/hello/main.cpp" "$work/hello/hello_test.cpp" \
    $(pkg-config --cflags --libs kelpa-testing)
"$work/hello-pc-test" "$work/hello/hello.scr"
echo "the template builds with find_package(KELPA) and with pkg-config; its test passes"

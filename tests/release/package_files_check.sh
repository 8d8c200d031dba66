#!/usr/bin/env bash
# The release packages' own files as their users' tools see them: both manual pages clean under
# the man lint lintian runs, the desktop entry under desktop-file-validate, and the icon that
# chaser_icon draws: three RGBA PNGs of the right sizes, the same bytes on every run.
# Usage: package_files_check.sh SOURCE_DIR path/to/chaser_icon
# Needs man (man-db), groff, desktop-file-validate (desktop-file-utils) and python3.
set -euo pipefail
source=$1
icon=$2
package=$source/game/package
tmp=$(mktemp -d /tmp/kelpa_package_XXXXXX)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

for page in chaser.6 chaser-replay.6; do
    said=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$package/$page" 2>&1 >/dev/null) ||
        fail "man cannot format $page: $said"
    [ -z "$said" ] || fail "man warns about $page: $said"
done
echo "manual pages: no warnings"

said=$(desktop-file-validate "$package/chaser.desktop" 2>&1) || fail "chaser.desktop: $said"
[ -z "$said" ] || fail "chaser.desktop: $said"
echo "desktop entry: valid"

for run in a b; do
    "$icon" "$tmp/$run" || fail "chaser_icon exited $?"
done
for size in 48 96 192; do
    png=$size"x"$size/apps/chaser.png
    [ -f "$tmp/a/$png" ] || fail "no $png"
    # The PNG header: width, height, bit depth and colour type (6: RGBA).
    header=$(python3 -c 'import struct, sys
data = open(sys.argv[1], "rb").read(26)
assert data[:8] == b"\x89PNG\r\n\x1a\n" and data[12:16] == b"IHDR", "not a PNG"
print("%dx%d depth %d type %d" % (struct.unpack(">II", data[16:24]) + tuple(data[24:26])))' "$tmp/a/$png") ||
        fail "$png cannot be read"
    [ "$header" = "${size}x$size depth 8 type 6" ] || fail "$png is $header, not ${size}x$size RGBA"
    cmp -s "$tmp/a/$png" "$tmp/b/$png" || fail "$png differs between two runs"
done
echo "icon: 48x48, 96x96 and 192x192 RGBA, the same bytes on two runs"

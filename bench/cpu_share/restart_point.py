#!/usr/bin/env python3
# Prints "x y", the window coordinates of the game's "Restart" button: the second of the
# three frames along the top, whose top edge is the first two black rows down column 150 of
# the window (above it only one-pixel lines: the frame buffer's border), ten pixels lower.
# The game stands still once it is over, so a CPU share of the animation clicks it now and
# then.
# At the desktop's scale k (second argument) every length is k times as long.
# Usage: restart_point.py window_id [scale]
import ctypes
import sys

from first_frame import XImage, x11, ZPIXMAP, ALL_PLANES

display = x11.XOpenDisplay(None)
window = int(sys.argv[1])
k = int(sys.argv[2]) if len(sys.argv) > 2 else 1
column = 150 * k
image = x11.XGetImage(display, window, column, 0, 1, 540 * k, ALL_PLANES, ZPIXMAP)
img = image.contents
raw = ctypes.string_at(img.data, img.bytes_per_line * img.height)
rows = [raw[y * img.bytes_per_line:y * img.bytes_per_line + 3] for y in range(img.height)]
black = b"\0\0\0"
top = next(y for y in range(img.height - 2 * k) if all(rows[y + i] == black for i in range(2 * k)))
print(column, top + 10 * k)

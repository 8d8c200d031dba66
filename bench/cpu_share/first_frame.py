#!/usr/bin/env python3
# Start-up of a program already running under X: prints, in ms since exec_ns (CLOCK_REALTIME
# ns, taken just before the exec), when its window titled TITLE exists, when something was
# first drawn into it, and when its lower half first holds more than one colour (a drawn
# scene, not a cleared frame). Reads the window through libX11 by ctypes, so it needs no
# package beyond the X client library every SDL2 host has.
# Usage: first_frame.py exec_ns title [timeout_s]
import ctypes
import ctypes.util
import subprocess
import sys
import time


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


class XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
                ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong), ("class_", ctypes.c_int),
                ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


ZPIXMAP, ALL_PLANES, IS_VIEWABLE = 2, ctypes.c_ulong(-1).value, 2

x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XGetImage.restype = ctypes.POINTER(XImage)
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                          ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
x11.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(XWindowAttributes)]
x11.XFree.argtypes = [ctypes.c_void_p]
x11.XSetErrorHandler.argtypes = [ctypes.c_void_p]
# A window that goes away between two calls must not end the probe.
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
x11.XSetErrorHandler(ctypes.cast(ERROR_HANDLER, ctypes.c_void_p))


def since(exec_ns):
    return (time.time_ns() - exec_ns) / 1e6


def find_window(title):
    out = subprocess.run(["xdotool", "search", "--name", f"^{title}$"], capture_output=True, text=True)
    ids = out.stdout.split()
    return int(ids[0]) if ids else None


def colours(display, window):
    """The sets of pixel values of the window's upper and lower halves; None while it is not
    shown, False once it is gone."""
    attrs = XWindowAttributes()
    if not x11.XGetWindowAttributes(display, window, ctypes.byref(attrs)):
        return False
    if attrs.map_state != IS_VIEWABLE:
        return None
    image = x11.XGetImage(display, window, 0, 0, attrs.width, attrs.height, ALL_PLANES, ZPIXMAP)
    if not image:
        return None
    img = image.contents
    raw = ctypes.string_at(img.data, img.bytes_per_line * img.height)
    step = img.bits_per_pixel // 8
    halves = []
    for rows in (range(0, img.height // 2, 3), range(img.height // 2, img.height, 3)):
        seen = set()
        for y in rows:
            line = raw[y * img.bytes_per_line:y * img.bytes_per_line + img.width * step]
            seen.update(line[i:i + 3] for i in range(0, len(line), step * 3))
        halves.append(seen)
    x11.XFree(img.data)
    x11.XFree(image)
    return halves


def main():
    exec_ns, title = int(sys.argv[1]), sys.argv[2]
    deadline = time.monotonic() + (float(sys.argv[3]) if len(sys.argv) > 3 else 20)
    display = x11.XOpenDisplay(None)
    window = None
    marks = {}
    while time.monotonic() < deadline and "scene" not in marks:
        if window is None:
            window = find_window(title)
            if window is None:
                time.sleep(0.002)
                continue
            marks.setdefault("window", since(exec_ns))
        halves = colours(display, window)
        if halves is False:  # a host may replace the window it first made
            window = None
            continue
        if halves is None:
            time.sleep(0.002)
            continue
        now = since(exec_ns)
        # A new SDL window surface starts black; the program's first frame is not.
        if "drawn" not in marks and halves[1] != {b"\0\0\0"}:
            marks["drawn"] = now
        if len(halves[1]) > 1:
            marks["scene"] = now
    names = {"window": "window", "drawn": "first frame", "scene": "first scene"}
    print("start-up   " + ", ".join(f"{names[k]} {marks[k]:.0f} ms" for k in names if k in marks)
          + ("" if "scene" in marks else " (no scene seen)"))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Where a colour is in a screenshot: prints "count centre_x centre_y" for the pixels of
exactly that colour (centre -1 -1 when there are none), or with --same, whether two shots
are identical inside a rectangle. Reads the binary PPM files that ImageMagick's import writes."""
import sys


def load(path):
    with open(path, "rb") as f:
        data = f.read()
    # Header: magic, width, height, maxval, each separated by whitespace (comments aside).
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or int(fields[3]) != 255:
        sys.exit("%s: not an 8-bit binary PPM" % path)
    return int(fields[1]), int(fields[2]), data[pos + 1:]


def stats(path, rgb, box):
    width, height, px = load(path)
    x0, y0, x1, y1 = box
    want = bytes(rgb)
    n = sx = sy = 0
    for y in range(max(0, y0), min(height, y1)):
        row = px[3 * width * y:3 * width * (y + 1)]
        for x in range(max(0, x0), min(width, x1)):
            if row[3 * x:3 * x + 3] == want:
                n += 1
                sx += x
                sy += y
    return (n, sx // n, sy // n) if n else (0, -1, -1)


def same(a, b, box):
    wa, ha, pa = load(a)
    wb, hb, pb = load(b)
    if (wa, ha) != (wb, hb):
        return False
    x0, y0, x1, y1 = box
    for y in range(max(0, y0), min(ha, y1)):
        s, e = 3 * (wa * y + x0), 3 * (wa * y + min(wa, x1))
        if pa[s:e] != pb[s:e]:
            return False
    return True


if __name__ == "__main__":
    args = sys.argv[1:]
    if args and args[0] == "--same":
        a, b, box = args[1], args[2], [int(v) for v in args[3:7]]
        print("same" if same(a, b, box) else "different")
    elif len(args) == 8:
        print("%d %d %d" % stats(args[0], [int(v) for v in args[1:4]], [int(v) for v in args[4:8]]))
    else:
        sys.exit("usage: shot_stats.py shot.ppm R G B x0 y0 x1 y1 | --same a.ppm b.ppm x0 y0 x1 y1")

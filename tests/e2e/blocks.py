#!/usr/bin/env python3
"""Whether a screenshot is made of K x K squares of one colour each inside a rectangle whose
corner lies on the squares' grid: prints "blocks COLOURS" (how many colours the rectangle
holds, so that an empty picture cannot pass) or the first pixel that differs from its square.

usage: blocks.py shot.ppm K x0 y0 x1 y1"""
import sys

from shot_stats import load


def main():
    path, k = sys.argv[1], int(sys.argv[2])
    x0, y0, x1, y1 = (int(v) for v in sys.argv[3:7])
    width, height, px = load(path)
    x1, y1 = min(x1, width) - (min(x1, width) - x0) % k, min(y1, height) - (min(y1, height) - y0) % k
    colours = set()
    for top in range(y0, y1, k):
        first = px[3 * width * top:3 * width * (top + 1)]
        squares = [first[3 * x:3 * x + 3] for x in range(x0, x1, k)]
        colours.update(squares)
        want = b"".join(c * k for c in squares)
        for y in range(top, top + k):
            got = px[3 * (width * y + x0):3 * (width * y + x1)]
            if got != want:
                x = next(i for i in range(0, len(got), 3) if got[i:i + 3] != want[i:i + 3]) // 3 + x0
                print(f"pixel ({x}, {y}) differs from its square's at ({x0 + (x - x0) // k * k}, {top})")
                return 1
    print(f"blocks {len(colours)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())

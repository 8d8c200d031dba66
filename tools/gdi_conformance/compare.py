#!/usr/bin/env python3
"""Compares two outputs of gdi_conformance (ours, then the real platform's).

Prints, per call, the share of painted pixels that agree (pixels painted in either output,
counted by position and colour class), then a summary per kind of call. With --show NAME,
draws both pixel sets of the calls whose name contains NAME (ours lower case, theirs upper
case, '*' where both agree).

  cmake --build build --target gdi_conformance && build/tools/gdi_conformance/gdi_conformance > ours.txt
  x86_64-w64-mingw32-g++ -static -O2 -o gdi_conformance.exe gdi_conformance.cpp -lgdi32 -luser32
  xvfb-run -a /usr/lib/wine/wine64 gdi_conformance.exe > theirs.txt
  compare.py ours.txt theirs.txt --quiet"""
import argparse
import collections
import sys


def parse(path):
    calls = collections.OrderedDict()
    with open(path, encoding="latin-1") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if "|P:" not in line:
                continue
            name, rest = line.split("|", 1)
            pixels = set()
            for part in rest.split("|"):
                cls, _, coords = part.partition(":")
                for c in coords.split():
                    x, y = c.split(",")
                    pixels.add((cls, int(x), int(y)))
            calls[name] = pixels
    return calls


def agreement(a, b):
    union = a | b
    return 1.0 if not union else len(a & b) / len(union)


def show(name, a, b):
    pts = {(x, y) for _, x, y in a | b}
    if not pts:
        print(name, ": nothing painted")
        return
    x0, x1 = min(p[0] for p in pts), max(p[0] for p in pts)
    y0, y1 = min(p[1] for p in pts), max(p[1] for p in pts)
    ours = {(x, y): c for c, x, y in a}
    theirs = {(x, y): c for c, x, y in b}
    print(f"{name}: x {x0}..{x1}, y {y0}..{y1}")
    for y in range(y0, y1 + 1):
        row = ""
        for x in range(x0, x1 + 1):
            o, t = ours.get((x, y)), theirs.get((x, y))
            row += "*" if o and o == t else (t.upper() if t else o.lower() if o else ".")
        print("  " + row)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("ours")
    ap.add_argument("theirs")
    ap.add_argument("--show", action="append", default=[])
    ap.add_argument("--quiet", action="store_true", help="summary and mismatches only")
    args = ap.parse_args()
    ours, theirs = parse(args.ours), parse(args.theirs)
    groups = collections.defaultdict(lambda: [0, 0, 0.0])
    for name, b in theirs.items():
        a = ours.get(name, set())
        share = agreement(a, b)
        kind = name.split()[0]
        groups[kind][0] += 1
        groups[kind][1] += share == 1.0
        groups[kind][2] += share
        if not args.quiet or share < 1.0:
            print(f"{share * 100:6.2f}%  {name}")
        if any(s in name for s in args.show):
            show(name, a, b)
    print("summary:")
    for kind, (n, exact, total) in sorted(groups.items()):
        print(f"  {kind:10s} {exact}/{n} exact, mean agreement {total / n * 100:.2f}%")
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Counts the expected lines that text recognition read back exactly.

usage: compare_lines.py EXPECTED RECOGNISED MIN_SHARE
Each expected line counts once at most, matched in order; blank recognised lines are
ignored. Exits 1 when the share of exact lines is below MIN_SHARE (0..1).
tesseract's language model turns straight quotes into typographic ones, which no log line
holds: those are read as the straight ones."""
import sys

TYPOGRAPHIC = str.maketrans({"\u201c": '"', "\u201d": '"', "\u201e": '"', "\u2018": "'", "\u2019": "'"})


def main():
    expected = [l.rstrip("\n") for l in open(sys.argv[1], encoding="latin-1")]
    read = [l.strip().translate(TYPOGRAPHIC) for l in open(sys.argv[2], encoding="utf-8", errors="replace")]
    read = [l for l in read if l]
    minimum = float(sys.argv[3])
    exact, at = 0, 0
    for line in expected:
        for j in range(at, len(read)):
            if read[j] == line.strip():
                exact += 1
                at = j + 1
                break
        else:
            print(f"not read back: {line!r}")
    share = exact / len(expected) if expected else 0.0
    print(f"{exact} of {len(expected)} lines read back exactly ({share:.0%}); at least {minimum:.0%} needed")
    return 0 if expected and share >= minimum else 1


if __name__ == "__main__":
    sys.exit(main())

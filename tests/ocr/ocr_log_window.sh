#!/usr/bin/env bash
# Reads the text window back as a person would, with text recognition: runs the snapshot test
# (tests/windows/log_window_snapshot_test) in WORK_DIR, enlarges its picture, has tesseract
# read it, and fails when fewer than MIN_SHARE of the log lines shown whole come back exactly.
# usage: ocr_log_window.sh WORK_DIR MIN_SHARE COMMAND... (the snapshot test, or Wine and it)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$1
min_share=$2
shift 2
rm -rf "$work"
mkdir -p "$work"
cd "$work"
"$@" --gtest_filter='LogWindowSnapshot.*' >snapshot.log 2>&1 || {
    cat snapshot.log
    exit 1
}
# Twice the size, then a one-pixel blur: of the enlargements tried, the one with which tesseract
# reads the real platform's rendering of this log best (every line, under Wine). Larger
# scales or sharp edges make it read worse, whatever the face.
convert log_window.pgm -scale 200% -blur 0x1 -bordercolor white -border 20 enlarged.png
tesseract enlarged.png recognised --psm 6 >/dev/null 2>&1
python3 "$here/compare_lines.py" log_window.txt recognised.txt "$min_share"

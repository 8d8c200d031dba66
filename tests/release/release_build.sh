#!/usr/bin/env bash
# scripts/release into a folder of the test's own: it must succeed (no lintian error, the page
# within its size) and give the six files, named for the one version, with their checksums.
# Usage: release_build.sh source-dir folder version
set -euo pipefail
source=$1
folder=$2
version=$3
arch=$(dpkg --print-architecture)
KELPA_RELEASE_DIR=$folder/dist KELPA_RELEASE_BUILD=$folder/build "$source/scripts/release"

cd "$folder/dist"
expected="SHA256SUMS chaser-$version-win32.zip chaser-$version-win64.zip chaser-$version.html
chaser_${version}_$arch.deb libkelpa-dev_${version}_$arch.deb"
actual=$(ls)
[ "$(sort <<<"$actual")" = "$(tr ' ' '\n' <<<"$expected" | sort)" ] || {
    echo "FAIL: dist/ holds:" $actual "; expected:" $expected >&2
    exit 1
}
sha256sum --check --quiet SHA256SUMS
[ "$(wc -l <SHA256SUMS)" -eq 5 ] || { echo "FAIL: SHA256SUMS does not list the five files" >&2; exit 1; }
echo "release $version: six files, checksums verified"

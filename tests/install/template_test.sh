#!/usr/bin/env bash
# What a person does with KELPA outside this repository: install the build into a prefix, build
# templates/hello out of tree against it, with find_package(KELPA) and with pkg-config (plain
# and --static), and run the template's test (its game_main on the headless display) and its
# replay command.
# Usage: template_test.sh build-dir source-dir (CXX, CXXFLAGS and LDFLAGS as for the build)
set -euo pipefail
build=$1
source=$2
template=$source/templates/hello
tmp=$(mktemp -d /tmp/kelpa_install_XXXXXX)
trap 'rm -rf "$tmp"' EXIT

cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
# The subset's <windows.h> is in a folder of KELPA's own, never on a plain include path.
test ! -e "$tmp/prefix/include/windows.h"
test -f "$tmp/prefix/include/kelpa/win32/windows.h"

echo "== find_package(KELPA)"
cmake -S "$template" -B "$tmp/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$tmp/prefix" >/dev/null
cmake --build "$tmp/cmake" >/dev/null
test -x "$tmp/cmake/hello"
(cd "$tmp/cmake" && ctest --output-on-failure)
# kelpa_add_replay: the recording replayed into a GIF, the same twice.
"$tmp/cmake/hello-replay" --start-time 1700000000 "$template/hello.scr" "$tmp/cmake.gif"
head -c 6 "$tmp/cmake.gif" | grep -q GIF89a

export PKG_CONFIG_PATH=$tmp/prefix/lib/pkgconfig
cxx=${CXX:-c++}
# The plain form links (the libraries are static only), and so does --static.
for form in "" --static; do
    echo "== pkg-config $form"
    $cxx ${CXXFLAGS:-} -o "$tmp/hello" "$template/main.cpp" $(pkg-config $form --cflags --libs kelpa) ${LDFLAGS:-}
    $cxx ${CXXFLAGS:-} -o "$tmp/hello_test" "$template/main.cpp" "$template/hello_test.cpp" \
        $(pkg-config $form --cflags --libs kelpa-testing) ${LDFLAGS:-}
    "$tmp/hello_test" "$template/hello.scr"
    $cxx ${CXXFLAGS:-} -o "$tmp/hello-replay" "$template/main.cpp" \
        $(pkg-config $form --cflags --libs kelpa-replay) ${LDFLAGS:-}
    "$tmp/hello-replay" --start-time 1700000000 "$template/hello.scr" "$tmp/pkg-config.gif"
    cmp "$tmp/cmake.gif" "$tmp/pkg-config.gif"
done

# Sourced by the scripts: makes sure the Debian packages the build needs are installed.
# As root it installs what is missing; otherwise it prints the one command to run.

# Fonts: fonts-liberation has the widths of the Windows faces that stand in for unknown names,
# xfonts-base the X11 "fixed" face of the text window. tesseract-ocr and imagemagick read the
# text window back in the ocr test. giflib writes the replay command's GIFs.
KELPA_PACKAGES="cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-liberation xfonts-base libpng-dev libgif-dev libsdl2-dev \
libx11-dev tesseract-ocr imagemagick python3"

# The end-to-end test: an X server, a window manager, input, screenshots and their checks.
KELPA_E2E_PACKAGES="xvfb xauth openbox xdotool x11-utils imagemagick python3"
# The test of one recording on every host pins the SDL2 game's clock with libfaketime.
KELPA_E2E_PACKAGES="$KELPA_E2E_PACKAGES faketime"

kelpa_missing_packages() {
    local missing="" p
    for p in $KELPA_PACKAGES "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing="$missing $p"
        fi
    done
    echo "$missing"
}

# kelpa_require_packages [extra package...]
kelpa_require_packages() {
    local missing
    missing=$(kelpa_missing_packages "$@")
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" = 0 ]; then
        echo "Installing:$missing"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq && apt-get install -y -qq $missing >/dev/null || {
            echo "apt-get install failed for:$missing" >&2
            return 1
        }
    else
        echo "Missing packages. Run:" >&2
        echo "  sudo apt-get install -y$missing" >&2
        return 1
    fi
}

# kelpa_configure build-dir [cmake args...]
kelpa_configure() {
    local dir=$1
    shift
    cmake -S "$KELPA_ROOT" -B "$dir" -G Ninja ${KELPA_WERROR:+-DKELPA_WERROR=$KELPA_WERROR} "$@" >/dev/null
}

# The scaled end-to-end run: xrdb (x11-xserver-utils) sets the desktop's scale, tesseract reads
# its log.
KELPA_E2E_PACKAGES="$KELPA_E2E_PACKAGES x11-xserver-utils tesseract-ocr"

# scripts/release: dpkg-shlibdeps (dpkg-dev, file) and lintian for the Debian packages,
# MinGW-w64 for the zips, emscripten for the page. The release tests also run the 64-bit game
# under Wine.
KELPA_RELEASE_PACKAGES="dpkg-dev file lintian g++-mingw-w64-i686 g++-mingw-w64-x86-64 \
binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 emscripten"
KELPA_RELEASE_TEST_PACKAGES="$KELPA_RELEASE_PACKAGES wine64"

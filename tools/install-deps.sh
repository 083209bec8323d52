#!/usr/bin/env bash
# Installs the Debian 12 packages that the game needs (with --tests: also
# what its tests need; with --ci: what the CI gates add to them, after
# --tests; with --web: the browser build's), but only those that are missing: on a machine that
# has them all nothing is downloaded and no root rights are needed.
# Run by play.sh and test.sh; needs root or sudo only when installing.
set -euo pipefail

quadrell_packages=(
    g++ cmake make pkg-config
    libsdl1.2-compat-dev libsdl-image1.2-dev libsdl-mixer1.2-dev libsdl-ttf2.0-dev
    libpng-dev
)
if [ "${1:-}" = "--tests" ]; then
    # GoogleTest; clang-format for the C++ style check; a TrueType font for the text tests; a virtual X server with
    # key injection and screenshots for the end-to-end tests.
    quadrell_packages+=(libgtest-dev clang-format fonts-dejavu-core xvfb xauth xdotool imagemagick)
    # The install tests validate the desktop entry and the AppStream metadata.
    quadrell_packages+=(desktop-file-utils appstream)
    # xdpyinfo: the launcher asks it for the screen size to scale the window.
    quadrell_packages+=(x11-utils)
    # The browser build and its tests in node (emscripten brings nodejs);
    # stb's headers decode the browser build's pictures and rasterise its text.
    quadrell_packages+=(emscripten nodejs libstb-dev)
    # FreeType's headers: tools/fontglyphs asks it for the fonts' kerning.
    quadrell_packages+=(libfreetype-dev)
    # The page tests drive Debian's Chromium.
    quadrell_packages+=(chromium)
fi

if [ "${1:-}" = "--web" ]; then
    # ./play.sh --web: emscripten for the build (with stb's headers), node
    # to serve the site.
    quadrell_packages+=(emscripten nodejs libstb-dev)
fi

if [ "${1:-}" = "--ci" ]; then
    # The reliability gates of .ci/run and tools/soak.sh: clang with
    # libFuzzer for the fuzz harnesses, valgrind for the memory check.
    quadrell_packages+=(clang libclang-rt-14-dev valgrind)
fi

if ! command -v dpkg-query >/dev/null 2>&1; then
    echo "install-deps: this script expects Debian 12 (dpkg and apt-get)." >&2
    echo "Install by hand: ${quadrell_packages[*]}" >&2
    exit 1
fi

missing=()
for p in "${quadrell_packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

# The JavaScript tools and the browser tests' npm packages, pinned by the
# lock file at the top of the repo, into node_modules (git ignores it);
# again only when out of date.
install_npm_packages() {
    [ "${1:-}" = "--tests" ] || return 0
    if [ -f node_modules/.package-lock.json ] &&
        [ ! package-lock.json -nt node_modules/.package-lock.json ]; then
        return 0
    fi
    echo "Installing the JavaScript tools and browser tests' npm packages (npm ci)"
    npm ci --no-audit --no-fund --loglevel=error
}
cd "$(dirname "$0")/.."

if [ ${#missing[@]} -eq 0 ]; then
    install_npm_packages "${1:-}"
    exit 0
fi

echo "Installing missing packages: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "install-deps: missing packages need root rights; run as root or install sudo." >&2
        exit 1
    fi
    as_root=(sudo)
fi
# Passed on the command line so that sudo cannot drop it: no prompts, even
# without a terminal (CI).
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq -o Dpkg::Use-Pty=0 --no-install-recommends "${missing[@]}"
# Debian's own nodejs comes without npm; NodeSource's brings its own.
if [ "${1:-}" = "--tests" ] && ! command -v npm >/dev/null 2>&1; then
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq -o Dpkg::Use-Pty=0 --no-install-recommends npm
fi
install_npm_packages "${1:-}"

#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite
# headless. Extra arguments go to ctest (for example: -L unit).
# QUADRELL_SANITIZE=1 ./test.sh builds in build-sanitize with AddressSanitizer
# and UndefinedBehaviorSanitizer instead.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/install-deps.sh --tests

build_dir=build
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUADRELL_TESTS=ON)
if [ "${QUADRELL_SANITIZE:-0}" != 0 ]; then
    build_dir=build-sanitize
    options+=(-DQUADRELL_ASAN=ON -DQUADRELL_UBSAN=ON)
fi
cmake -S . -B "$build_dir" "${options[@]}" >/dev/null
cmake --build "$build_dir" -j2

# The browser build: the site as ./play.sh --web builds it, then what only
# the tests use; the web tests run its modules against the desktop build's.
# emcc finds its own node packages through NODE_PATH.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
tools/build-web.sh
cmake --build build-web -j2

# Every test runs without a screen or a sound card.
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
cd "$build_dir"
ctest --output-on-failure --no-tests=error --timeout 300 -j2 "$@"

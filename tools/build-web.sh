#!/bin/sh
# Builds the browser edition's whole site (the game's page, the level
# editor and levelcheck's workers) into build-web/site/: the one build that
# ./play.sh --web serves and ./test.sh tests. Needs emscripten
# (tools/install-deps.sh --web installs it).
# usage: tools/build-web.sh
set -eu
[ $# -eq 0 ] || {
    echo "usage: tools/build-web.sh" >&2
    exit 2
}
repo=$(cd "$(dirname "$0")/.." && pwd)
command -v emcmake >/dev/null 2>&1 || {
    echo "build-web: emcmake not found (tools/install-deps.sh --web installs emscripten)" >&2
    exit 3
}
# emcc finds its own node packages through NODE_PATH.
NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
export NODE_PATH
emcmake cmake -S "$repo" -B "$repo/build-web" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$repo/build-web" -j2 --target site

#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it through the
# launcher build/games/quadrell (the same one that is installed): the window
# is scaled to fit the screen, the log goes to the per-user folder
# ~/.local/state/quadrell, and the launcher's options are passed on, for
# example ./play.sh --scale 4 or ./play.sh --levels mylevels.
#
# ./play.sh --web [--port N] builds the browser edition's whole site (the
# game and the level editor) into build-web/site/ instead and serves it on
# http://127.0.0.1:8000/ (or port N) until Ctrl+C, printing the game's and
# the editor's addresses. The editor keeps a designer's work per address, so
# the fixed port keeps it from one run to the next.
set -euo pipefail
repo="$(cd "$(dirname "$0")" && pwd)"
if [ "${1:-}" = "--web" ]; then
    shift
    port=8000
    usage="usage: ./play.sh --web [--port N]"
    while [ $# -gt 0 ]; do
        case "$1" in
            --port) [ $# -ge 2 ] || { echo "$usage" >&2; exit 2; }
                    port="$2"; shift 2 ;;
            *) echo "$usage" >&2; exit 2 ;;
        esac
    done
    bash "$repo/tools/install-deps.sh" --web
    "$repo/tools/build-web.sh"
    exec node "$repo/web/serve.mjs" "$repo/build-web/site" --port "$port"
fi
bash "$repo/tools/install-deps.sh"
# Tests are left out so that the game builds without GoogleTest.
cmake -S "$repo" -B "$repo/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUADRELL_TESTS=OFF >/dev/null
cmake --build "$repo/build" -j2 --target quadrell
exec "$repo/build/games/quadrell" "$@"

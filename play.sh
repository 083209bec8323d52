#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it through the
# launcher build/games/quadrell (the same one that is installed): the window
# is scaled to fit the screen, the log goes to the per-user folder
# ~/.local/state/quadrell, and the launcher's options are passed on, for
# example ./play.sh --scale 4 or ./play.sh --levels mylevels.
set -euo pipefail
repo="$(cd "$(dirname "$0")" && pwd)"
bash "$repo/tools/install-deps.sh"
# Tests are left out so that the game builds without GoogleTest.
cmake -S "$repo" -B "$repo/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUADRELL_TESTS=OFF >/dev/null
cmake --build "$repo/build" -j2 --target quadrell
exec "$repo/build/games/quadrell" "$@"

#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUADRELL_TESTS=OFF >/dev/null
cmake --build build -j2 --target quadrell
exec ./build/quadrell "$@"

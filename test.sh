#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite
# headless. Extra arguments go to ctest (for example: -L unit).
set -euo pipefail
cd "$(dirname "$0")"
bash tools/install-deps.sh --tests
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUADRELL_TESTS=ON >/dev/null
cmake --build build -j2
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
cd build
ctest --output-on-failure -j2 "$@"

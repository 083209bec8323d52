#!/usr/bin/env bash
# Runs the built game headless under valgrind's memcheck: through the
# loading screen to the title menu, a few seconds there, then a normal end
# (SIGTERM reaches the game as a window close). Fails on any invalid read
# or write, use of uninitialised memory, or leak not named in
# tests/valgrind.supp (each suppression there says why it is allowed).
#   usage: tools/valgrind-menu.sh [GAME [SECONDS]]
# GAME defaults to build/quadrell, SECONDS (the whole run) to 20; the
# loading screen takes about 5 s under valgrind on a two-core machine.
# Exit status: 0 clean, 1 valgrind found an error, 2 wrong usage or no
# game, 3 the game did not reach a normal end.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -gt 2 ] || [ "${1:-}" = -h ] || [ "${1:-}" = --help ]; then
    echo "usage: tools/valgrind-menu.sh [GAME [SECONDS]]" >&2
    exit 2
fi
game=$(realpath "${1:-build/quadrell}")
seconds=${2:-20}
[ -x "$game" ] || { echo "valgrind-menu: no game at $game (build it first)" >&2; exit 2; }
command -v valgrind >/dev/null || { echo "valgrind-menu: valgrind is missing (tools/install-deps.sh --ci)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$PWD/data" "$work/data"
suppressions=$PWD/tests/valgrind.supp

# Exit status 99 is valgrind's own verdict; anything else is the game's.
set +e
(cd "$work" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    timeout --preserve-status -s TERM -k 30 "$seconds" valgrind --tool=memcheck --error-exitcode=99 \
    --leak-check=full --show-leak-kinds=definite,indirect \
    --errors-for-leak-kinds=definite,indirect --track-origins=yes --num-callers=30 \
    --suppressions="$suppressions" --log-file=valgrind.txt "$game" >stdout.txt 2>stderr.txt)
status=$?
set -e

summary=$(grep -E 'ERROR SUMMARY|definitely lost|indirectly lost' "$work/valgrind.txt" | sed 's/^==[0-9]*== *//')
echo "$summary" >&2
if [ $status -eq 99 ]; then
    cat "$work/valgrind.txt" >&2
    echo "valgrind-menu: memcheck found errors (above)" >&2
    exit 1
fi
if [ $status -ne 0 ] || ! tail -n 1 "$work/log.txt" | grep -qx 'stopping application'; then
    cat "$work/stderr.txt" "$work/log.txt" >&2
    echo "valgrind-menu: the game ended with status $status instead of a normal end" >&2
    exit 3
fi
echo "valgrind-menu: no memory errors and no leaks in $seconds s" >&2

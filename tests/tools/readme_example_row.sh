#!/bin/sh
# The README's example row, saved alone as a level, must play as the README
# says: its sweep line exactly as shown beside it, and no serve that cages
# the ball. Run from the repository's top folder.
# usage: readme_example_row.sh LEVELCHECK
# Exit status: 0 as shown, 1 it plays otherwise, 2 bad usage or no example.
set -eu
if [ $# -ne 1 ]; then
    echo "usage: $0 LEVELCHECK" >&2
    exit 2
fi
fail() {
    echo "FAIL: $2" >&2
    exit "$1"
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The first line of the form "    |...|" is the row; the bars are not part of it.
row=$(sed -n 's/^    |\(.*\)|$/\1/p' README.md | head -n 1)
shown=$(grep '^    example.txt: sweep: ' README.md | sed 's/^    //' | head -n 1)
[ -n "$row" ] && [ -n "$shown" ] || fail 2 "no example row or no sweep line in README.md"
printf '%s\n' "$row" >"$tmp/example.txt"
data=$(pwd)/data
got=$(cd "$tmp" && "$1" --data "$data" --quiet --sweep example.txt) || fail 1 "levelcheck: $got"
[ "$(printf '%s\n' "$got" | grep ': sweep: ')" = "$shown" ] ||
    fail 1 "the README shows
$shown
but the row '$row' gives
$got"
case $got in
*caged* | *": error: "*) fail 1 "the example row: $got" ;;
esac

#!/bin/sh
# The shipped levels as a player meets them: at least 30 of them, each
# cleared by the computer player from at least 85% of the serve angles
# (levelcheck --sweep --min-clear 85), the median level from at least 90%,
# and no serve that cages the ball or leaves it stuck on one spot.
# Run from the repository's top folder.
# usage: sweep_shipped_levels.sh LEVELCHECK
# Exit status: 0 all good, 1 a level or the set falls short, 2 bad usage or
# levelcheck could not run.
set -eu
if [ $# -ne 1 ]; then
    echo "usage: $0 LEVELCHECK" >&2
    exit 2
fi
levelcheck=$1
# The levels the game plays: numbered from 1 without a gap.
set --
while [ -f "data/levels/level$(($# + 1)).txt" ]; do
    set -- "$@" "data/levels/level$(($# + 1)).txt"
done
table=$(mktemp)
report=$(mktemp)
trap 'rm -f "$table" "$report"' EXIT
status=0
"$levelcheck" --quiet --sweep --min-clear 85 --csv "$table" "$@" >"$report" || status=$?
cat "$report"
if [ "$status" -gt 1 ]; then
    exit 2
fi
# A caged ball never comes back to the paddle: a player's game would stick
# there just the same. levelcheck already calls it an error; name them here.
if grep -q ' cages the ball ' "$report"; then
    echo "serves that cage the ball among solid bricks:" >&2
    grep ' cages the ball ' "$report" >&2
    status=1
fi
# A loop of a few frames would be a ball stuck against a solid brick,
# turning on one spot, which the game itself must never allow.
if grep -q '(every [0-9] frames)' "$report"; then
    echo "serves that leave the ball stuck on one spot:" >&2
    grep '(every [0-9] frames)' "$report" >&2
    status=1
fi
# Each level's share of cleared serves, sorted; the middle one or two.
shares=$(awk -F, 'NR > 1 { n[$1]++; c[$1] += $3 }
    END { for (f in n) printf "%.1f\n", 100 * c[f] / n[f] }' "$table" | sort -n)
count=$(printf '%s\n' "$shares" | grep -c .) || true
median=$(printf '%s\n' "$shares" |
    awk -v n="$count" 'NR == int((n + 1) / 2) { lo = $1 } NR == int(n / 2) + 1 { hi = $1 }
        END { printf "%.1f", (lo + hi) / 2 }')
echo "$count levels swept; the median level clears from $median% of the serves"
if [ "$count" -lt 30 ]; then
    echo "only $count levels ship, 30 wanted" >&2
    status=1
fi
if awk -v m="$median" 'BEGIN { exit !(m < 90) }'; then
    echo "the median level clears from $median% of the serves, below 90%" >&2
    status=1
fi
exit "$status"

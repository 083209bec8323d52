#!/usr/bin/env bash
# The long runs before a release: both fuzz harnesses for MINUTES each
# (default 10), then 10 minutes of computer play in a virtual X window with
# the game's memory sampled every 30 s. Fails on a fuzzing fault, on the
# game ending early, or when its memory at the end is more than 5 % above
# the sample after the first minute. Needs a built game (./test.sh) and the
# CI tools (tools/install-deps.sh --ci).
#   usage: tools/soak.sh [MINUTES]
# Exit status: 0 clean, 1 a fuzzer found a fault, 2 wrong usage, 3 the
# fuzzers did not build, 4 the game ended early, 5 its memory grew.
set -euo pipefail
cd "$(dirname "$0")/.."

play_seconds=600
sample_seconds=30
allowed_growth_percent=5

usage() { echo "usage: tools/soak.sh [MINUTES]" >&2; exit 2; }

# VmRSS is followed by a tab, then padding spaces.
rss_kb() { awk '$1 == "VmRSS:" { print $2 }' "/proc/$1/status" 2>/dev/null; }

# Computer play, run inside the virtual display.
# Global, not local: the EXIT trap runs after play() has returned.
pid=
work=
play() {
    local game window
    game=$(realpath build/quadrell)
    work=$(mktemp -d)
    ln -s "$PWD/data" "$work/data"
    (cd "$work" && exec env SDL_AUDIODRIVER=dummy "$game" >/dev/null 2>&1) &
    pid=$!
    trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
    window=$(xdotool search --sync --onlyvisible --pid $pid | head -n 1)
    sleep 2 # the loading screen
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    # Keys go through XTEST to the focused window, as a keyboard's would.
    press() {
        xdotool keydown "$1" sleep 0.12 keyup "$1"
        sleep 0.35
    }
    # Options, Computer Player on, back, New Game.
    press Down; press space
    press Down; press Down; press Down; press space
    press Down; press space
    press Up; press space
    local start now elapsed next=0 first="" minute="" last="" peak=0 rss
    start=$(date +%s)
    while :; do
        now=$(date +%s)
        elapsed=$((now - start))
        kill -0 $pid 2>/dev/null || { echo "soak: the game ended after $elapsed s" >&2; exit 4; }
        if [ $elapsed -ge $next ]; then
            rss=$(rss_kb $pid)
            [ -n "$rss" ] || { echo "soak: cannot read the game's memory" >&2; exit 4; }
            echo "soak: play ${elapsed} s: ${rss} kB" >&2
            [ -n "$first" ] || first=$rss
            [ $elapsed -lt 60 ] || [ -n "$minute" ] || minute=$rss
            [ "$rss" -le $peak ] || peak=$rss
            last=$rss
            next=$((next + sample_seconds))
        fi
        [ $elapsed -lt $play_seconds ] || break
        # Serves the ball at every level start; on the title menu after a
        # finished game it starts the next one.
        press space
        sleep 1.5
    done
    import -window "$window" build/soak-end.png 2>/dev/null &&
        echo "soak: the last screen is in build/soak-end.png" >&2
    kill -TERM $pid
    wait $pid || { echo "soak: the game did not end normally" >&2; exit 4; }
    echo "soak: memory at start ${first} kB, after 1 minute ${minute} kB," \
        "at the end ${last} kB, peak ${peak} kB" >&2
    if [ $((last * 100)) -gt $((minute * (100 + allowed_growth_percent))) ]; then
        echo "soak: memory grew more than ${allowed_growth_percent} % after the first minute" >&2
        exit 5
    fi
}

if [ "${1:-}" = --play-inside-x ]; then
    play
    exit 0
fi
[ $# -le 1 ] || usage
minutes=${1:-10}
case $minutes in '' | *[!0-9]* | 0) usage ;; esac
[ -x build/quadrell ] || { echo "soak: build the game first (./test.sh)" >&2; exit 2; }

tools/fuzz.sh $((minutes * 60))
echo "soak: $((play_seconds / 60)) minutes of computer play" >&2
xvfb-run -a -s '-screen 0 640x480x24 -noreset' "$0" --play-inside-x
echo "soak: passed" >&2

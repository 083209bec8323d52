#!/bin/sh
# The build tree's launcher and the real game in a window (run under
# xvfb-run), stopped by a signal sent to their whole process group, as
# Ctrl+C in a terminal or `timeout` sends it: the game then gets it once
# from the group and once more passed on by the launcher, and must still
# stop cleanly once ("stopped by signal N", then "stopping application",
# status 0 from the launcher). RUNS times from the title menu through
# `timeout`, and RUNS times during a game through `kill -- -PGID`, SIGTERM
# and SIGINT in turn.
# usage: group_signal.sh LAUNCHER RUNS
set -eu
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
[ $# -eq 2 ] || {
    echo "usage: $0 LAUNCHER RUNS" >&2
    exit 2
}
launcher=$1
runs=$2
tmp=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill -KILL "-$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
export HOME="$tmp" SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
unset XDG_STATE_HOME SDL12COMPAT_WINDOW_SCALING
log=$HOME/.local/state/quadrell/log.txt
mkdir "$tmp/levels"
# More bricks than a level holds: the loader logs it, which tells that New
# Game has loaded the level.
row='1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 '
for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16; do echo "$row"; done >"$tmp/levels/level1.txt"

wait_window() {
    window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Quadrell$' | head -n 1)
    [ -n "$window" ] || fail "$1: no window: $(cat "$tmp/out.txt")"
    xdotool windowfocus --sync "$window" 2>/dev/null || :
}

# expect_clean_stop WHAT STATUS SIGNAL
expect_clean_stop() {
    [ "$2" -eq 0 ] || fail "$1: launcher's exit status $2: $(cat "$tmp/out.txt"); log: $(cat "$log")"
    [ "$(tail -n 2 "$log")" = "  SDLApp::Run: stopped by signal $3
stopping application" ] || fail "$1: log: $(cat "$log")"
}

signal_number() {
    case $1 in TERM) echo 15 ;; INT) echo 2 ;; esac
}

i=1
while [ "$i" -le "$runs" ]; do
    signal=TERM
    [ $((i % 2)) -eq 0 ] && signal=INT
    # From the title menu: timeout signals the launcher, then its own group;
    # --preserve-status passes on the launcher's status.
    rm -f "$log"
    status=0
    timeout --preserve-status -s "$signal" 3 "$launcher" --levels "$tmp/levels" >"$tmp/out.txt" 2>&1 || status=$?
    expect_clean_stop "title menu, run $i, timeout -s $signal" "$status" "$(signal_number "$signal")"

    # During a game: space chooses New Game once the menu shows, and serves
    # the ball after. setsid gives the launcher a group of its own.
    rm -f "$log"
    setsid "$launcher" --levels "$tmp/levels" >"$tmp/out.txt" 2>&1 &
    pid=$!
    wait_window "game, run $i"
    tries=0
    until grep -q "More than 300 bricks" "$log" 2>/dev/null; do
        tries=$((tries + 1))
        [ "$tries" -le 30 ] || fail "game, run $i: no game started: $(cat "$log")"
        xdotool keydown space sleep 0.05 keyup space sleep 0.5
    done
    xdotool keydown space sleep 0.05 keyup space sleep 0.2
    kill "-$signal" "-$pid"
    status=0
    wait "$pid" || status=$?
    pid=
    expect_clean_stop "game, run $i, kill -$signal -- -PGID" "$status" "$(signal_number "$signal")"
    i=$((i + 1))
done
echo "$runs runs of each passed"

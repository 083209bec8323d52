#!/bin/sh
# The built game under an X server of this test's own: when the server goes
# away the game must end within 5 s (it used to spin for ever in SDL_Quit);
# SIGTERM during a game and SIGINT while a menu waits for a held key must
# end it within 2 s through the clean stop, "stopping application" last in
# the log. Exits 77 (skipped) without Xvfb or xdotool.
# usage: stop_and_display_loss.sh PROGRAM SOURCE_DIR
set -eu
[ -z "${TRACE:-}" ] || set -x
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
[ $# -eq 2 ] || {
    echo "usage: $0 PROGRAM SOURCE_DIR" >&2
    exit 2
}
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || {
        echo "$tool not installed: skipped"
        exit 77
    }
done
program=$1
tmp=$(mktemp -d)
xvfb=
cleanup() {
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || :
    [ ! -s "$tmp/game.pid" ] || kill -KILL "$(cat "$tmp/game.pid")" 2>/dev/null || :
    rm -rf "$tmp"
}
trap cleanup EXIT
cd "$tmp"
mkdir data levels
for folder in images sounds fonts; do ln -s "$2/data/$folder" data/; done
ln -s "$tmp/levels" data/levels
# More bricks than a level holds: the loader logs it, which tells that New
# Game has loaded the level.
row='1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 '
for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16; do echo "$row"; done >levels/level1.txt
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
unset SDL12COMPAT_WINDOW_SCALING

start_server() {
    rm -f display.txt
    Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>display.txt 2>/dev/null &
    xvfb=$!
    tries=0
    until [ -s display.txt ]; do
        tries=$((tries + 1))
        [ "$tries" -le 100 ] || fail "Xvfb did not start"
        sleep 0.1
    done
    DISPLAY=:$(cat display.txt)
    export DISPLAY
}

# Starts the game; game.pid holds its process id, rc.txt its exit status
# once it has ended. Waits for the window.
start_game() {
    rm -f game.pid rc.txt log.txt
    (
        status=0
        sh -c 'echo $$ >game.pid; exec "$0"' "$program" >out.txt 2>&1 || status=$?
        echo "$status" >rc.txt
    ) &
    window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Quadrell$' | head -n 1)
    [ -n "$window" ] || fail "no window: $(cat out.txt)"
    xdotool windowfocus --sync "$window" 2>/dev/null || :
}

# wait_end TENTHS WHAT: the game must end within TENTHS tenths of a second.
wait_end() {
    tries=0
    until [ -s rc.txt ]; do
        tries=$((tries + 1))
        [ "$tries" -le "$1" ] || fail "$2: still running after $(($1 / 10)) s; log: $(cat log.txt)"
        sleep 0.1
    done
}

# expect_clean_stop SIGNAL: the clean stop's lines end the log, status 0.
expect_clean_stop() {
    [ "$(cat rc.txt)" -eq 0 ] || fail "$1: exit status $(cat rc.txt): $(cat out.txt)"
    [ "$(tail -n 2 log.txt)" = "  SDLApp::Run: stopped by signal $1
stopping application" ] || fail "$1: log: $(cat log.txt)"
}

# The display goes away on the title menu.
start_server
start_game
sleep 1
kill "$xvfb"
xvfb=
wait_end 50 "the display went away"
grep -q "display went away" log.txt || fail "log after the display went away: $(cat log.txt)"

# SIGTERM during a game: space chooses New Game once the menu shows, and
# serves the ball after.
start_server
start_game
tries=0
until grep -q "More than 300 bricks" log.txt 2>/dev/null; do
    tries=$((tries + 1))
    [ "$tries" -le 15 ] || fail "no game started: $(cat log.txt)"
    xdotool keydown space sleep 0.1 keyup space sleep 1
done
xdotool keydown space sleep 0.1 keyup space sleep 1
kill -TERM "$(cat game.pid)"
wait_end 20 "SIGTERM during a game"
expect_clean_stop 15

# SIGINT while the title menu waits for a held key to be let go.
start_game
sleep 2
xdotool keydown Down
sleep 1
kill -INT "$(cat game.pid)"
wait_end 20 "SIGINT with a key held"
xdotool keyup Down
expect_clean_stop 2

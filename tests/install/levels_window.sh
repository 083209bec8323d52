#!/bin/sh
# The launcher of the build tree with a designer's level folder, the real
# game in a real window (run under xvfb-run): the window opens at the scale
# worked out from the X server's screen size, and a new game loads the
# designer's level1.txt, which has more bricks than a level holds, so the
# game's loader logs it. The window's WM_CLASS must be the desktop entry's
# StartupWMClass, which ties the window to the menu entry and its icon.
# usage: levels_window.sh LAUNCHER EXPECTED_WINDOW_SIZE DESKTOP_ENTRY
set -eu
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
launcher=$1
tmp=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill -KILL "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
export HOME="$tmp" SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
unset XDG_STATE_HOME SDL12COMPAT_WINDOW_SCALING
log=$HOME/.local/state/quadrell/log.txt
mkdir "$tmp/mylevels"
row='1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 '
for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16; do echo "$row"; done >"$tmp/mylevels/level1.txt"

"$launcher" --levels "$tmp/mylevels" >"$tmp/out.txt" 2>&1 &
pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Quadrell$' | head -n 1)
[ -n "$window" ] || fail "no window: $(cat "$tmp/out.txt")"
size=$(xdotool getwindowgeometry "$window" | sed -n 's/^ *Geometry: *//p')
[ "$size" = "$2" ] || fail "window $size, expected $2"
class=$(sed -n 's/^StartupWMClass=//p' "$3")
[ -n "$class" ] || fail "no StartupWMClass in $3"
wm_class=$(xprop -id "$window" WM_CLASS)
case $wm_class in
*"\"$class\""*) ;;
*) fail "$wm_class, but the desktop entry's StartupWMClass is $class" ;;
esac
xdotool windowfocus --sync "$window" 2>/dev/null || :
# Space chooses New Game once the title menu shows (a press during the
# loading screen is not seen), and serves the ball after.
tries=0
until grep -q "More than 300 bricks" "$log" 2>/dev/null; do
    tries=$((tries + 1))
    [ "$tries" -le 15 ] || fail "the designer's level was not loaded: $(cat "$log")"
    xdotool keydown space sleep 0.1 keyup space sleep 1
done
grep -q "data/levels/level1.txt" "$log" || fail "log: $(cat "$log")"
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "exit status $status: $(cat "$tmp/out.txt")"

#!/bin/sh
# The launcher's options and choices, with the installed game binary
# replaced by a stand-in that records what it was given, and fake xdpyinfo
# and xrandr first on PATH.
# usage: launcher.sh BUILD_DIR GAMESDIR LIBDIR DATADIR
set -eu
. "$(dirname "$0")/stage.sh"
launcher=$games/quadrell
record=$tmp/record.txt
export RECORD="$record"
# With FAKE_HOLD set it says its name on standard error, makes
# $FAKE_HOLD.NAME and runs until $FAKE_HOLD exists, then records.
cat >"$lib/quadrell" <<'GAME'
#!/bin/sh
if [ -n "${FAKE_HOLD:-}" ]; then
    echo "game $FAKE_NAME" >&2
    touch "$FAKE_HOLD.$FAKE_NAME"
    until [ -e "$FAKE_HOLD" ]; do sleep 0.1; done
fi
echo "scale=$SDL12COMPAT_WINDOW_SCALING method=$SDL12COMPAT_SCALE_METHOD level1=$(cksum <data/levels/level1.txt) ball=$(test -s data/images/ball.png && echo yes) dir=$PWD ${FAKE_NAME:-}" >>"$RECORD"
[ -z "${FAKE_FAILURE:-}" ] || { echo "$FAKE_FAILURE" >&2; exit 1; }
GAME
mkdir "$tmp/bin"
printf '#!/bin/sh\n[ -n "${FAKE_XDPYINFO:-}" ] || exit 1\nprintf "screen #0:\\n  dimensions:    %%s pixels (508x285 millimeters)\\n" "$FAKE_XDPYINFO"\n' >"$tmp/bin/xdpyinfo"
printf '#!/bin/sh\n[ -n "${FAKE_XRANDR:-}" ] || exit 1\necho "Screen 0: minimum 8 x 8, current $FAKE_XRANDR, maximum 32767 x 32767"\n' >"$tmp/bin/xrandr"
chmod +x "$lib/quadrell" "$tmp/bin/xdpyinfo" "$tmp/bin/xrandr"
PATH=$tmp/bin:$PATH

# expect STATUS TEXT_IN_RECORD ENV... -- ARGS...: runs the launcher with the
# environment given, checks its status and what the stand-in recorded.
expect() {
    want_status=$1 want=$2
    shift 2
    : >"$record"
    status=0
    env "$@" >out.txt 2>err.txt || status=$?
    [ "$status" -eq "$want_status" ] || fail "$*: status $status, not $want_status: $(cat err.txt)"
    case $(cat "$record") in
    *"$want"*) ;;
    *) fail "$*: recorded '$(cat "$record")', expected '$want'" ;;
    esac
}

# The automatic scale: the largest that fits with room for a title bar and
# a panel; xrandr when xdpyinfo does not answer; 2 when nothing answers.
expect 0 "scale=4 method=nearest" FAKE_XDPYINFO=1920x1080 "$launcher"
expect 0 "scale=2 " FAKE_XDPYINFO=1366x768 "$launcher"
expect 0 "scale=8 " FAKE_XDPYINFO=3840x2160 "$launcher"
expect 0 "scale=1 " FAKE_XDPYINFO=640x480 "$launcher"
expect 0 "scale=5 " FAKE_XRANDR="2560 x 1440" "$launcher"
expect 0 "scale=2 " "$launcher"
# The player's own settings are kept; --scale wins over everything.
expect 0 "scale=3 method=linear" FAKE_XDPYINFO=1920x1080 SDL12COMPAT_WINDOW_SCALING=3 \
    SDL12COMPAT_SCALE_METHOD=linear "$launcher"
expect 0 "scale=6 method=nearest" FAKE_XDPYINFO=1920x1080 SDL12COMPAT_WINDOW_SCALING=3 "$launcher" --scale 6

# --levels: the designer's level files, everything else from the install;
# a folder given relative to where the launcher is started.
mkdir -p mylevels empty
printf '# 3 2S1 \n' >mylevels/level1.txt
expect 0 "level1=$(cksum <mylevels/level1.txt) ball=yes" "$launcher" --levels mylevels
expect 0 "level1=$(cksum <"$data/data/levels/level1.txt") ball=yes" "$launcher"
expect 2 "" "$launcher" --levels empty
[ ! -s "$record" ] && grep -q "no level1.txt in 'empty'" err.txt || fail "--levels empty: $(cat err.txt)"

# A level1.txt the game could not read is refused as a missing one is.
# Root reads any file, so that run is made as nobody.
chmod 000 mylevels/level1.txt
as_player=
[ "$(id -u)" -ne 0 ] || { chmod 755 "$tmp" && as_player="setpriv --reuid=65534 --regid=65534 --clear-groups"; }
expect 2 "" $as_player "$launcher" --levels mylevels
[ ! -s "$record" ] && grep -q "cannot read 'mylevels/level1.txt'" err.txt || fail "unreadable level1.txt: $(cat err.txt)"
chmod 644 mylevels/level1.txt

# No HOME (and no XDG_STATE_HOME): no working folder, status 3.
expect 3 "" -u HOME "$launcher"
[ ! -s "$record" ] && grep -q "^quadrell: neither HOME nor XDG_STATE_HOME is set" err.txt ||
    fail "without HOME: $(cat err.txt)"

# Two games at once: the second gets a folder of its own, and the first
# keeps its levels, log folder and standard error; once both have ended
# the next game has the first folder again.
: >"$record"
hold=$tmp/hold
# Starts a stand-in game named $1 (further arguments to the launcher) that
# waits for $hold, and returns once it has started; its pid in $started.
start_held() {
    name=$1
    shift
    FAKE_HOLD=$hold FAKE_NAME=$name "$launcher" "$@" >"$name.out" 2>"$name.err" &
    started=$!
    tries=0
    until [ -e "$hold.$name" ]; do
        tries=$((tries + 1))
        [ "$tries" -le 100 ] || fail "the $name game did not start: $(cat "$name.err")"
        sleep 0.1
    done
}
start_held first --levels mylevels
first=$started
start_held second
second=$started
touch "$hold"
wait "$first" || fail "the first game: $(cat first.err)"
wait "$second" || fail "the second game: $(cat second.err)"
grep -q "level1=$(cksum <mylevels/level1.txt) ball=yes dir=$state first" "$record" ||
    fail "the first game: $(cat "$record")"
grep -q "level1=$(cksum <"$data/data/levels/level1.txt") ball=yes dir=$state/2 second" "$record" ||
    fail "the second game: $(cat "$record")"
[ "$(cat first.err)" = "game first" ] && [ "$(cat second.err)" = "game second" ] ||
    fail "standard error mixed: $(cat first.err second.err)"
expect 0 "dir=$state " "$launcher"

expect 2 "" "$launcher" --bogus
[ ! -s "$record" ] && grep -q "^usage: quadrell" err.txt || fail "--bogus: $(cat err.txt)"
expect 0 "" "$launcher" --version
grep -q "^quadrell [0-9]" out.txt || fail "--version: $(cat out.txt)"

# A failed start for any reason but sound is passed through, not retried.
expect 1 "scale" FAKE_FAILURE="Quadrell could not start: could not load data/fonts/arial.ttf. See log.txt." \
    "$launcher"
[ "$(wc -l <"$record")" -eq 1 ] && grep -q "could not load data/fonts/arial.ttf" err.txt ||
    fail "a start failure: $(cat err.txt)"

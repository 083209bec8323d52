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
cat >"$lib/quadrell" <<'GAME'
#!/bin/sh
echo "scale=$SDL12COMPAT_WINDOW_SCALING method=$SDL12COMPAT_SCALE_METHOD level1=$(cksum <data/levels/level1.txt) ball=$(test -s data/images/ball.png && echo yes)" >>"$RECORD"
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

expect 2 "" "$launcher" --bogus
[ ! -s "$record" ] && grep -q "^usage: quadrell" err.txt || fail "--bogus: $(cat err.txt)"
expect 0 "" "$launcher" --version
grep -q "^quadrell [0-9]" out.txt || fail "--version: $(cat out.txt)"

# A failed start for any reason but sound is passed through, not retried.
expect 1 "scale" FAKE_FAILURE="Quadrell could not start: could not load data/fonts/arial.ttf. See log.txt." \
    "$launcher"
[ "$(wc -l <"$record")" -eq 1 ] && grep -q "could not load data/fonts/arial.ttf" err.txt ||
    fail "a start failure: $(cat err.txt)"

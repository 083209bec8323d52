#!/bin/sh
# The install as a player gets it: the installed launcher and
# quadrell-levelcheck started from an unrelated folder with an empty HOME,
# headless; the desktop entry, icons and AppStream metadata validated; and
# nothing written into the install tree.
# usage: installed.sh BUILD_DIR GAMESDIR LIBDIR DATADIR
set -eu
. "$(dirname "$0")/stage.sh"
touch "$tmp/installed"

# run_game: the launcher until its game has started and run a second,
# then SIGTERM; sets status.
run_game() {
    rm -f "$state/log.txt"
    "$games/quadrell" >out.txt 2>err.txt &
    pid=$!
    tries=0
    until grep -q "InitSDL: Done" "$state/log.txt" 2>/dev/null; do
        tries=$((tries + 1))
        [ "$tries" -lt 300 ] || fail "the game did not start: $(cat err.txt)"
        sleep 0.1
    done
    sleep 1
    kill -TERM "$pid"
    status=0
    wait "$pid" || status=$?
    [ "$(tail -n 1 "$state/log.txt")" = "stopping application" ] || fail "log: $(cat "$state/log.txt")"
}

SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy run_game
[ "$status" -eq 0 ] || fail "exit status $status after SIGTERM: $(cat err.txt)"

# No sound device: the game's start fails on the audio driver, and the
# launcher says so once and starts it again silently.
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=nonexistent run_game
[ "$status" -eq 0 ] || fail "exit status $status without a sound device: $(cat err.txt)"
[ "$(grep -c "starting the game without sound" err.txt)" -eq 1 ] || fail "stderr: $(cat err.txt)"
! grep -q "could not start" err.txt || fail "the failed start was shown: $(cat err.txt)"

# quadrell-levelcheck finds the installed data by itself, or as named.
cp "$data/data/levels/level1.txt" mine.txt
"$games/quadrell-levelcheck" --quiet --play 1 mine.txt >check.txt || fail "$(cat check.txt)"
"$games/quadrell-levelcheck" --quiet --data "$data/data" --png pictures mine.txt >check.txt ||
    fail "$(cat check.txt)"
[ -s pictures/mine.png ] || fail "no picture with --data"
# Sweep workers load the data in a folder of their own and must still find
# a level named relative to ours.
"$games/quadrell-levelcheck" --quiet --sweep --jobs 2 --min-clear 50 mine.txt >check.txt || fail "$(cat check.txt)"
grep -q '^mine.txt: sweep: 60 serves, cleared' check.txt || fail "no sweep: $(cat check.txt)"

# The installed README's pictures are installed beside it.
readme=$(find "$tmp/stage" -path '*/doc/quadrell/README.md')
[ -n "$readme" ] || fail "no README in the documents"
grep -o '](docs/[^)]*\.png)' "$readme" | sed 's/^](//; s/)$//' | sort -u >pictures.txt
[ -s pictures.txt ] || fail "no pictures found in the README"
while read -r picture; do
    [ -s "$(dirname "$readme")/$picture" ] || fail "the README shows $picture, which is not installed"
done <pictures.txt

desktop=$(find "$tmp/stage" -name '*.desktop')
found=$(desktop-file-validate "$desktop" 2>&1) || fail "$found"
[ -z "$found" ] || fail "desktop-file-validate: $found"
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in 16 32 48 64 128 256; do
    [ -n "$(find "$tmp/stage" -path "*/icons/hicolor/${size}x$size/apps/$icon.png")" ] ||
        fail "no $size pixel icon named $icon"
done
appstreamcli validate --no-net "$(find "$tmp/stage" -path '*/metainfo/*.xml')" >found.txt 2>&1 ||
    fail "$(cat found.txt)"

changed=$(find "$tmp/stage" -newer "$tmp/installed")
[ -z "$changed" ] || fail "written into the install tree: $changed"

#!/usr/bin/env bash
# Checks a built quadrell .deb on a clean Debian 12: a fresh minimal system
# made with debootstrap, where none of the SDL libraries are installed. In it:
# `apt-get install ./quadrell_*.deb` brings what the game needs; a player
# starts `quadrell` from /tmp in a virtual X screen (silent audio driver),
# the window opens scaled and the log lands in the player's state folder;
# `apt-get remove quadrell` then leaves no file of the package behind.
# Needs root (debootstrap, chroot) and the network to Debian's mirror; takes
# a few minutes, so it is not part of the test suite. Prints the figures
# (package size, install time, packages pulled in) on standard error.
#   usage: tools/check-package.sh DEB [MIRROR]
# Exit status: 0 all good, 1 a check failed, 2 wrong usage, 3 the clean
# system could not be made.
set -euo pipefail

usage() { echo "usage: tools/check-package.sh DEB [MIRROR]" >&2; exit 2; }
[ $# -ge 1 ] && [ $# -le 2 ] && [ -f "$1" ] || usage
deb=$(realpath "$1")
mirror=${2:-http://deb.debian.org/debian}
[ "$(id -u)" -eq 0 ] || { echo "check-package: needs root (debootstrap, chroot)" >&2; exit 2; }

say() { echo "check-package: $*" >&2; }
fail() { say "FAILED: $*"; exit 1; }

if ! command -v debootstrap >/dev/null 2>&1; then
    say "installing debootstrap"
    env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
fi

root=$(mktemp -d /var/tmp/quadrell-clean.XXXXXX)
# The clean system's / must be open to its unprivileged player.
chmod 755 "$root"
cleanup() {
    for m in dev/pts dev proc; do umount "$root/$m" 2>/dev/null || true; done
    rm -rf --one-file-system "$root"; rm -f "$root.files"
}
trap cleanup EXIT
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin:/usr/games \
    DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8 "$@"; }

say "making a minimal Debian 12 in $root"
start=$(date +%s)
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
    { tail -n 20 "$root.debootstrap.log" >&2; rm -f "$root.debootstrap.log"; exit 3; }
rm -f "$root.debootstrap.log"
say "clean system ready in $(($(date +%s) - start)) s"
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
in_root apt-get update -qq || exit 3

if in_root dpkg-query -W -f='${Status}' libsdl1.2debian 2>/dev/null | grep -q 'ok installed'; then
    fail "the clean system already has SDL 1.2"
fi
before=$(in_root dpkg-query -W -f='${Package}\n' | sort)

cp "$deb" "$root/tmp/"
name=$(basename "$deb")
say "package $name: $(stat -c %s "$deb") bytes"
start=$(date +%s.%N)
in_root apt-get install -y -qq "/tmp/$name" >/dev/null || fail "apt-get install ./$name"
end=$(date +%s.%N)
pulled=$(comm -13 <(echo "$before") <(in_root dpkg-query -W -f='${Package}\n' | sort) | wc -l)
say "installed in $(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }') s with $pulled packages (dependencies included)"
in_root dpkg-query -W -f='${Status}' libsdl1.2-compat-shim | grep -q 'ok installed' ||
    fail "SDL 1.2 came without its compatibility layer"
in_root dpkg -L quadrell | sort >"$root.files"

# The check's own tools, installed after the package so that they cannot
# have supplied anything the game needs.
in_root apt-get install -y -qq --no-install-recommends xvfb xauth x11-utils >/dev/null ||
    fail "installing the virtual X server"
in_root useradd -m player
# The window is measured while the game runs; then SIGTERM ends it.
in_root su player -c 'cd /tmp && SDL_AUDIODRIVER=dummy \
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" sh -c "
        quadrell & game=\$!
        sleep 6
        xwininfo -root -tree > /tmp/windows.txt
        kill -TERM \$game
        wait \$game; echo \$? > /tmp/status"' >"$root/tmp/run.txt" 2>&1 || true
status=$(cat "$root/tmp/status" 2>/dev/null || echo none)
if [ "$status" != 0 ]; then
    cat "$root/tmp/run.txt" >&2
    fail "quadrell ended with status $status"
fi
grep -q ' 960x720+' "$root/tmp/windows.txt" || fail "no 960x720 window (scale 3 on 1280x1024)"
log=$root/home/player/.local/state/quadrell/log.txt
[ -f "$log" ] || fail "no log.txt in the player's state folder"
[ "$(tail -n 1 "$log")" = "stopping application" ] || fail "the log does not end with 'stopping application'"
[ ! -e "$root/tmp/log.txt" ] || fail "log.txt was written into the folder quadrell was started from"
say "quadrell ran from /tmp: status 0, a 960x720 window, log in ~/.local/state/quadrell"

in_root apt-get remove -y -qq quadrell >/dev/null || fail "apt-get remove quadrell"
left=0
while read -r path; do
    if { [ -L "$root$path" ] || [ -e "$root$path" ]; } && [ ! -d "$root$path" ]; then
        say "left behind: $path"
        left=$((left + 1))
    fi
done <"$root.files"
rm -f "$root.files"
[ "$left" -eq 0 ] || fail "$left files of the package left after removal"
say "removed: no file of the package left"
say "all checks passed"

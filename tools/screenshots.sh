#!/usr/bin/env bash
# Retakes the README's screenshots (docs/screenshot-*.png) from the real game
# in a virtual X display, at twice the game's size. Needs xvfb, xdotool and
# ImageMagick (tools/install-deps.sh --tests installs them) and a built game:
#   xvfb-run -a -s '-screen 0 640x480x24' tools/screenshots.sh [path/to/quadrell]
set -euo pipefail
cd "$(dirname "$0")/.."
game=${1:-build/quadrell}
out=$(mktemp -d)
trap 'rm -rf "$out"; kill "$pid" 2>/dev/null || true' EXIT
export SDL_AUDIODRIVER=dummy

press() { xdotool keydown --window "$window" "$1"; sleep 0.12; xdotool keyup --window "$window" "$1"; sleep 0.35; }
shot() { import -window "$window" "$out/$1.png"; }
save() { /usr/bin/convert "$out/$1.png" -filter point -resize 200% "docs/screenshot-$2.png"; }

"$game" & pid=$!
window=$(xdotool search --sync --name Quadrell | head -1)
# The loading screen lasts about 0.6 s: take a few and keep one with a bar.
for i in 1 2 3; do shot "loading$i"; sleep 0.12; done
sleep 1.5
xdotool windowfocus --sync "$window" 2>/dev/null || true
shot title
press Down; press space                     # Options
press Down; press Down; press Down; press space  # Computer Player: On
shot options
press Down; press space                     # Exit, back to the title menu
press Up; press space                       # New Game
press space                                 # serve
sleep 9
shot play
save loading2 loading; save title title; save options options; save play play

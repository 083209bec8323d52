#!/usr/bin/env bash
# Rebuilds everything under data/ (and the icon in dist/icons/) from the
# generators in this folder.
# Needs Debian's python3 with python3-pil (for the pictures); the font step
# installs its two font packages when they are missing.
# Every generator is deterministic: rerunning reproduces the same files.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
py=/usr/bin/python3

"$here/fonts.sh"                 # data/fonts/ (the title art uses the display face)
"$py" "$here/make_images.py"     # data/images/
"$py" "$here/make_sounds.py"     # data/sounds/hit.wav, gameover.wav
"$py" "$here/make_mod.py"        # data/sounds/title.mod
"$py" "$here/make_levels.py"     # data/levels/level*.txt
"$py" "$here/make_icons.py"      # dist/icons/, the application icon

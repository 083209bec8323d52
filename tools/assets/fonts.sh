#!/usr/bin/env bash
# Copies the game's two fonts out of Debian's font packages into data/fonts/,
# under the file names the game opens, with each package's licence text beside
# the font. Installs the packages first when they are missing (needs root or sudo).
#   nocontrol.ttf  Bebas Neue Regular  (fonts-bebas-neue, SIL OFL 1.1; OpenType
#                  outlines, which the game's TrueType library reads as well)
#   arial.ttf      Play Regular        (fonts-play, SIL OFL 1.1)
# Also installs fonts-eurofurence, whose face the loading picture's title is
# drawn with (make_images.py).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="$here/../../data/fonts"
mkdir -p "$out"

need=()
for p in fonts-bebas-neue fonts-play fonts-eurofurence; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

copy_font() { # source font, package, target base name
    install -m 644 "$1" "$out/$3.ttf"
    install -m 644 "/usr/share/doc/$2/copyright" "$out/$3.LICENSE.txt"
    echo "data/fonts/$3.ttf <- $1 ($2)"
}
copy_font /usr/share/fonts/opentype/bebas-neue/BebasNeue-Regular.otf fonts-bebas-neue nocontrol
copy_font /usr/share/fonts/truetype/play/Play-Regular.ttf fonts-play arial

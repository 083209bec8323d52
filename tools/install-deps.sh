#!/usr/bin/env bash
# Installs the Debian packages the game, its tools and its tests need, but
# only those that are missing. Sourced by play.sh and test.sh.
set -euo pipefail

quadrell_packages=(
    g++ cmake make pkg-config
    libsdl1.2-compat-dev libsdl-image1.2-dev libsdl-mixer1.2-dev libsdl-ttf2.0-dev
    libpng-dev
)
if [ "${1:-}" = "--tests" ]; then
    # GoogleTest, and a virtual X server with key injection and screenshots
    # for the end-to-end tests.
    quadrell_packages+=(libgtest-dev xvfb xauth xdotool imagemagick)
fi

missing=()
for p in "${quadrell_packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing missing packages: ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo_cmd=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

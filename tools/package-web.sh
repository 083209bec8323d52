#!/bin/sh
# Builds the browser edition's site and packs it into
# quadrell-web-VERSION.zip in OUT_DIR (default: the current folder), with
# index.html at the zip's top: ready for any static host, or a game-hosting
# site's HTML5 upload. The README's "Publishing the browser edition" says
# what the host must do. Prints the zip's path.
# usage: tools/package-web.sh [OUT_DIR]
set -eu
usage="usage: tools/package-web.sh [OUT_DIR]"
[ $# -le 1 ] || {
    echo "$usage" >&2
    exit 2
}
case ${1:-} in -*)
    echo "$usage" >&2
    exit 2
    ;;
esac
out=${1:-.}
[ -d "$out" ] || {
    echo "package-web: no such folder: $out" >&2
    exit 2
}
repo=$(cd "$(dirname "$0")/.." && pwd)
"$repo/tools/build-web.sh" >&2
cmake --build "$repo/build-web" --target site-zip >&2
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$repo/build-web/CMakeCache.txt")
zip=$repo/build-web/quadrell-web-$version.zip
[ -n "$version" ] && [ -f "$zip" ] || {
    echo "package-web: the build made no zip ($zip)" >&2
    exit 4
}
cp "$zip" "$out/"
echo "$out/quadrell-web-$version.zip"

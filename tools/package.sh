#!/usr/bin/env bash
# Builds the Debian package quadrell_<version>_<arch>.deb with cpack (in
# build-package/: Release, prefix /usr, no tests; Depends worked out by
# dpkg-shlibdeps) and checks it with lintian.
# usage: tools/package.sh [OUTPUT_DIR]    (default: the repository's top folder)
# Exit status: 0 built and lintian found no error, 1 a step failed,
# 2 wrong usage, 3 built but lintian reported errors.
set -euo pipefail
if [ $# -gt 1 ] || [ "${1:-}" = "--help" ]; then
    echo "usage: tools/package.sh [OUTPUT_DIR]" >&2
    exit 2
fi
repo="$(cd "$(dirname "$0")/.." && pwd)"
out="$(mkdir -p "${1:-$repo}" && cd "${1:-$repo}" && pwd)"
build="$repo/build-package"

bash "$repo/tools/install-deps.sh"
# dpkg-shlibdeps comes with dpkg-dev.
tools=()
for p in dpkg-dev lintian; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || tools+=("$p")
done
if [ ${#tools[@]} -gt 0 ]; then
    echo "package: installing ${tools[*]}" >&2
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${tools[@]}"
fi

# Debian's hardening flags, all of them, as a package build would use them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUADRELL_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr -DQUADRELL_SYSTEM_FONTS=ON \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j2
rm -f "$build"/quadrell_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(cd "$build" && ls quadrell_*.deb)
mv "$build/$deb" "$out/$deb"
echo "package: $out/$deb" >&2
dpkg-deb --info "$out/$deb" | sed -n '/Package:/,$p' >&2
if ! lintian --info "$out/$deb" >&2; then
    echo "package: lintian reported errors" >&2
    exit 3
fi

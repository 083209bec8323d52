# Sourced by the install tests: installs the build into a temporary DESTDIR
# with the prefix /usr, as a package would, and sets
#   tmp       a scratch folder, removed on exit ($tmp/stage holds the install)
#   games lib data   the launcher's folder, the game binary's folder and the
#             folder holding data/, inside the stage
#   home      an empty HOME, exported; state: the launcher's working folder
# Arguments of the sourcing script: BUILD_DIR GAMESDIR LIBDIR DATADIR (the
# install layout, relative to the prefix or absolute).
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
[ $# -eq 4 ] || fail "usage: $0 BUILD_DIR GAMESDIR LIBDIR DATADIR"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
DESTDIR=$tmp/stage cmake --install "$1" --prefix /usr >/dev/null
staged() {
    case $1 in
    /*) echo "$tmp/stage$1" ;;
    *) echo "$tmp/stage/usr/$1" ;;
    esac
}
games=$(staged "$2")
lib=$(staged "$3")
data=$(staged "$4")
home=$tmp/home
mkdir "$home" "$tmp/elsewhere"
export HOME="$home"
unset XDG_STATE_HOME SDL12COMPAT_WINDOW_SCALING SDL12COMPAT_SCALE_METHOD
state=$home/.local/state/quadrell
cd "$tmp/elsewhere"

#!/bin/sh
# The code's own checks beside the tests: the JavaScript's JSDoc types
# (TypeScript, strict), its lint (ESLint's recommended rules, no warning),
# and one formatting (Prettier for JavaScript, CSS and HTML; clang-format
# for C and C++). Each finding is printed; the status says which failed.
# The tools are the pinned ones in node_modules (tools/install-deps.sh
# --tests installs them) and Debian's clang-format.
#   usage: tools/check-style.sh types|lint|format|all
#   tools/check-style.sh fix   applies both formatters (for a commit of its own)
# Exit status: 0 clean, 1 findings, 2 bad usage, 3 a tool missing.
set -eu
cd "$(dirname "$0")/.."
usage="usage: tools/check-style.sh types|lint|format|all|fix"
[ $# -eq 1 ] || {
    echo "$usage" >&2
    exit 2
}
bin=node_modules/.bin
for tool in tsc eslint prettier; do
    [ -x "$bin/$tool" ] || {
        echo "check-style: $bin/$tool missing: run tools/install-deps.sh --tests" >&2
        exit 3
    }
done
command -v clang-format >/dev/null 2>&1 || {
    echo "check-style: clang-format missing: run tools/install-deps.sh --tests" >&2
    exit 3
}

# The files each formatter owns, as git knows them (new files included once
# added); Prettier's own ignore file leaves out the rest.
js_files() {
    git ls-files --cached --others --exclude-standard -- '*.js' '*.mjs' '*.css' '*.html' |
        grep -v -e '^node_modules/' -e '^build' -e '^data/' -e '^docs/' -e '^dist/' || :
}
cpp_files() {
    git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' '*.c' |
        grep -v -e '^build' || :
}

status=0
check_types() { "$bin/tsc" -p . || status=1; }
check_lint() { "$bin/eslint" --max-warnings 0 . || status=1; }
check_format() {
    js_files | xargs "$bin/prettier" --check --log-level warn || status=1
    cpp_files | xargs clang-format --dry-run -Werror || status=1
}

case $1 in
types) check_types ;;
lint) check_lint ;;
format) check_format ;;
all)
    check_types
    check_lint
    check_format
    ;;
fix)
    js_files | xargs "$bin/prettier" --write --log-level warn
    cpp_files | xargs clang-format -i
    ;;
*)
    echo "$usage" >&2
    exit 2
    ;;
esac
[ "$status" -eq 0 ] || echo "check-style: $1: findings above" >&2
exit "$status"

#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang in build-fuzz/ and runs each for
# SECONDS from a fresh copy of its committed seed corpus. Prints how many
# inputs each ran and how fast; a crash, leak, timeout or out-of-memory
# input fails the run and is printed in hex. Needs clang and libFuzzer
# (tools/install-deps.sh --ci).
#   usage: tools/fuzz.sh SECONDS [leveldata|configfile]...
# Exit status: 0 clean, 1 a harness found a fault, 2 wrong usage, 3 the
# build failed.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { echo "usage: tools/fuzz.sh SECONDS [leveldata|configfile]..." >&2; exit 2; }
[ $# -ge 1 ] || usage
# libFuzzer takes 0 for "no limit"; a run here always has one.
case $1 in '' | *[!0-9]* | 0) usage ;; esac
seconds=$1
shift
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(leveldata configfile)

corpus_of() {
    case $1 in
    leveldata) echo tests/gameplay/fuzz/corpus ;;
    configfile) echo tests/framework/fuzz/corpus ;;
    *) usage ;;
    esac
}
targets=()
for h in "${harnesses[@]}"; do
    corpus_of "$h" >/dev/null
    targets+=("${h}_fuzz")
done

mkdir -p build-fuzz
log=build-fuzz/build.log
if ! { cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUADRELL_FUZZ=ON \
        -DCMAKE_CXX_COMPILER=clang++ >"$log" 2>&1 &&
       cmake --build build-fuzz -j2 --target "${targets[@]}" >>"$log" 2>&1; }; then
    tail -n 40 "$log" >&2
    echo "fuzz: the harnesses did not build ($log)" >&2
    exit 3
fi

status=0
for h in "${harnesses[@]}"; do
    binary=$(find build-fuzz/tests -type f -name "${h}_fuzz" | head -n 1)
    work=build-fuzz/run/$h
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/found"
    cp "$(corpus_of "$h")"/* "$work/corpus/"
    # A fault ends the run at once; -timeout makes a hang one. Leaks are
    # checked after every input that allocated more than it freed.
    started=$SECONDS
    if (cd "$work" && "$OLDPWD/$binary" -max_total_time="$seconds" -timeout=10 \
            -rss_limit_mb=2048 -detect_leaks=1 -print_final_stats=1 \
            -artifact_prefix=found/ corpus >output.txt 2>&1); then
        result=ok
    else
        result=FAILED
        status=1
    fi
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/output.txt")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/output.txt")
    echo "fuzz: $h: ${execs:-?} inputs in $((SECONDS - started)) s, ${rate:-?} a second: $result" >&2
    if [ $result = FAILED ]; then
        grep -v '^#\|^INFO\|^stat::\|^MS:\|^Done ' "$work/output.txt" | tail -n 60 >&2 || true
        for input in "$work"/found/*; do
            [ -e "$input" ] || { echo "fuzz: $h: no input was saved" >&2; continue; }
            echo "fuzz: $h: the input ($(basename "$input"), $(wc -c <"$input") bytes) in hex:" >&2
            od -A x -t x1z -v "$input" >&2
        done
    fi
done
exit $status

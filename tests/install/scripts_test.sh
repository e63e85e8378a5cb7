#!/usr/bin/env bash
# The README's scripts, run on a copy with stand-ins for cmake, the package
# installer and the program: run.sh builds only the program and what it
# needs, then starts it with its arguments; build.sh takes its job count from
# -j or JOBS and refuses one that is not a number before building anything.
#   scripts_test.sh SOURCE_DIR
set -euo pipefail
source_dir="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tree/scripts" "$work/tree/build/bin" "$work/stand-ins"
cp "$source_dir"/scripts/{build,run,test}.sh "$work/tree/scripts/"
printf '#!/bin/sh\n' > "$work/tree/scripts/deps.sh"
printf '#!/bin/sh\necho "cmake $*" >> "%s/calls"\n' "$work" > "$work/stand-ins/cmake"
printf '#!/bin/sh\necho "nuptaro $*" >> "%s/calls"\n' "$work" > "$work/tree/build/bin/nuptaro"
chmod +x "$work"/tree/scripts/*.sh "$work/stand-ins/cmake" "$work/tree/build/bin/nuptaro"
export PATH="$work/stand-ins:$PATH"

failed=0
# Runs a script of the copy; its calls of cmake and of the program must be
# the lines given.
expect() {
    local what="$1" want="$2"
    shift 2
    rm -f "$work/calls"
    env -u JOBS "$@" > "$work/out" 2>&1 || true
    local got
    got="$(cat "$work/calls" 2>/dev/null || true)"
    if [ "$got" != "$want" ]; then
        echo "FAILED: $what"
        echo "  wanted: $want"
        echo "  got:    $got"
        sed 's/^/  said:   /' "$work/out"
        failed=1
    fi
}
build="cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo"
procs="$(nproc)"
expect "run.sh builds the program alone, then starts it" \
    "$build"$'\n'"cmake --build build -j$procs --target nuptaro"$'\n'"nuptaro --folder /tmp/w e" \
    "$work/tree/scripts/run.sh" --folder "/tmp/w e"
expect "JOBS sets run.sh's job count" \
    "$build"$'\n'"cmake --build build -j2 --target nuptaro"$'\n'"nuptaro " \
    JOBS=2 "$work/tree/scripts/run.sh"
expect "build.sh -j N" "$build"$'\n'"cmake --build build -j3" "$work/tree/scripts/build.sh" -j 3
expect "build.sh -jN with a target" "$build"$'\n'"cmake --build build -j5 --target nuptaro_tests" \
    "$work/tree/scripts/build.sh" -j5 nuptaro_tests
expect "build.sh --jobs=N" "$build"$'\n'"cmake --build build -j4" "$work/tree/scripts/build.sh" --jobs=4
expect "JOBS for build.sh" "$build"$'\n'"cmake --build build -j7" JOBS=7 "$work/tree/scripts/build.sh"
expect "build.sh builds everything by default" "$build"$'\n'"cmake --build build -j$procs" \
    "$work/tree/scripts/build.sh"
for bad in x 0 -3 ""; do
    expect "build.sh refuses the job count \"$bad\"" "" "$work/tree/scripts/build.sh" -j "$bad"
    grep -q "job count must be a whole number" "$work/out" || { echo "FAILED: no word on \"$bad\""; failed=1; }
done
expect "JOBS=x is refused too" "" JOBS=x "$work/tree/scripts/build.sh"
exit "$failed"

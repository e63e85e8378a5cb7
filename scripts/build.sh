#!/usr/bin/env bash
# Configures and builds into build/, showing its progress; the same output is
# kept in build.log. Arguments name the targets to build (everything when
# none: the program, its tests and its benchmarks).
#   scripts/build.sh [-j N] [TARGET...]
# The job count is -j N (also -jN, --jobs N, --jobs=N), else the JOBS
# variable, else one job per processor.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${JOBS:-$(nproc)}"
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
        -j | --jobs) jobs="${2:-}"; shift $(( $# > 1 ? 2 : 1 )) ;;
        -j*) jobs="${1#-j}"; shift ;;
        --jobs=*) jobs="${1#--jobs=}"; shift ;;
        *) targets+=(--target "$1"); shift ;;
    esac
done
case "$jobs" in
    '' | *[!0-9]* | 0) echo "scripts/build.sh: the job count must be a whole number above 0, not \"$jobs\"." >&2; exit 2 ;;
esac
"$(pwd)/scripts/deps.sh"
{
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build -j"$jobs" ${targets[@]+"${targets[@]}"}
} 2>&1 | tee build.log

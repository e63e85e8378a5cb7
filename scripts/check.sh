#!/usr/bin/env bash
# Builds the library and the tests once more, with warnings as errors and
# under the address and undefined-behaviour sanitizers, in build-check/, and
# runs the whole suite there. CI runs it after scripts/test.sh. JOBS sets the
# job count (one per processor otherwise).
set -euo pipefail
cd "$(dirname "$0")/.."
"$(pwd)/scripts/deps.sh"
jobs="${JOBS:-$(nproc)}"
{
    cmake -S . -B build-check -DCMAKE_BUILD_TYPE=RelWithDebInfo \
          -DNUPTARO_WERROR=ON -DNUPTARO_SANITIZE=ON -DNUPTARO_BENCH=OFF
    cmake --build build-check -j"$jobs"
} 2>&1 | tee build-check.log
export QT_QPA_PLATFORM=offscreen
# Leaks are not looked for: Qt keeps some of its own until the process ends.
export ASAN_OPTIONS=detect_leaks=0
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$(pwd)/tests/support/ubsan.supp"
cd build-check
ctest --output-on-failure -j"$jobs" --timeout 900

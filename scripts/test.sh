#!/usr/bin/env bash
# Builds the planner with every test and benchmark and runs every test. JOBS
# sets the job count of both (one per processor otherwise).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j"${JOBS:-$(nproc)}" --timeout 300

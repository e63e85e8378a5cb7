#!/usr/bin/env bash
# Configures and builds everything into build/, showing its progress; the
# same output is kept in build.log.
set -euo pipefail
cd "$(dirname "$0")/.."
"$(pwd)/scripts/deps.sh"
{
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build -j"$(nproc)"
} 2>&1 | tee build.log

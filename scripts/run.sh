#!/usr/bin/env bash
# Builds the planner and what it needs to run (its template and pictures, not
# the tests or benchmarks) and starts it. The wedding (the working database)
# lives in the user's data folder, ~/.local/share/Nuptaro/data/qvnt03.qvd,
# made from the template on the first start, so removing build/ never touches
# it. --folder DIR keeps both the program's files and the data in DIR
# instead. JOBS sets the build's job count (one per processor otherwise).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh nuptaro
exec build/bin/nuptaro "$@"

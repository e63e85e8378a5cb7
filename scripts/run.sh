#!/usr/bin/env bash
# Builds the planner and starts it. The wedding (the working database) lives
# in the user's data folder, ~/.local/share/Nuptaro/data/qvnt03.qvd, made from
# the template on the first start, so removing build/ never touches it.
# --folder DIR keeps both the program's files and the data in DIR instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
exec build/bin/nuptaro "$@"

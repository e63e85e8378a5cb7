#!/usr/bin/env bash
# Builds the planner and starts it. The working database lives in
# build/bin/data/qvnt03.qvd, made from the template on the first start.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
exec build/bin/nuptaro "$@"

#!/usr/bin/env bash
# Starts the program, with a fresh home, in a build tree where an earlier
# build kept the wedding beside the executable (bin/data/qvnt03.qvd): the
# wedding goes on in the user's data folder, brought up to date, and the file
# beside the program stays as it was.
#   earlier_tree_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build="$1"
source="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "$1"; cat "$work/run.log"; exit 1; }

mkdir -p "$work/bin/data" "$work/home"
ln "$build/bin/nuptaro" "$work/bin/nuptaro" 2>/dev/null || cp "$build/bin/nuptaro" "$work/bin/nuptaro"
cp "$build/bin/data/qvnt04.qvd" "$work/bin/data/"
earlier="$source/tests/data/earlier/no-versions/qvnt03.qvd"
cp "$earlier" "$work/bin/data/qvnt03.qvd"

env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$work/home" QT_QPA_PLATFORM=offscreen \
    "$work/bin/nuptaro" > "$work/run.log" 2>&1 &
program=$!
wedding="$work/home/.local/share/Nuptaro/data/qvnt03.qvd"
# Up to a minute for the start (a build under the sanitizers starts slowly),
# until the wedding in the data folder is brought up to date.
for _ in $(seq 300); do
  grep -aqs "SYNCHRO_ORIGIN" "$wedding" && break
  kill -0 "$program" 2>/dev/null || break
  sleep 0.2
done
# Still running, as a program with its window open is.
kill -0 "$program" 2>/dev/null || { status=0; wait "$program" || status=$?; fail "the program ended with $status:"; }
kill "$program"
wait "$program" 2>/dev/null || true
[ -s "$wedding" ] || fail "no working database at $wedding"
grep -aq "The Oyelaran Family" "$wedding" || fail "the data folder holds a new wedding, not the earlier one"
grep -aq "SYNCHRO_ORIGIN" "$wedding" || fail "the earlier wedding was not brought up to date"
cmp -s "$earlier" "$work/bin/data/qvnt03.qvd" || fail "the wedding beside the program was changed"
echo "1 passed, 0 failed"

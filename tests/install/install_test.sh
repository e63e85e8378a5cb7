#!/usr/bin/env bash
# Installs the built program into a temporary prefix and starts it there with
# a fresh home: it must find its template in share/nuptaro, make the wedding
# in the user's data folder (never in the prefix), and keep running.
#   install_test.sh BUILD_DIR
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" > "$work/install.log"

for f in bin/nuptaro share/nuptaro/data/qvnt04.qvd share/nuptaro/Nuptaro.html \
         "share/nuptaro/images 5/tables/round4t.gif" "share/nuptaro/images 5/tables/DanceFloor.gif" \
         share/applications/nuptaro.desktop share/icons/hicolor/scalable/apps/nuptaro.svg; do
    [ -e "$prefix/$f" ] || { echo "not installed: $f"; cat "$work/install.log"; exit 1; }
done
# The desktop entry starts the program by its installed path, whatever the
# session's path holds.
entry="$prefix/share/applications/nuptaro.desktop"
grep -qx "Exec=$prefix/bin/nuptaro" "$entry" || { echo "Exec is not the installed path:"; grep '^Exec=' "$entry"; exit 1; }
grep -q '^Icon=nuptaro$' "$entry"
exec_line="$(sed -n 's/^Exec=//p' "$entry")"

mkdir -p "$work/home"
status=0
env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$work/home" PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen \
    timeout 5 $exec_line > "$work/run.log" 2>&1 || status=$?
# 124: still running when the time was up, as a program with its window open is.
if [ "$status" -ne 124 ]; then
    echo "the installed program ended with $status:"; cat "$work/run.log"; exit 1
fi
wedding="$work/home/.local/share/Nuptaro/data/qvnt03.qvd"
[ -s "$wedding" ] || { echo "no working database at $wedding"; exit 1; }
if find "$prefix" -name 'qvnt03.qvd*' | grep -q .; then
    echo "the wedding was written into the installation:"; find "$prefix" -name 'qvnt03.qvd*'; exit 1
fi
echo "1 passed, 0 failed"

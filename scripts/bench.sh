#!/usr/bin/env bash
# Builds and runs every benchmark (bench_* of the build folder), then prints
# one table: each operation at each size (people of the wedding), the
# program's CPU time, the baseline's (the same work done plainly, in the same
# run) and their ratio, and how the time grows from the smaller size to the
# larger; then the peak memory and CPU time of each window from the memory
# driver (peak_memory), one process each.
#
#   scripts/bench.sh [--build-dir DIR] [benchmark flags...]
#
# The build goes to DIR (or $BUILD_DIR; "build" in the checkout when neither
# is given), so a checkout that cannot be written to is measured too. The
# memory driver measures the weddings of $MEMORY_PEOPLE (default 100000; for
# example MEMORY_PEOPLE="100000 1000000"). $JOBS sets the build's jobs.
#
# Benchmarks are registered in pairs, "<operation>/program/<size>" and
# "<operation>/baseline/<size>". Other arguments go to every benchmark
# program (for example --benchmark_filter=view).
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="${BUILD_DIR:-$source_dir/build}"
if [ "${1:-}" = "--build-dir" ]; then
  build_dir="$2"
  shift 2
elif [[ "${1:-}" == --build-dir=* ]]; then
  build_dir="${1#--build-dir=}"
  shift
fi
mkdir -p "$build_dir"
build_dir="$(cd "$build_dir" && pwd)"
log="$build_dir/build.log"

"$source_dir/scripts/deps.sh"
cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo > "$log" 2>&1 || { cat "$log"; exit 1; }
cmake --build "$build_dir" -j"${JOBS:-4}" >> "$log" 2>&1 || { tail -n 80 "$log"; exit 1; }

export QT_QPA_PLATFORM=offscreen
results=$(mktemp)
trap 'rm -f "$results"' EXIT
for b in "$build_dir"/bin/bench_*; do
  [ -x "$b" ] || continue
  echo "running $(basename "$b")" >&2
  out=$(mktemp)
  "$b" --benchmark_out="$out" --benchmark_out_format=json "$@" >/dev/null 2>&1 || echo "$(basename "$b") failed" >&2
  cat "$out" >> "$results"
  rm -f "$out"
done

# The JSON report has one field a line; a run ends with its time unit.
awk '
  function ms(t, unit) {
    if (unit == "ns") return t / 1e6
    if (unit == "us") return t / 1e3
    if (unit == "s") return t * 1e3
    return t
  }
  function value(line) {
    sub(/^[^:]*: */, "", line); sub(/,[ \t]*$/, "", line); gsub(/"/, "", line)
    return line
  }
  function row(op, size, p, b, growth) {
    printf "%-32s %8s %11s %11s %7s %s\n", op, size, (p == "" ? "-" : sprintf("%.2f", p)),
           (b == "" ? "-" : sprintf("%.2f", b)), (p == "" || b == "" || b <= 0 ? "-" : sprintf("%.2fx", p / b)), growth
  }
  /^ *"name":/ { name = value($0); aggregate = 0 }
  /^ *"run_type": *"aggregate"/ { aggregate = 1 }
  /^ *"cpu_time":/ { cpu = value($0) }
  /^ *"time_unit":/ {
    if (aggregate) next
    n = split(name, part, "/")
    while (n > 0 && part[n] ~ /:/) n--   # iterations:3, repeats:5 ...
    if (n < 3) next
    size = part[n]; kind = part[n - 1]
    op = part[1]; for (i = 2; i <= n - 2; i++) op = op "/" part[i]
    if (kind != "program" && kind != "baseline") next
    if (!(op in known)) { known[op] = 1; ops[++count] = op }
    if (!((op, size) in sized)) { sized[op, size] = 1; sizes[op] = sizes[op] " " size }
    # A benchmark run several times counts its best run: other work on the
    # machine only ever adds time.
    v = ms(cpu, value($0)) + 0
    if (!((op, size, kind) in t) || v < t[op, size, kind]) t[op, size, kind] = v
  }
  END {
    printf "%-32s %8s %11s %11s %7s %s\n", "operation", "people", "program ms", "baseline ms", "ratio",
           "growth (program, baseline, people)"
    over = 0; faster = 0; measured = 0
    for (i = 1; i <= count; i++) {
      op = ops[i]
      m = split(sizes[op], s, " ")
      # Smallest size first.
      for (a = 1; a <= m; a++) for (c = a + 1; c <= m; c++) if (s[c] + 0 < s[a] + 0) { x = s[a]; s[a] = s[c]; s[c] = x }
      for (a = 1; a <= m; a++) {
        p = t[op, s[a], "program"]; b = t[op, s[a], "baseline"]
        growth = ""
        if (a > 1) {
          p0 = t[op, s[1], "program"]; b0 = t[op, s[1], "baseline"]
          rows = s[a] / s[1]
          if (p0 > 0 && b0 > 0 && p != "" && b != "") {
            gp = p / p0; gb = b / b0
            # Faster than the rows and than the same work done plainly, by more
            # than a sort takes (n log n: 1.25 times the rows from 10,000 to
            # 100,000).
            mark = gp > 1.25 * (gb > rows ? gb : rows) ? "  FASTER THAN THE ROWS" : ""
            if (mark != "") faster++
            growth = sprintf("%.1fx, %.1fx, %gx%s", gp, gb, rows, mark)
          }
        }
        if (p != "" && b != "" && b > 0) { measured++; if (p / b > 3) over++ }
        row(op, s[a], p, b, growth)
      }
    }
    printf "\n%d of %d measurements above 3x their baseline (CPU time)\n", over, measured
    printf "%d operations growing faster than their rows and their baseline\n", faster
  }
' "$results"

# The peak memory and CPU time of each window, one process each.
if [ -x "$build_dir/bin/peak_memory" ]; then
  echo
  # shellcheck disable=SC2086
  "$build_dir/bin/peak_memory" ${MEMORY_PEOPLE:-100000} 2>/dev/null ||
    echo "a window above its limit (250 MB; 500 MB for a 60 MB guest file), not giving memory back, or failed"
fi

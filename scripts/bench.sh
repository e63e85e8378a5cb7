#!/usr/bin/env bash
# Builds and runs every benchmark (build/bin/bench_*), then prints one table:
# each operation with its size, the program's CPU time, the baseline's (the
# same work done plainly, in the same run) and their ratio; then the peak
# memory of each window on a wedding of 100,000 people (build/bin/peak_memory).
#
# Benchmarks are registered in pairs, "<operation>/program/<size>" and
# "<operation>/baseline/<size>". Arguments go to every benchmark program
# (for example --benchmark_filter=view).
set -euo pipefail
cd "$(dirname "$0")/.."
"$(pwd)/scripts/deps.sh"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > build.log 2>&1 || { cat build.log; exit 1; }
cmake --build build -j"${JOBS:-4}" >> build.log 2>&1 || { tail -n 80 build.log; exit 1; }

export QT_QPA_PLATFORM=offscreen
results=$(mktemp)
trap 'rm -f "$results"' EXIT
for b in build/bin/bench_*; do
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
  /^ *"name":/ { name = value($0); aggregate = 0 }
  /^ *"run_type": *"aggregate"/ { aggregate = 1 }
  /^ *"cpu_time":/ { cpu = value($0) }
  /^ *"time_unit":/ {
    if (aggregate) next
    n = split(name, part, "/")
    while (n > 0 && part[n] ~ /:/) n--   # iterations:3, min_time:...
    if (n < 3) next
    size = part[n]; kind = part[n - 1]
    op = part[1]; for (i = 2; i <= n - 2; i++) op = op "/" part[i]
    if (kind != "program" && kind != "baseline") next
    key = op SUBSEP size
    if (!(key in seen)) { seen[key] = 1; order[++count] = key }
    # A benchmark run several times counts its best run: other work on the
    # machine only ever adds time.
    v = ms(cpu, value($0)) + 0
    if (!((key, kind) in t) || v < t[key, kind]) t[key, kind] = v
  }
  END {
    printf "%-34s %8s %12s %12s %7s\n", "operation", "size", "program ms", "baseline ms", "ratio"
    over = 0
    for (i = 1; i <= count; i++) {
      key = order[i]; split(key, k, SUBSEP)
      p = t[key, "program"]; b = t[key, "baseline"]
      if (p == "" || b == "") {
        printf "%-34s %8s %12s %12s %7s\n", k[1], k[2], (p == "" ? "-" : sprintf("%.2f", p)),
               (b == "" ? "-" : sprintf("%.2f", b)), "-"
        continue
      }
      r = b > 0 ? p / b : 0
      if (r > 3) over++
      printf "%-34s %8s %12.2f %12.2f %6.2fx\n", k[1], k[2], p, b, r
    }
    printf "\n%d of %d operations above 3x their baseline (CPU time)\n", over, count
    # An operation measured at two sizes or more: how its time grows.
    for (i = 1; i <= count; i++) {
      split(order[i], k, SUBSEP)
      if (!(k[1] in least) || k[2] + 0 < least[k[1]] + 0) least[k[1]] = k[2]
      if (!(k[1] in most) || k[2] + 0 > most[k[1]] + 0) most[k[1]] = k[2]
    }
    for (o in least) {
      lo = t[o, least[o], "program"]; hi = t[o, most[o], "program"]
      if (most[o] != least[o] && lo > 0)
        printf "%s: %s takes %.2fx the time of %s\n", o, most[o], hi / lo, least[o]
    }
  }
' "$results"

# The peak memory of each window at 100,000 people, one process each.
if [ -x build/bin/peak_memory ]; then
  echo
  build/bin/peak_memory 100000 2>/dev/null || echo "a window above its limit (250 MB; 500 MB for a 60 MB guest file), not giving memory back, or failed"
fi

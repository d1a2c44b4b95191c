#!/usr/bin/env bash
# Times one bjt-design run from process start to exit (goal: under 20 ms),
# and a --sweep of a 1001-frequency file on two threads.
#   bench/time_bjt_design.sh [BUILD_DIR]     (default: build)
# With hyperfine installed it does the timing; otherwise a loop of runs.
set -euo pipefail
build=${1:-build}
design="$build/bjt-design"
[ -x "$design" ] || { echo "no $design: build the bjt-design target first" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The stored transistor drifting slowly from 250 to 750 MHz.
awk 'BEGIN { print "# MHz S MA R 50"
  for (i = 0; i < 1001; i++) { t = i / 1000
    printf "%.6f %.6f %.6f %.6f %.6f %.6f 70.7 %.6f %.6f\n", 250 + 500 * t, 0.08 - 0.03 * t,
           -140 - 10 * t, 6.5 - 0.9 * t, 88 - 8 * t, 0.05 + 0.02 * t, 0.6 - 0.05 * t, -17 - 4 * t } }' \
  > "$work/sweep.s2p"

single=("$design" --feedback Rf)
sweep=("$design" --touchstone "$work/sweep.s2p" --sweep --feedback Rf --jobs 2 --out "$work/sweep.csv")

if command -v hyperfine >/dev/null; then
  hyperfine -N --warmup 5 --runs 100 "${single[*]}"
  hyperfine -N --warmup 1 --runs 5 "${sweep[*]}"
else
  runs=100
  start=$(date +%s%N)
  for _ in $(seq $runs); do "${single[@]}" >/dev/null; done
  end=$(date +%s%N)
  echo "one run: $(( (end - start) / runs / 1000 )) us on average over $runs runs"
  start=$(date +%s%N)
  "${sweep[@]}"
  end=$(date +%s%N)
  echo "sweep of 1001 frequencies on two threads: $(( (end - start) / 1000000 )) ms"
fi

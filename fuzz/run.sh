#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each one for a fixed time,
# starting from its seed corpus and regression inputs.
#   fuzz/run.sh [seconds-per-target] [target...]
# Environment: FUZZ_BUILD_DIR (default /tmp/velmora-fuzz-build), FUZZ_WORK_DIR
# (grown corpora and crash files, default /tmp/velmora-fuzz-work).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
seconds="${1:-60}"
shift || true
build="${FUZZ_BUILD_DIR:-/tmp/velmora-fuzz-build}"
work="${FUZZ_WORK_DIR:-/tmp/velmora-fuzz-work}"

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j2 >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=($(sed -n 's/^  \(fuzz_[a-z_]*\)$/\1/p' "$here/targets.cmake"))
fi

status=0
printf '%-20s %10s %12s %10s  %s\n' target seconds executions exec/s result
for t in "${targets[@]}"; do
  corpus="$work/$t/corpus"
  mkdir -p "$corpus" "$work/$t/artifacts"
  # The grown corpus stays outside the tree; the committed seeds stay small.
  cp -n "$here/corpus/$t"/* "$corpus"/ 2>/dev/null || true
  inputs=("$corpus")
  [ -d "$here/regressions/$t" ] && inputs+=("$here/regressions/$t")
  log="$work/$t/fuzz.log"
  start=$(date +%s.%N)
  result=ok
  "$build/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/$t/artifacts/" "${inputs[@]}" >"$log" 2>&1 ||
    { result="FAILED (see $log)"; status=1; }
  end=$(date +%s.%N)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  runs=${runs:-0}
  elapsed=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.0f", b - a }')
  rate=$(awk -v r="$runs" -v s="$elapsed" 'BEGIN { printf "%.0f", (s > 0 ? r / s : 0) }')
  printf '%-20s %10s %12s %10s  %s\n' "$t" "$elapsed" "$runs" "$rate" "$result"
done
exit $status

#!/usr/bin/env bash
# Runs every fuzz target of the core for SECONDS each (default 60) and prints, per target,
# the executions and the crashes; fails when any target crashed or found a leak or a
# sanitizer report. Builds build/native first. New inputs gather in build/native/corpus;
# the seeds in tests/fuzz/corpus are read, never written. Crash inputs go to
# build/native/crashes. With TEST_REPORT set, each target is one check of an XML report.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../tests/lib/report.sh
. "$root/tests/lib/report.sh"
report_begin "${TEST_REPORT:-}" fuzz
build=${BUILD_DIR:-$root/build}/native
seconds=${1:-60}
shift || true
bash "$root/scripts/native.sh" >/dev/null || { echo "fuzz: native build failed"; exit 1; }
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in "$root"/tests/fuzz/fuzz_*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi
mkdir -p "$build/crashes"
total=0
bad=0
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  mkdir -p "$corpus"
  log=$build/$target.log
  "$build/$target" -max_total_time="$seconds" -print_final_stats=1 -max_len=4096 \
    -artifact_prefix="$build/crashes/$target-" "$corpus" "$root/tests/fuzz/corpus/$target" >"$log" 2>&1
  code=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  runs=${runs:-0}
  crashes=0
  if [ "$code" -ne 0 ] || grep -q -E '^==[0-9]+==ERROR|runtime error|property failed' "$log"; then
    crashes=1
    bad=$((bad + 1))
    grep -E 'ERROR|runtime error|property failed|Test unit written' "$log" | head -5 | sed 's/^/    /'
  fi
  total=$((total + runs))
  printf 'fuzz: %-24s %12d executions, %d crashes\n' "$target" "$runs" "$crashes"
  if [ "$crashes" -eq 0 ]; then report_case "$target ($seconds s)"
  else report_case "$target ($seconds s)" "crashed or reported a fault; see $log"; fi
done
report_end
printf 'fuzz: %-24s %12d executions, %d targets crashed\n' "total" "$total" "$bad"
[ "$bad" -eq 0 ]

#!/usr/bin/env bash
# Runs the checker's fuzz target for SECONDS (default 20) on a copy of the seed corpus
# and prints the executions and any crash. Closes with "N passed, N failed": one check,
# passed when libFuzzer found nothing.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
seconds=${1:-20}
target=$build/native/fuzz_infcheck
if [ ! -x "$target" ]; then
    echo "fuzz: no $target (it needs clang); nothing run"
    echo "0 passed, 0 failed"
    exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root"/tools/infcheck/fuzz_corpus/* "$work"/
log=$build/fuzz_infcheck.log
(cd "$work" && "$target" -max_total_time="$seconds" -print_final_stats=1 "$work") >"$log" 2>&1
status=$?
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
if [ "$status" -eq 0 ]; then
    echo "  ok   fuzz_infcheck: ${runs:-?} executions in ${seconds} s, no crash"
    echo "1 passed, 0 failed"
else
    echo "  FAIL fuzz_infcheck (status $status); the input is kept in $build:"
    cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$build"/ 2>/dev/null
    grep -E 'ERROR|runtime error|SUMMARY' "$log" | head -n 5 | sed 's/^/      | /'
    echo "0 passed, 1 failed"
    exit 1
fi

#!/usr/bin/env bash
# The test command: installs what a fresh machine lacks, builds both targets, checks the
# size of the shipped program and that no source folders include each other in a circle,
# builds the core natively and runs its unit tests and a
# bounded fuzz run, runs the unit tests in an English and a Japanese bench, the driver's
# self-test and every end-to-end script, and closes with one count line.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
export BUILD_DIR=${BUILD_DIR:-$root/build}
bash scripts/bootstrap.sh || exit 1
scripts/build.sh || exit 1

passed=0
failed=0
add() { passed=$((passed + $1)); failed=$((failed + $2)); }

# Size of the shipped program.
if bash scripts/size.sh; then add 1 0; else add 0 1; fi

# No source folder includes one that includes it back.
if bash scripts/folder_cycles.sh; then add 1 0; else add 0 1; fi

# The core natively with clang under the sanitizers: its unit tests, then every fuzz
# target for 10 s (one pass each when it neither crashed nor reported anything).
echo "== core natively (clang, AddressSanitizer, UndefinedBehaviorSanitizer)"
if bash scripts/native.sh >"$BUILD_DIR/native-build.log" 2>&1; then
    log=$BUILD_DIR/core-tests.log
    "$BUILD_DIR/native/core_tests" --gtest_brief=1 >"$log" 2>&1
    code=$?
    grep -E 'Failure|FAILED|ERROR|runtime error' "$log" | head -n 40
    ok=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$log" | tail -1)
    bad=$(sed -n 's/^ *\([0-9]*\) FAILED TEST.*/\1/p' "$log" | tail -1)
    ok=${ok:-0}
    bad=${bad:-0}
    [ "$code" -ne 0 ] && [ "$bad" -eq 0 ] && bad=1
    add "$ok" "$bad"
    bash scripts/fuzz.sh 10 | tee "$BUILD_DIR/fuzz.log"
    crashed=$(sed -n 's/^fuzz: total .* \([0-9]*\) targets crashed$/\1/p' "$BUILD_DIR/fuzz.log")
    targets=$(grep -c ' executions, [0-9]* crashes$' "$BUILD_DIR/fuzz.log")
    [ -z "$crashed" ] && crashed=1
    add $((targets - crashed)) "$crashed"
else
    tail -n 30 "$BUILD_DIR/native-build.log"
    add 0 1
fi

# counted SCRIPT ARGS...: runs a script that closes with "N passed, N failed" and adds
# its counts; its ok and FAIL lines are shown.
counted() {
    local out line
    out=$BUILD_DIR/$(basename "$1" .sh).log
    bash "$@" 2>&1 | tee "$out" | grep -E '^  (ok|FAIL)|^      \|'
    line=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$out" | tail -1)
    if [ -z "$line" ]; then add 0 1; echo "  FAIL $1 gave no result"; return; fi
    add "$(echo "$line" | cut -d' ' -f1)" "$(echo "$line" | cut -d' ' -f3)"
}

# The setup-file checker (its fuzz target runs with the core's above): its cases, and its
# Windows build under Wine.
echo "== infcheck"
counted tests/infcheck/infcheck_test.sh
counted tests/infcheck/windows_test.sh

# Unit and integration tests, once per language.
. tests/lib/winebench.sh
bench_init "$BUILD_DIR" || exit 1
for lang in en ja; do
    echo "== unit tests ($lang)"
    bench_start "unit-$lang" "$([ $lang = ja ] && echo ja)" || exit 1
    log=$BUILD_DIR/unit-$lang.log
    bench_run "$BUILD_DIR/x86_64/unit_tests.exe" --gtest_brief=1 >"$log" 2>&1
    code=$?
    bench_stop
    # Failures in full; skips (Japanese-only tests in the English run) are only counted.
    tr -d '\r' <"$log" | grep -v -E '^[0-9a-f]{4}:(err|fixme|warn)|Skipped$|^needs code page|^English texts only|^\[  SKIPPED' | tail -n 40
    ok=$(tr -d '\r' <"$log" | sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' | tail -1)
    bad=$(tr -d '\r' <"$log" | sed -n 's/^ *\([0-9]*\) FAILED TEST.*/\1/p' | tail -1)
    ok=${ok:-0}
    bad=${bad:-0}
    [ "$code" -ne 0 ] && [ "$bad" -eq 0 ] && bad=1
    add "$ok" "$bad"
done

# The driver drives a small target program in both languages.
echo "== driver self-test"
if bash tests/driver/selftest.sh >"$BUILD_DIR/driver-selftest.log" 2>&1; then add 1 0; else
    tail -n 30 "$BUILD_DIR/driver-selftest.log"; add 0 1; fi

# End-to-end scripts: each closes with "N passed, N failed".
for script in tests/e2e/*_e2e.sh; do
    echo "== $(basename "$script")"
    out=$BUILD_DIR/$(basename "$script" .sh).log
    bash "$script" 2>&1 | tee "$out" | grep -E '^  (ok|FAIL)|^      \|' 
    line=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$out" | tail -1)
    if [ -z "$line" ]; then add 0 1; echo "  FAIL $script gave no result"; continue; fi
    add "$(echo "$line" | cut -d' ' -f1)" "$(echo "$line" | cut -d' ' -f3)"
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

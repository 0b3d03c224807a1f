#!/usr/bin/env bash
# The test command: installs what a fresh machine lacks, builds both targets, then runs
# every suite through tests/lib/harness.sh: shellcheck over the scripts, the size of the
# shipped program, the folders' include cycles, the core built natively with its unit
# tests and a bounded fuzz run, the unit tests of both builds in an English and a Japanese
# bench, the driver's self-test and the end-to-end scripts of both builds. The i686 build
# runs on the route for 32-bit programs that the bench chooses (tests/lib/winebench.sh:
# wow64 where the kernel runs 32-bit code, else emulated; BENCH_ROUTE32 forces one). It
# closes with a table of the suites by build (with the route) and language, counted from
# their reports, and one count line.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1
export BUILD_DIR=${BUILD_DIR:-$root/build}
bash scripts/bootstrap.sh || exit 1
scripts/build.sh || exit 1

# shellcheck source=../tests/lib/harness.sh
. tests/lib/harness.sh
harness_init "$BUILD_DIR/reports"
bench_init "$BUILD_DIR" || exit 1
echo "== route for 32-bit programs: $BENCH_ROUTE32 ($BENCH_ROUTE32_WHY)"

echo "== shellcheck"
mapfile -t scripts < <(git ls-files --cached --others --exclude-standard '*.sh' .ci/run)
suite_shellcheck shellcheck "${scripts[@]}"

echo "== size"
suite_command size i686 - bash scripts/size.sh
suite_command reproducible i686 - bash scripts/release.sh --check

echo "== folder cycles"
suite_command folder_cycles - - bash scripts/folder_cycles.sh

# The core natively with clang under the sanitizers (built by scripts/build.sh): its unit
# tests, then every fuzz target for 10 s.
echo "== core natively (clang, AddressSanitizer, UndefinedBehaviorSanitizer)"
suite_gtest_native core "$BUILD_DIR/native/core_tests"
suite_script fuzz native - scripts/fuzz.sh 10

for arch in x86_64 i686; do
    for lang in en ja; do
        echo "== unit tests ($arch, $lang)"
        suite_gtest unit "$arch" "$lang" "$BUILD_DIR/$arch/unit_tests.exe"
    done
done

# The setup-file checker (its fuzz target runs with the core's above): its cases, and its
# Windows builds under Wine.
echo "== infcheck"
suite_script infcheck native - tests/infcheck/infcheck_test.sh
for arch in x86_64 i686; do
    suite_script infcheck_windows "$arch" - tests/infcheck/windows_test.sh
done

for lang in en ja; do
    echo "== driver self-test ($lang)"
    suite_script driver_selftest x86_64 "$lang" tests/driver/selftest.sh
done

for script in tests/e2e/*_e2e.sh; do
    name=$(basename "$script" .sh)
    for arch in x86_64 i686; do
        for lang in en ja; do
            echo "== $name ($arch, $lang)"
            suite_script "$name" "$arch" "$lang" "$script"
        done
    done
done

# Where the kernel runs 32-bit code, the shipped program's wizard and uninstallation run
# once more, in short, on the emulated route: the route of the machines without it stays
# under test on every machine.
if [ "$BENCH_ROUTE32" = wow64 ]; then
    for name in wizard_e2e uninstall_e2e; do
        for lang in en ja; do
            echo "== $name (i686, $lang, emulated, short)"
            BENCH_ROUTE32=emulated BENCH_ROUTE32_WHY="kept under test on every machine" \
                E2E_SHORT=1 E2E_SHORT_WHY="run in full on the wow64 route above" \
                suite_script "$name" i686 "$lang" "tests/e2e/$name.sh"
        done
    done
fi

# Faults: the program killed, a full disk, second runs, in English: one short round (one
# of a round's kill points in the 500 files; FAULTS_ROUNDS=N runs whole rounds by hand).
# Where 32-bit programs run natively the parts are shared: the shipped program is killed,
# the 64-bit build meets the second runs and the full disk. Elsewhere the 64-bit build
# runs every part and the i686 row says why it is skipped (the emulated route is too slow
# to kill at chosen moments).
parts64="install uninstall sample second disk"
[ "$BENCH_ROUTE32" = wow64 ] && parts64="second disk"
echo "== faults_e2e (x86_64, en)"
FAULTS_POINTS=1 FAULTS_PARTS=$parts64 suite_script faults_e2e x86_64 en tests/faults/faults_e2e.sh
echo "== faults_e2e (i686, en)"
FAULTS_POINTS=1 FAULTS_PARTS="install uninstall sample" suite_script faults_e2e i686 en tests/faults/faults_e2e.sh

harness_table

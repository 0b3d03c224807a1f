#!/usr/bin/env bash
# The test command: installs what a fresh machine lacks, builds both targets, then runs
# every suite through tests/lib/harness.sh: shellcheck over the scripts, the size of the
# shipped program, the folders' include cycles, the core built natively with its unit
# tests and a bounded fuzz run, the unit tests of both builds in an English and a Japanese bench (the
# i686 build in Wine's WoW64 mode), the driver's self-test and the end-to-end scripts
# (those without the wizard's edit box for both builds). It closes with a table of the
# suites by build and language, counted from their reports, and one count line.
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

echo "== shellcheck"
mapfile -t scripts < <(git ls-files --cached --others --exclude-standard '*.sh' .ci/run)
suite_shellcheck shellcheck "${scripts[@]}"

echo "== size"
suite_command size i686 - bash scripts/size.sh

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

# The wizard's destination page holds an edit box, which Wine's WoW64 mode cannot show:
# the wizard runs in 64 bits only.
for script in tests/e2e/*_e2e.sh; do
    name=$(basename "$script" .sh)
    arches="x86_64 i686"
    [ "$name" = wizard_e2e ] && arches=x86_64
    for arch in $arches; do
        for lang in en ja; do
            echo "== $name ($arch, $lang)"
            suite_script "$name" "$arch" "$lang" "$script"
        done
    done
done

harness_table

# shellcheck shell=bash disable=SC2034  # its variables serve the scripts that source it
# lib.sh - shared steps of the end-to-end scripts: a bench per language, a package folder
# with the program and a setup information file, scenarios run by the driver, and checks
# counted into one closing line and, with TEST_REPORT set, an XML report.  Source it
# after setting E2E_NAME.
#
# TEST_ARCH (x86_64 or i686) names the build whose programs are tested (E2E_BIN); the
# driver and the other helpers always come from the x86_64 build (E2E_TOOLS).  TEST_LANGS
# lists the languages to run (default "en ja").
set -u
E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
E2E_BUILD=${BUILD_DIR:-$E2E_ROOT/build}
E2E_ARCH=${TEST_ARCH:-x86_64}
E2E_BIN=$E2E_BUILD/$E2E_ARCH
E2E_TOOLS=$E2E_BUILD/x86_64
E2E_LANGS=${TEST_LANGS:-en ja}
E2E_LOGS=$E2E_BUILD/e2e-logs
BENCH_ARCH=$E2E_ARCH
# shellcheck source=../lib/winebench.sh
. "$E2E_ROOT/tests/lib/winebench.sh"
# shellcheck source=../lib/report.sh
. "$E2E_ROOT/tests/lib/report.sh"
mkdir -p "$E2E_LOGS"
bench_init "$E2E_BUILD" || { echo "e2e: no template prefix" >&2; exit 1; }
# E2E_SHORT=1: a script runs only its main cases (each script says which) and reports the
# rest as skipped, for the reason in E2E_SHORT_WHY. The i686 build on the emulated route
# runs so by default: each of its program starts takes seconds there.
if [ -z "${E2E_SHORT:-}" ] && [ "$E2E_ARCH" = i686 ] && [ "$BENCH_ROUTE32" = emulated ]; then
    E2E_SHORT=1
    E2E_SHORT_WHY="too slow for the emulated route, where every start of the 32-bit program takes seconds"
fi
E2E_SHORT=${E2E_SHORT:-0}
E2E_SHORT_WHY=${E2E_SHORT_WHY:-"left out of the short run (E2E_SHORT=1)"}
report_begin "${TEST_REPORT:-}" "${E2E_NAME:-$(basename "$0" .sh)}"
e2e_passed=0
e2e_failed=0

# pass DESCRIPTION / fail DESCRIPTION: count one check.
pass() { e2e_passed=$((e2e_passed + 1)); echo "  ok   $*"; report_case "$*"; }
fail() { e2e_failed=$((e2e_failed + 1)); echo "  FAIL $*"; report_case "$*" "failed"; }
# skip DESCRIPTION REASON: a check that cannot run with this build here, and why.
skip() { echo "  skip $1: $2"; report_skip "$1" "$2"; }

# check DESCRIPTION COMMAND...: the command's success is the check.
check() {
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

# e2e_start NAME [ja]: a fresh bench (NAME-i686 for the i686 build); E2E_LANG is en or ja.
# Without a route for 32-bit programs an i686 case is skipped, with the reason.
e2e_start() {
    E2E_LANG=${2:-en}
    E2E_CASE=$1
    [ "$E2E_ARCH" = x86_64 ] || E2E_CASE=$1-$E2E_ARCH
    if [ "$E2E_ARCH" = i686 ] && [ "$BENCH_ROUTE32" = none ]; then
        skip "$1" "no route for 32-bit programs: $BENCH_ROUTE32_WHY"
        return 1
    fi
    bench_start "$E2E_CASE" "${2:-}" || { fail "bench $E2E_CASE did not start"; return 1; }
    E2E_C=$WINEPREFIX/drive_c
}

# e2e_package DIR [PROGRAM]: DIR (below drive C) gets the files of the package folder
# E2E_PACKAGE (the sample's by default) and INSTALL.EXE, in place of any program of that
# name the package holds.
e2e_package() {
    local dir=$E2E_C/$1
    rm -rf "$dir"
    mkdir -p "$dir"
    cp -R "${E2E_PACKAGE:-$E2E_ROOT/sample}"/. "$dir"/
    find "$dir" -maxdepth 1 -iname install.exe -delete
    cp "${2:-$E2E_BIN/INSTALL.exe}" "$dir/INSTALL.EXE"
}

# e2e_drive SCENARIO PROGRAM ARGS...: starts the program, runs the driver on the scenario
# file, then waits for the program to end. 0 when both went well.
e2e_drive() {
    local scenario=$1 log
    log=$E2E_LOGS/$E2E_CASE-$(basename "$1" .txt).log
    shift
    bench_spawn "$@"
    local program=$BENCH_PID
    bench_run "$E2E_TOOLS/driver.exe" "$(bench_winpath "$scenario")" >"$log" 2>&1
    local driven=$?
    if [ $driven -ne 0 ]; then
        sed 's/^/      | /' "$log" | tail -25
        bench_kill "$program" 2>/dev/null
        return 1
    fi
    bench_wait "$program" 30 >/dev/null 2>&1
    local code=$?
    [ $code -eq 124 ] && { echo "      | program still running"; bench_kill "$program"; return 1; }
    return 0
}

# e2e_scenario NAME: writes standard input as scenario NAME and prints its path.
e2e_scenario() {
    local file=$E2E_LOGS/$E2E_CASE-$1.txt
    cat >"$file"
    echo "$file"
}

# e2e_text EN JA: the text of the bench's language.
e2e_text() { if [ "$E2E_LANG" = ja ]; then printf '%s' "$2"; else printf '%s' "$1"; fi; }

# e2e_link_field LNK LABEL: the value lnkinfo prints for LABEL (empty when absent).
e2e_link_field() {
    lnkinfo "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^[[:space:]]*$2[[:space:]]*: //p" | head -n1
}

# e2e_reg_has KEY [VALUE]: the key (or value) exists in the registry view of the build.
e2e_reg_has() {
    if [ $# -gt 1 ]; then bench_reg_query "$1" "$2" >/dev/null 2>&1
    else bench_reg query "$1" >/dev/null 2>&1; fi
}

# e2e_summary: the closing line and the report; exit status 1 when anything failed.
e2e_summary() {
    report_end
    echo "$e2e_passed passed, $e2e_failed failed"
    [ "$e2e_failed" -eq 0 ]
}

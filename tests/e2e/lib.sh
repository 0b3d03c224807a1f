# lib.sh - shared steps of the end-to-end scripts: a bench per language, a package folder
# with the program and a setup information file, scenarios run by the driver, and checks
# counted into one closing line.  Source it after setting E2E_NAME.
set -u
E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
E2E_BUILD=${BUILD_DIR:-$E2E_ROOT/build}
E2E_BIN=$E2E_BUILD/x86_64
E2E_LOGS=$E2E_BUILD/e2e-logs
. "$E2E_ROOT/tests/lib/winebench.sh"
mkdir -p "$E2E_LOGS"
bench_init "$E2E_BUILD" || { echo "e2e: no template prefix" >&2; exit 1; }
e2e_passed=0
e2e_failed=0

# pass DESCRIPTION / fail DESCRIPTION: count one check.
pass() { e2e_passed=$((e2e_passed + 1)); echo "  ok   $*"; }
fail() { e2e_failed=$((e2e_failed + 1)); echo "  FAIL $*"; }

# check DESCRIPTION COMMAND...: the command's success is the check.
check() {
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

# e2e_start NAME [ja]: a fresh bench; E2E_LANG is en or ja.
e2e_start() {
    E2E_LANG=${2:-en}
    bench_start "$1" "${2:-}" || { fail "bench $1 did not start"; return 1; }
    E2E_CASE=$1
    E2E_C=$WINEPREFIX/drive_c
}

# e2e_package DIR [PROGRAM]: DIR (below drive C) gets INSTALL.EXE and the sample's files.
e2e_package() {
    local dir=$E2E_C/$1
    rm -rf "$dir"
    mkdir -p "$dir"
    cp "$E2E_ROOT"/sample/* "$dir"/
    cp "${2:-$E2E_BIN/INSTALL.exe}" "$dir/INSTALL.EXE"
}

# e2e_drive SCENARIO PROGRAM ARGS...: starts the program, runs the driver on the scenario
# file, then waits for the program to end. 0 when both went well.
e2e_drive() {
    local scenario=$1 log=$E2E_LOGS/$E2E_CASE-$(basename "$1" .txt).log
    shift
    bench_spawn "$@"
    local program=$BENCH_PID
    bench_run "$E2E_BIN/driver.exe" "$(bench_winpath "$scenario")" >"$log" 2>&1
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

# e2e_reg_has KEY [VALUE]: the key (or value) exists in the bench's registry.
e2e_reg_has() {
    if [ $# -gt 1 ]; then bench_reg_query "$1" "$2" >/dev/null 2>&1
    else bench_run reg query "$1" >/dev/null 2>&1; fi
}

# e2e_summary: the closing line; exit status 1 when anything failed.
e2e_summary() {
    echo "$e2e_passed passed, $e2e_failed failed"
    [ "$e2e_failed" -eq 0 ]
}

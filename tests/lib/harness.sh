# shellcheck shell=bash
# harness.sh - runs the suites of the test command and counts them from their reports.
# Every suite leaves a JUnit-style XML report (GoogleTest's own --gtest_output=xml, or
# tests/lib/report.sh for the scripts); the closing table and count line are read from
# those reports with xmllint, never from console text.  Source it from bash:
#
#   harness_init build/reports
#   suite_command size i686 - bash scripts/size.sh
#   suite_gtest unit x86_64 ja build/x86_64/unit_tests.exe
#   suite_gtest_native core build/native/core_tests
#   suite_script startup_e2e i686 en tests/e2e/startup_e2e.sh
#   harness_table            # the table and "N passed, N failed"; 1 when anything failed
#
# A new kind of suite is one more function that writes a report and calls _harness_row.
# Scripts run by suite_script get TEST_ARCH (the build under test), TEST_LANGS (the
# languages to run) and TEST_REPORT (the report to write through report.sh).
# A row of the i686 build also names the route its 32-bit programs took (BENCH_ROUTE32,
# see winebench.sh); where there is none, its suites are skipped with the reason.
HARNESS_LIB=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=report.sh
. "$HARNESS_LIB/report.sh"
# shellcheck source=winebench.sh
. "$HARNESS_LIB/winebench.sh"

# harness_init DIR: reports and logs go to DIR (emptied).
harness_init() {
    HARNESS_DIR=$(realpath -m "$1")
    HARNESS_ROWS=()
    rm -rf "$HARNESS_DIR" && mkdir -p "$HARNESS_DIR"
}

# _harness_build ARCH: the build column, with the route of 32-bit programs for i686.
_harness_build() {
    if [ "$1" = i686 ]; then echo "$1:${BENCH_ROUTE32:-none}"; else echo "$1"; fi
}

# _harness_row SUITE ARCH LANG [EXTRA]: records a table row; its report is HARNESS_FILE.
# EXTRA failures are those the report cannot show (a runner that died or exited non-zero
# without reporting a failure).
_harness_row() {
    local build
    build=$(_harness_build "$2")
    HARNESS_FILE=$HARNESS_DIR/$1.$build.$3.xml
    HARNESS_ROWS+=("$1|$build|$3|${4:-0}")
}

# _harness_unrunnable SUITE ARCH LANG [WHY]: 0 (with a skipped row giving the reason)
# when the suite cannot run here: an i686 one without a route for 32-bit programs, or
# one that gives a reason WHY.
_harness_unrunnable() {
    local why=${4:-}
    [ "$2" = i686 ] && [ "${BENCH_ROUTE32:-none}" = none ] &&
        why="no route for 32-bit programs: ${BENCH_ROUTE32_WHY:-unknown}"
    [ -n "$why" ] || return 1
    _harness_row "$1" "$2" "$3"
    report_begin "$HARNESS_FILE" "$1"
    report_skip "$1" "$why"
    report_end
    echo "  skipped $1 ($2, $3): $why"
}

# _harness_count FILE XPATH: the number of nodes XPATH selects in FILE (0 without FILE).
_harness_count() {
    [ -f "$1" ] || { echo 0; return; }
    xmllint --xpath "count($2)" "$1" 2>/dev/null || echo 0
}

# _harness_settle SUITE ARCH LANG CODE: the row of a finished run; a missing, unreadable
# or empty report, or a non-zero exit with no reported failure, counts as one failure.
_harness_settle() {
    local file extra=0
    file=$HARNESS_DIR/$1.$(_harness_build "$2").$3.xml
    if [ ! -f "$file" ]; then
        echo "  FAIL $1 ($2, $3) wrote no report (exit $4)"
        extra=1
    elif ! xmllint --noout "$file" 2>/dev/null; then
        echo "  FAIL $1 ($2, $3) wrote an unreadable report $file"
        extra=1
    elif [ "$(_harness_count "$file" '//testcase')" -eq 0 ]; then
        echo "  FAIL $1 ($2, $3) ran no test"
        extra=1
    elif [ "$4" -ne 0 ] && [ "$(_harness_count "$file" '//testcase[failure]')" -eq 0 ]; then
        echo "  FAIL $1 ($2, $3) exited with $4 without reporting a failure"
        extra=1
    fi
    _harness_row "$1" "$2" "$3" "$extra"
}

# _harness_show_failures FILE: each failed case of a GoogleTest report with its message.
_harness_show_failures() {
    local n i
    n=$(_harness_count "$1" '//testcase[failure]')
    for ((i = 1; i <= n; i++)); do
        echo "  FAIL $(xmllint --xpath "string((//testcase[failure])[$i]/@classname)" "$1").$(
            xmllint --xpath "string((//testcase[failure])[$i]/@name)" "$1")"
        xmllint --xpath "string((//testcase[failure])[$i]/failure[1]/@message)" "$1" |
            head -n 20 | sed 's/^/      | /'
        echo
    done
}

# _harness_show_skips FILE PATTERN: skipped cases whose reason holds PATTERN, with it.
_harness_show_skips() {
    local n i reason
    n=$(_harness_count "$1" '//testcase[skipped]')
    for ((i = 1; i <= n; i++)); do
        reason=$(xmllint --xpath "string((//testcase[skipped])[$i]/skipped/@message)" "$1" | tail -n +2)
        case $reason in
            *"$2"*) echo "  skipped $(xmllint --xpath "string((//testcase[skipped])[$i]/@classname)" "$1").$(
                xmllint --xpath "string((//testcase[skipped])[$i]/@name)" "$1"): $reason" ;;
        esac
    done
}

# suite_command SUITE ARCH LANG COMMAND...: the command's success is one check; its
# output is shown.
suite_command() {
    local suite=$1 arch=$2 lang=$3 code
    shift 3
    _harness_row "$suite" "$arch" "$lang"
    report_begin "$HARNESS_FILE" "$suite"
    "$@" 2>&1 | tee "${HARNESS_FILE%.xml}.log"
    code=${PIPESTATUS[0]}
    if [ "$code" -eq 0 ]; then report_case "$suite"; else report_case "$suite" "exit $code"; fi
    report_end
}

# suite_shellcheck SUITE FILES...: shellcheck over each file, one check per file.
suite_shellcheck() {
    local suite=$1 f out
    shift
    _harness_row "$suite" - -
    report_begin "$HARNESS_FILE" "$suite"
    for f in "$@"; do
        if out=$(shellcheck -x "$f" 2>&1); then
            report_case "$f"
        else
            echo "  FAIL shellcheck $f"
            printf '%s\n' "$out" | head -n 40 | sed 's/^/      | /'
            report_case "$f" "shellcheck found problems"
        fi
    done
    report_end
    echo "  $# scripts checked"
}

# suite_gtest SUITE ARCH LANG EXE: a GoogleTest program of build ARCH in a fresh bench of
# language LANG (en or ja); failures are shown in full, and skips whose reason names Wine.
suite_gtest() {
    local suite=$1 arch=$2 lang=$3 exe=$4 file code log why=
    # qemu 7.2 shares one TLS descriptor between the threads of a 32-bit process and gives
    # faults no trap number: a long test program with threads, exceptions (every failure
    # and skip message of GoogleTest raises one) and faults dies there (DEVELOPERS.md).
    [ "$arch" = i686 ] && [ "$BENCH_ROUTE32" = emulated ] &&
        why="a test program cannot live through the exceptions and threads it meets under qemu 7.2's emulation"
    _harness_unrunnable "$suite" "$arch" "$lang" "$why" && return
    file=$HARNESS_DIR/$1.$(_harness_build "$2").$3.xml log=${file%.xml}.log
    BENCH_ARCH=$arch
    bench_start "$suite-$arch-$lang" "$([ "$lang" = ja ] && echo ja)" || {
        _harness_settle "$suite" "$arch" "$lang" 1
        return
    }
    bench_run "$exe" --gtest_brief=1 --gtest_output="xml:$(bench_winpath "$file")" >"$log" 2>&1
    code=$?
    bench_stop
    BENCH_ARCH=x86_64
    _harness_show_failures "$file"
    _harness_show_skips "$file" "Wine"
    _harness_settle "$suite" "$arch" "$lang" "$code"
}

# suite_gtest_native SUITE EXE: a GoogleTest program of this machine, run directly.
suite_gtest_native() {
    local suite=$1 exe=$2 file=$HARNESS_DIR/$1.native.-.xml code
    "$exe" --gtest_brief=1 --gtest_output="xml:$file" >"${file%.xml}.log" 2>&1
    code=$?
    _harness_show_failures "$file"
    _harness_settle "$suite" native - "$code"
}

# suite_script SUITE ARCH LANG SCRIPT [ARGS...]: a test script that reports through
# report.sh; its check lines are shown.
suite_script() {
    local suite=$1 arch=$2 lang=$3 script=$4 file code
    shift 4
    _harness_unrunnable "$suite" "$arch" "$lang" && return
    file=$HARNESS_DIR/$suite.$(_harness_build "$arch").$lang.xml
    TEST_ARCH=$arch TEST_LANGS=$lang TEST_REPORT=$file bash "$script" "$@" 2>&1 |
        tee "${file%.xml}.log" | grep -E '^  (ok|FAIL|skip)|^      \||^fuzz: '
    code=${PIPESTATUS[0]}
    _harness_settle "$suite" "$arch" "$lang" "$code"
}

# harness_table: the table of every suite's counts, then "N passed, N failed"; returns 1
# when anything failed.
harness_table() {
    local row suite arch lang extra file tests failed skipped passed
    local all_passed=0 all_failed=0 all_skipped=0
    echo
    echo "route for 32-bit programs: ${BENCH_ROUTE32:-none} (${BENCH_ROUTE32_WHY:-not chosen})"
    printf '%-20s %-13s %-5s %7s %7s %8s\n' suite build lang passed failed skipped
    for row in "${HARNESS_ROWS[@]}"; do
        IFS='|' read -r suite arch lang extra <<<"$row"
        file=$HARNESS_DIR/$suite.$arch.$lang.xml
        tests=$(_harness_count "$file" '//testcase')
        failed=$(( $(_harness_count "$file" '//testcase[failure]') + extra ))
        skipped=$(_harness_count "$file" '//testcase[skipped]')
        passed=$((tests - skipped - failed + extra))
        printf '%-20s %-13s %-5s %7d %7d %8d\n' "$suite" "$arch" "$lang" "$passed" "$failed" "$skipped"
        all_passed=$((all_passed + passed))
        all_failed=$((all_failed + failed))
        all_skipped=$((all_skipped + skipped))
    done
    printf '%-20s %-13s %-5s %7d %7d %8d\n' total '' '' "$all_passed" "$all_failed" "$all_skipped"
    echo "(reports in $HARNESS_DIR)"
    echo "$all_passed passed, $all_failed failed"
    [ "$all_failed" -eq 0 ]
}

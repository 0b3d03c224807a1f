# shellcheck shell=bash
# report.sh - writes the checks of a test script as a JUnit-style XML report, the format
# GoogleTest writes with --gtest_output=xml, so that one reader counts every suite.
# Source it from bash:
#
#   report_begin build/reports/x.xml startup_e2e   # no file named: nothing is written
#   report_case "en: something works"              # a passed check
#   report_case "en: something else" "why it failed"
#   report_skip "en: something more" "why it cannot run here"
#   report_end                                     # also safe when nothing was begun
#
# Cases are appended to FILE.cases as they happen; report_end wraps them into FILE, so a
# script that dies half-way leaves no report and its runner counts that as a failure.

# report_begin FILE SUITE: starts a report of the checks of SUITE (FILE empty: none).
report_begin() {
    REPORT_FILE=$1 REPORT_SUITE=$2
    [ -n "$REPORT_FILE" ] || return 0
    mkdir -p "$(dirname "$REPORT_FILE")" && rm -f "$REPORT_FILE" && : >"$REPORT_FILE.cases"
}

# report_xml TEXT: TEXT with the five XML special characters escaped.
report_xml() {
    local t=$1
    t=${t//&/"&amp;"} t=${t//</"&lt;"} t=${t//>/"&gt;"} t=${t//\"/"&quot;"} t=${t//\'/"&apos;"}
    printf '%s' "$t"
}

# report_case NAME [FAILURE]: one check; it failed when FAILURE is given.
report_case() {
    [ -n "${REPORT_FILE:-}" ] || return 0
    local name
    name=$(report_xml "$1")
    if [ $# -gt 1 ]; then
        printf '    <testcase name="%s" classname="%s" result="completed"><failure message="%s"/></testcase>\n' \
            "$name" "$REPORT_SUITE" "$(report_xml "$2")"
    else
        printf '    <testcase name="%s" classname="%s" result="completed"/>\n' "$name" "$REPORT_SUITE"
    fi >>"$REPORT_FILE.cases"
}

# report_skip NAME REASON: one check that could not run here, and why.
report_skip() {
    [ -n "${REPORT_FILE:-}" ] || return 0
    printf '    <testcase name="%s" classname="%s" result="skipped"><skipped message="%s"/></testcase>\n' \
        "$(report_xml "$1")" "$REPORT_SUITE" "$(report_xml "$2")" >>"$REPORT_FILE.cases"
}

# report_end: writes the report from the recorded cases.
report_end() {
    [ -n "${REPORT_FILE:-}" ] && [ -f "$REPORT_FILE.cases" ] || return 0
    local tests failures skipped
    tests=$(grep -c '<testcase' "$REPORT_FILE.cases" || true)
    failures=$(grep -c '<failure' "$REPORT_FILE.cases" || true)
    skipped=$(grep -c '<skipped' "$REPORT_FILE.cases" || true)
    {
        echo '<?xml version="1.0" encoding="UTF-8"?>'
        printf '<testsuites tests="%s" failures="%s" name="%s">\n' "$tests" "$failures" "$REPORT_SUITE"
        printf '  <testsuite name="%s" tests="%s" failures="%s" skipped="%s">\n' "$REPORT_SUITE" "$tests" \
            "$failures" "$skipped"
        cat "$REPORT_FILE.cases"
        echo '  </testsuite>'
        echo '</testsuites>'
    } >"$REPORT_FILE" && rm -f "$REPORT_FILE.cases"
}

# report_same NAME EXPECTED ACTUAL: one check that two texts are equal. Counts it in the
# caller's passed and failed, prints it, reports it and shows the difference on failure.
report_same() {
    if [ "$2" = "$3" ]; then
        passed=$((passed + 1))
        echo "  ok   $1"
        report_case "$1"
    else
        failed=$((failed + 1))
        echo "  FAIL $1"
        report_case "$1" "output or status differs"
        diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") | sed 's/^/      | /'
    fi
}

#!/usr/bin/env bash
# The Windows console build of the checker (build/ARCH/infcheck.exe, ARCH from TEST_ARCH,
# x86_64 by default; the i686 one on the bench's route for 32-bit programs) under Wine
# gives the same findings and exit status as the native build, on the sample package and
# on a broken Japanese one. Closes with "N passed, N failed"; with TEST_REPORT set, also writes an XML
# report.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
arch=${TEST_ARCH:-x86_64}
BENCH_ARCH=$arch
# shellcheck source=../lib/winebench.sh
. "$root/tests/lib/winebench.sh"
# shellcheck source=../lib/report.sh
. "$root/tests/lib/report.sh"
report_begin "${TEST_REPORT:-}" infcheck_windows
bench_init "$build" || exit 1
passed=0
failed=0
work=$(mktemp -d)

package=$work/pkg
mkdir -p "$package"
printf 'x' >"$package/a.exe"
printf '[Install]\r\nTitle=\x83\x54\x83\x93\x83\x76\x83\x8b\r\nFolder=\x83\x5c\x83\x74\x83\x67\r\n1=a.exe\r\n2=b.exe\r\n4=c.exe\r\n[Group]\r\n1=\x95\x5c,a.exe\r\n[Reg]\r\n1=hkey_current_user\\Software\\Soft\r\n' >"$package/install.inf"
cp -r "$root/sample" "$work/sample"

if [ "$arch" = i686 ] && [ "$BENCH_ROUTE32" = none ]; then
    report_skip "infcheck.exe ($arch)" "no route for 32-bit programs: $BENCH_ROUTE32_WHY"
    report_end
    echo "  skip infcheck.exe ($arch): no route for 32-bit programs: $BENCH_ROUTE32_WHY"
    exit 0
fi
bench_start "infcheck-win-$arch" || exit 1
# compare NAME PATH: both builds, run in $work on PATH; output with Windows separators
# and line ends made native.
compare() {
    local native windows nstatus wstatus
    native=$(cd "$work" && "$build/native/infcheck" "$2" 2>&1)
    nstatus=$?
    (cd "$work" && bench_run "$build/$arch/infcheck.exe" "$2" >"$work/out.txt" 2>&1)
    wstatus=$?
    windows=$(tr -d '\r' <"$work/out.txt" | sed 's|^\([a-z]*\)\\|\1/|')
    report_same "$1" "$native"$'\n'"(status $nstatus)" "$windows"$'\n'"(status $wstatus)"
}
echo "== infcheck.exe ($arch) under Wine"
compare "sample package: same result as the native build" sample
compare "broken Japanese package: same findings as the native build" pkg
bench_stop
rm -rf "$work"
report_end
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

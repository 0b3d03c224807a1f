#!/usr/bin/env bash
# The Windows console build of the checker (build/ARCH/infcheck.exe, ARCH from TEST_ARCH,
# x86_64 by default; the i686 one on the bench's route for 32-bit programs) under Wine
# gives the same findings and exit status as the native build, on the sample package and
# on a broken Japanese one; it refuses what is no file, and in a Japanese bench (code page
# 932) finds folders, files and sources whose names hold a 0x5C second byte. Closes with
# "N passed, N failed"; with TEST_REPORT set, also writes an XML report.
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
# expect NAME STATUS ARG...: infcheck.exe run in $work on the arguments; its output
# (standard error after standard output), read in code page 932 and with line ends made
# native, must be standard input.
expect() {
    local name=$1 status=$2 expected actual code
    shift 2
    expected=$(cat)
    (cd "$work" && bench_run "$build/$arch/infcheck.exe" "$@" >"$work/out.txt" 2>"$work/err.txt")
    code=$?
    actual=$(cat "$work/out.txt" "$work/err.txt" | tr -d '\r' | iconv -f CP932 -t UTF-8)
    report_same "$name" "$expected"$'\n'"(status $status)" "$actual"$'\n'"(status $code)"
}

echo "== infcheck.exe ($arch) under Wine"
compare "sample package: same result as the native build" sample
compare "broken Japanese package: same findings as the native build" pkg
# The Win32 file calls: a device is refused without being read, and so is a file above
# the limit.
truncate -s 9M "$work/large.inf"
expect "a device and a file above 8 MiB are not read" 2 NUL large.inf <<'EOF'
infcheck: 0 errors, 0 warnings in 0 files
infcheck: error: NUL is not a regular file (a folder, a device or a pipe); not read
infcheck: error: large.inf is larger than 8 MiB, more than any setup information file; not read
EOF

# In code page 932 the second byte of 表 (0x95 0x5C) and of 能 (0x94 0x5C) is the byte of a
# backslash: folders, files and sources named so are found, and their paths printed whole.
bench_start "infcheck-win-$arch-ja" ja || exit 1
mkdir -p "$work/表" "$work/機能/表"
printf '[Install]\r\nTitle=App\r\nFolder=App\r\n1=a.exe\r\n2=missing.dat\r\n[Group]\r\n1=Uninstall,install.exe,/r\r\n' >"$work/表/install.inf"
printf '[Install]\r\nTitle=App\r\nFolder=App\r\n1=a.exe\r\n2=\x95\x5c\\b.dat\r\n[Group]\r\n1=Uninstall,install.exe,/r\r\n' >"$work/機能/install.inf"
printf '[Install]\r\nTitle=App\r\nFolder=App\r\n1=a.exe\r\n[Group]\r\n1=Uninstall,install.exe,/r\r\n' >"$work/表.inf"
for file in a.exe 表/a.exe 機能/a.exe 機能/表/b.dat; do printf 'x' >"$work/$file"; done
expect "code page 932: names whose second byte is 0x5C" 1 --codepage 932 表 機能 表.inf <<'EOF'
表\install.inf:5: error: [Install] 2: source "missing.dat" is not in the package folder [missing-source]
infcheck: 1 error, 0 warnings in 3 files
EOF
bench_stop
rm -rf "$work"
report_end
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# The earlier-installation scan against the same work done by a plain loop, in one bench
# with 2,000 sub-keys under the Uninstall key (half of them look like installations of
# this program whose folder is gone, the slowest kind): the program's own scan
# (ScanEarlierInstallation, timed inside tests/bench/steps.exe) against the baseline
# (tests/bench/baseline.c, "scan": RegEnumKeyA, RegOpenKeyExA with KEY_ALL_ACCESS,
# RegQueryValueExA of UninstallString, RegCloseKey, and GetFileAttributesA for each
# candidate's folder), nine runs each, interleaved (the registry's speed under Wine varies
# a lot from one moment to the next). For the record it also times the real
# program from its start until the first wizard page shows, with and without the keys.
# TEST_ARCH=i686 measures the shipped 32-bit build (keys in the 32-bit view); its wizard
# cannot show in Wine's WoW64 mode (the edit box), so the whole start-up is not timed.
E2E_NAME=startup-bench
# shellcheck source=../e2e/lib.sh
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/benchlib.sh"

SB_KEYS=${SB_KEYS:-2000}
SB_BUDGET=${SB_BUDGET:-1.05}
started=$SECONDS

# first_page: ms from starting the program until its first wizard page shows (median of 3);
# "-" for the i686 build.
first_page() {
    local runs=() i s t0 t1 program
    [ "$E2E_ARCH" = i686 ] && { echo -; return; }
    for i in 1 2 3; do
        s=$(e2e_scenario "first-page-$i" <<'EOT'
wait "Installation of Sample Editor" 60000
click 2
answer "Sample Editor" 1
EOT
)
        printf 'wait "Installation of Sample Editor" 60000\n' >"$s.wait"
        t0=$(date +%s%N)
        bench_spawn 'C:\pkg\INSTALL.EXE'
        program=$BENCH_PID
        bench_run "$E2E_BIN/driver.exe" "$(bench_winpath "$s.wait")" >/dev/null 2>&1
        t1=$(date +%s%N)
        bench_run "$E2E_BIN/driver.exe" "$(bench_winpath "$s")" >/dev/null 2>&1
        bench_wait "$program" 30 >/dev/null 2>&1 || bench_kill "$program"
        runs+=($(( (t1 - t0) / 1000000 )))
    done
    bl_median "${runs[@]}"
}

bl_require || exit 1
e2e_start startup-bench || exit 1
e2e_package pkg
bench_run "$E2E_BIN/driver.exe" NUL >/dev/null 2>&1  # warm up the driver once
none=$(first_page)
bl_add_keys 1 "$SB_KEYS"
keys=$(bl_key_count)
# One round of each first, not counted: the first reads of many new keys cost more.
bl_scan_program pkg >/dev/null && bl_baseline scan sample.exe >/dev/null || exit 1
progs=()
bases=()
for i in 1 2 3 4 5 6 7 8 9; do
    progs+=("$(bl_scan_program pkg)") || exit 1
    bases+=("$(bl_baseline scan sample.exe)") || exit 1
done
many=$(first_page)
load=$(bl_load)
bench_stop

prog=$(bl_median "${progs[@]}")
base=$(bl_median "${bases[@]}")
ratio=$(bl_ratio "$prog" "$base")
echo "== start-up scan benchmark ($E2E_ARCH): $keys sub-keys, medians of 9 runs, interleaved ($load; the script took $(( SECONDS - started )) s)"
printf '  %-28s %9.1f ms %9.1f ms %6s  %s\n' "program's scan / loop" "$prog" "$base" "$ratio" \
    "$(bl_within "$ratio" "$SB_BUDGET") (budget $SB_BUDGET)"
printf '  %-28s program %s; loop %s ms\n' "runs:" "${progs[*]}" "${bases[*]}"
if [ "$none" != - ]; then
    echo "  whole start-up until the first page: $none ms without the keys, $many ms with them"
    echo "  (difference $((many - none)) ms, against the loop's $base ms)"
fi

#!/usr/bin/env bash
# Install sequence against a plain copy loop, in one bench: a package of 2,000 files of
# 4 KiB and one of 20 files of 8 MiB are installed through the wizard, driven by the
# driver; the time runs from pressing Next into the copy page until Finish is enabled
# (driver timestamps, looking every 50 ms for the long run and every 10 ms for the short
# one, where the looks' lag matters more than their load; the copy page's fixed 300 ms
# start delay is subtracted and shown).
# The baseline is tests/bench/copyloop.c: CopyFileA of the same files (the listed ones,
# the setup information file and the installer) into a fresh folder, timed inside the
# process. Three runs of each, interleaved, fresh destinations; prints the medians and the
# ratio wizard/loop (budget 1.25).
E2E_NAME=install-bench
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/benchlib.sh"

IB_START_DELAY=300
IB_BUDGET=1.25
started=$SECONDS

# ib_scenario TITLE FOLDER POLL_MS: the wizard run; Next into the copy page and the
# enabled Finish button are stamped.
ib_scenario() {
    e2e_scenario "wizard-$2" <<EOT
log ready
timeout 60000
wait "Installation of $1"
expect 1001 "C:\\\\$2\\\\"
click 0x3024
check 1006 0
check 1005 0
poll $3
ticks 1
click 0x3024
settle 120000
expectenabled 0x3025 1
ticks 0
click 0x3025
answer "$1" 1 "Installation has been completed."
EOT
}

# ib_wizard_run PKG TITLE FOLDER COUNT POLL_MS: one installation; prints the raw time in ms.
ib_wizard_run() {
    local scenario log=$E2E_LOGS/$E2E_CASE-wizard-$3.log t0 t1
    scenario=$(ib_scenario "$2" "$3" "$5")
    bl_drive "$log" "$scenario" "C:\\$1\\INSTALL.EXE" || return 1
    t0=$(bl_tick "$log" ": click 12324")
    t1=$(bl_tick "$log" ": enabled 12325: 1")
    local copied
    copied=$(find "$E2E_C/$3" -maxdepth 1 -type f | wc -l)
    if [ -z "$t0" ] || [ -z "$t1" ] || [ "$copied" -ne $(($4 + 2)) ]; then
        echo "bench: wizard run of $3 incomplete ($copied files, stamps '$t0' '$t1')" >&2
        return 1
    fi
    e2e_reg_has "$BL_UNINSTALL_KEY\\$3" || { echo "bench: no uninstall entry for $3" >&2; return 1; }
    echo $((t1 - t0))
}

# ib_clean FOLDER: removes an installation and its uninstall entry.
ib_clean() {
    rm -rf "${E2E_C:?}/$1"
    bench_run reg delete "$BL_UNINSTALL_KEY\\$1" /f >/dev/null 2>&1
    return 0
}

# ib_measure PKG TITLE FOLDER COUNT LABEL POLL_MS: three interleaved wizard and loop runs; sets
# IB_<LABEL>_WIZ, IB_<LABEL>_NET, IB_<LABEL>_LOOP (medians) and IB_<LABEL>_RUNS.
ib_measure() {
    local pkg=$1 title=$2 folder=$3 count=$4 label=$5 poll=$6 i w l
    local wiz=() loop=()
    ib_clean "$folder"
    for i in 1 2 3; do
        w=$(ib_wizard_run "$pkg" "$title" "$folder" "$count" "$poll") || return 1
        ib_clean "$folder"
        rm -rf "$E2E_C/Loop$folder" && mkdir "$E2E_C/Loop$folder"
        l=$(bl_loop copy "C:\\$pkg\\files.lst" "C:\\$pkg" "C:\\Loop$folder") || return 1
        rm -rf "${E2E_C:?}/Loop$folder"
        wiz+=("$w")
        loop+=("$l")
    done
    printf -v "IB_${label}_WIZ" '%s' "$(bl_median "${wiz[@]}")"
    printf -v "IB_${label}_NET" '%s' $(( $(bl_median "${wiz[@]}") - IB_START_DELAY ))
    printf -v "IB_${label}_LOOP" '%s' "$(bl_median "${loop[@]}")"
    printf -v "IB_${label}_RUNS" 'raw wizard %s ms; copy loop %s ms' "${wiz[*]}" "${loop[*]}"
}

# ib_line LABEL WHAT: the result line of one package, then its single runs.
ib_line() {
    local wiz net loop runs ratio
    eval "wiz=\$IB_$1_WIZ net=\$IB_$1_NET loop=\$IB_$1_LOOP runs=\$IB_$1_RUNS"
    ratio=$(bl_ratio "$net" "$loop")
    printf '  %-26s %6s ms %11s %9.1f ms %6s  %s\n' "$2" "$net" "($wiz ms)" "$loop" "$ratio" \
        "$(bl_within "$ratio" "$IB_BUDGET")"
    printf '  %-26s runs: %s\n' "" "$runs"
}

bl_build_copyloop || { echo "install-bench: copyloop.exe could not be built" >&2; exit 1; }
e2e_start install-bench || exit 1
bl_package small "Bench Small" BenchSmall 2000 4096 &&
    bl_package big "Bench Big" BenchBig 20 $((8 * 1024 * 1024)) ||
    { echo "install-bench: the packages could not be made" >&2; exit 1; }
bench_run "$E2E_BIN/driver.exe" NUL >/dev/null 2>&1  # warm up the driver once
ib_measure small "Bench Small" BenchSmall 2000 SMALL 50 || exit 1
ib_measure big "Bench Big" BenchBig 20 BIG 10 || exit 1
bench_stop

echo "== install benchmark: medians of 3 runs, interleaved (the script took $(( SECONDS - started )) s)"
printf '  %-26s %9s %11s %12s %6s  %s\n' package "wizard" "(raw)" "copy loop" ratio "budget $IB_BUDGET"
ib_line SMALL "2,000 files of 4 KiB (+2)"
ib_line BIG "20 files of 8 MiB (+2)"
echo "  wizard: from pressing Next into the copy page until Finish is enabled, less the copy"
echo "  page's fixed ${IB_START_DELAY} ms start delay (raw: with it); copy loop: CopyFileA of the same"
echo "  files (the listed ones, install.inf, INSTALL.EXE); ratio = wizard / copy loop"

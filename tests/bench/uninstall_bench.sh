#!/usr/bin/env bash
# The uninstall run against the same work done by a plain program, in one bench: the
# 2,000-file package (4 KiB each) is laid out as an installation (files, install.inf,
# INSTALL.EXE, the uninstall entry and both links, made by the baseline program), then
# the system-directory copy of the program is started in uninstall-run mode ("x" and the
# installed program's path). The time runs from the uninstall dialog's appearance until
# its Finish button is enabled, less the dialog's fixed 300 ms start delay (driver
# timestamps, looking every 10 ms). The baseline (tests/bench/baseline.c, "uninstall")
# deletes the same files, the folder, the uninstall entry and the links of the three
# places, timed inside its process. Five runs of each, interleaved; prints the medians
# and the ratio program/baseline.
E2E_NAME=uninstall-bench
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/benchlib.sh"

UB_TITLE="Bench Small"
UB_FOLDER=BenchSmall
UB_COUNT=${UB_COUNT:-2000}
UB_BUDGET=${UB_BUDGET:-1.10}
started=$SECONDS

bl_require || exit 1
e2e_start uninstall-bench || exit 1
bl_package small "$UB_TITLE" "$UB_FOLDER" "$UB_COUNT" 4096 ||
    { echo "uninstall-bench: the package could not be made" >&2; exit 1; }
# The copy in the system directory serves every run: its deletion is only scheduled.
cp "$E2E_BIN/INSTALL.exe" "$E2E_C/windows/system32/INSTALL.EXE"
bench_run "$E2E_BIN/driver.exe" NUL >/dev/null 2>&1  # warm up the driver once
runs=()
bases=()
for i in 1 2 3 4 5; do
    bl_lay_out small "$UB_TITLE" "$UB_FOLDER" "$UB_COUNT" ||
        { echo "uninstall-bench: the installation could not be laid out" >&2; exit 1; }
    u=$(bl_uninstall_run "$UB_TITLE" "$UB_FOLDER") || exit 1
    bl_lay_out small "$UB_TITLE" "$UB_FOLDER" "$UB_COUNT" || exit 1
    b=$(bl_uninstall_baseline small "$UB_TITLE" "$UB_FOLDER") || exit 1
    runs+=("$u")
    bases+=("$b")
done
load=$(bl_load)
bench_stop

prog=$(bl_median "${runs[@]}")
base=$(bl_median "${bases[@]}")
ratio=$(bl_ratio "$prog" "$base")
echo "== uninstall benchmark: medians of 5 runs, interleaved ($load; the script took $(( SECONDS - started )) s)"
printf '  %-28s %10s %12s %6s  %s\n' package program baseline ratio "budget $UB_BUDGET"
printf '  %-28s %7s ms %9.1f ms %6s  %s\n' "$UB_COUNT files of 4 KiB (+2)" "$prog" "$base" "$ratio" \
    "$(bl_within "$ratio" "$UB_BUDGET")"
printf '  %-28s runs: program %s; baseline %s ms\n' "" "${runs[*]}" "${bases[*]}"
echo "  program: from the appearance of the uninstall dialog until Finish is enabled, less the"
echo "  fixed ${BL_START_DELAY} ms start delay; baseline: the same files, folder, entry and links deleted"

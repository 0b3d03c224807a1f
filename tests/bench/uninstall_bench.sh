#!/usr/bin/env bash
# Uninstall run against a plain delete loop, in one bench: the 2,000-file package (4 KiB
# each) is laid out as an installation (files, install.inf, INSTALL.EXE and the uninstall
# entry), then the system-directory copy of the program is started in uninstall-run mode
# ("x" and the installed program's path). The time runs from the uninstall dialog's
# appearance until its Finish button (id 2) is enabled (driver timestamps, looking every
# 10 ms; the dialog's fixed 300 ms start delay is subtracted and shown). The baseline is
# tests/bench/copyloop.c: DeleteFileA of the same 2,002 files, timed inside the process.
# Three runs of each, interleaved; prints the medians and the ratio uninstaller/loop
# (budget 1.25).
E2E_NAME=uninstall-bench
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/benchlib.sh"

UB_TITLE="Bench Small"
UB_FOLDER=BenchSmall
UB_COUNT=2000
UB_START_DELAY=300
UB_BUDGET=1.25
started=$SECONDS

# ub_lay_out: the package's files, setup information file and program in C:\BenchSmall,
# and the uninstall entry as the wizard writes it.
ub_lay_out() {
    local dest=$E2E_C/$UB_FOLDER
    rm -rf "$dest" && mkdir "$dest" && cp "$E2E_C"/small/* "$dest"/ && rm "$dest/files.lst" &&
        bench_run reg add "$BL_UNINSTALL_KEY\\$UB_FOLDER" /v DisplayName /d "$UB_TITLE" /f \
            >/dev/null 2>&1 &&
        bench_run reg add "$BL_UNINSTALL_KEY\\$UB_FOLDER" /v UninstallString \
            /d "C:\\$UB_FOLDER\\INSTALL.EXE /r" /f >/dev/null 2>&1 &&
        [ "$(find "$dest" -type f | wc -l)" -eq $((UB_COUNT + 2)) ]
}

# ub_uninstall_run: one uninstall run; prints the raw time in ms.
ub_uninstall_run() {
    local scenario log=$E2E_LOGS/$E2E_CASE-run.log t0 t1
    scenario=$(e2e_scenario run <<EOT
log ready
poll 10
ticks 1
wait "Uninstallation of $UB_TITLE" 30000
settle 120000
expectenabled 2 1
ticks 0
expect 1008 "$UB_TITLE has been successfully uninstalled."
click 2
gone "Uninstallation of $UB_TITLE"
EOT
)
    bl_drive "$log" "$scenario" 'C:\windows\system32\INSTALL.EXE' x "C:\\$UB_FOLDER\\INSTALL.EXE" ||
        return 1
    t0=$(bl_tick "$log" ": wait: found")
    t1=$(bl_tick "$log" ": enabled 2: 1")
    if [ -z "$t0" ] || [ -z "$t1" ] || [ -e "$E2E_C/$UB_FOLDER" ]; then
        echo "bench: uninstall run incomplete (stamps '$t0' '$t1')" >&2
        return 1
    fi
    e2e_reg_has "$BL_UNINSTALL_KEY\\$UB_FOLDER" && { echo "bench: the entry stayed" >&2; return 1; }
    echo $((t1 - t0))
}

bl_build_copyloop || { echo "uninstall-bench: copyloop.exe could not be built" >&2; exit 1; }
e2e_start uninstall-bench || exit 1
bl_package small "$UB_TITLE" "$UB_FOLDER" "$UB_COUNT" 4096 ||
    { echo "uninstall-bench: the package could not be made" >&2; exit 1; }
# The copy in the system directory serves every run: its deletion is only scheduled.
cp "$E2E_BIN/INSTALL.exe" "$E2E_C/windows/system32/INSTALL.EXE"
bench_run "$E2E_BIN/driver.exe" NUL >/dev/null 2>&1  # warm up the driver once
runs=()
loops=()
for i in 1 2 3; do
    ub_lay_out || { echo "uninstall-bench: the installation could not be laid out" >&2; exit 1; }
    u=$(ub_uninstall_run) || exit 1
    ub_lay_out || exit 1
    l=$(bl_loop del "C:\\small\\files.lst" "C:\\$UB_FOLDER") || exit 1
    rm -rf "${E2E_C:?}/$UB_FOLDER"
    runs+=("$u")
    loops+=("$l")
done
bench_stop

raw=$(bl_median "${runs[@]}")
net=$((raw - UB_START_DELAY))
loop=$(bl_median "${loops[@]}")
ratio=$(bl_ratio "$net" "$loop")
echo "== uninstall benchmark: medians of 3 runs, interleaved (the script took $(( SECONDS - started )) s)"
printf '  %-26s %12s %11s %12s %6s  %s\n' package "uninstaller" "(raw)" "delete loop" ratio "budget $UB_BUDGET"
printf '  %-26s %9s ms %11s %9.1f ms %6s  %s\n' "2,000 files of 4 KiB (+2)" "$net" "($raw ms)" "$loop" \
    "$ratio" "$(bl_within "$ratio" "$UB_BUDGET")"
printf '  %-26s runs: raw uninstaller %s ms; delete loop %s ms\n' "" "${runs[*]}" "${loops[*]}"
echo "  uninstaller: from the appearance of the uninstall dialog until its Finish button is"
echo "  enabled, less the dialog's fixed ${UB_START_DELAY} ms start delay (raw: with it); delete loop:"
echo "  DeleteFileA of the same files (the listed ones, install.inf, INSTALL.EXE);"
echo "  ratio = uninstaller / delete loop"

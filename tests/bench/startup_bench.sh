#!/usr/bin/env bash
# Start-up cost of the earlier-installation scan: time from starting the program until
# its first wizard page is on the screen, with no and with 2,000 sub-keys under the
# Uninstall key (half of them look like installations of this program whose folder is
# gone, the slowest kind). Prints the medians of three runs and their ratio.
E2E_NAME=startup-bench
. "$(dirname "$0")/../e2e/lib.sh"

measure() {
    local runs=() i
    for i in 1 2 3; do
        local s t0 t1
        s=$(e2e_scenario "first-page-$i" <<'EOT'
wait "Installation of Sample Editor" 60000
click 2
answer "Sample Editor" 1
EOT
)
        t0=$(date +%s%N)
        bench_spawn 'C:\pkg\INSTALL.EXE'
        local program=$BENCH_PID
        # The driver's wait returns as soon as the page shows; stop the clock there.
        printf 'wait "Installation of Sample Editor" 60000\n' >"$s.wait"
        bench_run "$E2E_BIN/driver.exe" "$(bench_winpath "$s.wait")" >/dev/null 2>&1
        t1=$(date +%s%N)
        bench_run "$E2E_BIN/driver.exe" "$(bench_winpath "$s")" >/dev/null 2>&1
        bench_wait "$program" 30 >/dev/null 2>&1 || bench_kill "$program"
        runs+=($(( (t1 - t0) / 1000000 )))
    done
    printf '%s\n' "${runs[@]}" | sort -n | sed -n 2p
}

e2e_start startup-bench || exit 1
e2e_package pkg
bench_run "$E2E_BIN/driver.exe" NUL >/dev/null 2>&1  # warm up the driver once
none=$(measure)

reg=$E2E_C/keys.reg
{
    printf 'REGEDIT4\r\n\r\n'
    for i in $(seq 1 2000); do
        printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\BenchApp%04d]\r\n' "$i"
        if [ $((i % 2)) -eq 0 ]; then
            printf '"UninstallString"="\\"C:\\\\Gone%04d\\\\INSTALL.EXE\\" /r"\r\n\r\n' "$i"
        else
            printf '"UninstallString"="C:\\\\Other%04d\\\\uninst.exe"\r\n\r\n' "$i"
        fi
    done
} >"$reg"
bench_run regedit /S 'C:\keys.reg' >/dev/null 2>&1
count=$(bench_run reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall' 2>/dev/null | grep -c BenchApp)
many=$(measure)
bench_stop

echo "startup: first page after ${none} ms with no sub-keys, ${many} ms with ${count} sub-keys"
ratio=$(awk -v a="$many" -v b="$none" 'BEGIN { printf "%.2f", a / b }')
echo "startup: ratio $ratio (budget 2.00)"

# shellcheck shell=bash disable=SC2034  # its variables serve the scripts that source it
# benchlib.sh - shared steps of the benchmarks: generated packages, the program's jobs
# driven through the driver and timed by its timestamps, the same-work baselines
# (tests/bench/baseline.c) and the program's own routines (tests/bench/steps.cpp), medians
# and ratios. Source it after tests/e2e/lib.sh; the build must hold baseline.exe and
# steps.exe (scripts/build.sh builds them with the tests).

BL_BASELINE=$E2E_BIN/baseline.exe
BL_STEPS=$E2E_BIN/steps.exe
BL_UNINSTALL_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
BL_START_DELAY=300  # the copy page's and the uninstall dialog's fixed start delay, ms

# bl_require: the benchmark programs are built.
bl_require() {
    local f
    for f in "$BL_BASELINE" "$BL_STEPS" "$E2E_BIN/INSTALL.exe" "$E2E_BIN/driver.exe"; do
        [ -x "$f" ] || { echo "bench: $f is missing; run scripts/build.sh" >&2; return 1; }
    done
}

# bl_load: "load L1 L5 L15" of the machine, for the figures' record.
bl_load() { echo "load $(cut -d' ' -f1-3 /proc/loadavg)"; }

# bl_package DIR TITLE FOLDER COUNT SIZE: DIR (below drive C) gets COUNT files of SIZE
# bytes of random data named b00001.dat..., an install.inf listing them as [Install]
# 1..COUNT and INSTALL.EXE; DIR/files.lst lists the files the program copies and deletes
# (the listed ones, the setup information file and the installer).
bl_package() {
    local dir=$E2E_C/$1 title=$2 folder=$3 count=$4 size=$5
    rm -rf "$dir" && mkdir -p "$dir" || return 1
    head -c $((count * size)) /dev/urandom |
        split -b "$size" -a 5 --numeric-suffixes=1 --additional-suffix=.dat - "$dir/b"
    {
        printf '[Install]\r\nTitle=%s\r\nFolder=%s\r\nTSR=0\r\n' "$title" "$folder"
        for i in $(seq 1 "$count"); do printf '%d=b%05d.dat\r\n' "$i" "$i"; done
    } >"$dir/install.inf"
    cp "$E2E_BIN/INSTALL.exe" "$dir/INSTALL.EXE"
    { printf 'b%05d.dat\n' $(seq 1 "$count"); printf 'install.inf\nINSTALL.EXE\n'; } >"$dir/files.lst"
    [ "$(find "$dir" -name 'b*.dat' -size "${size}c" | wc -l)" -eq "$count" ]
}

# bl_look: with BL_CLASSIC=1 in the environment, switches the bench's desktop from Wine's
# default theme to the classic look (no visual styles), under which the common controls
# draw as on the older systems; prints which look the runs use.
bl_look() {
    if [ "${BL_CLASSIC:-0}" = 1 ]; then
        bench_run reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' \
            /v ThemeActive /d 0 /f >/dev/null 2>&1 || return 1
        echo "classic look"
    else
        echo "Wine's default theme"
    fi
}

# bl_settle: writes the file system's pending changes out before a timed run, so that
# neither side pays for the writing of the run before (deleting files that were written a
# moment ago costs several times more while their data is still on its way to the disk).
bl_settle() { sync; }

# bl_output PROGRAM ARGS...: runs PROGRAM in the bench and prints its output. The output
# goes through a file: Wine's helper processes keep a pipe open that they inherit.
bl_output() {
    local file=$E2E_LOGS/$E2E_CASE-output.txt
    bench_run "$@" >"$file" 2>&1
    tr -d '\r' <"$file"
}

# bl_baseline MODE ARGS...: runs the baseline program in the bench and prints its time in
# ms; fails when a call failed.
bl_baseline() {
    local out
    out=$(bl_output "$BL_BASELINE" "$@")
    case $out in
        *failed=0\ ms=*) printf '%s\n' "${out##*ms=}" ;;
        *) echo "bench: baseline $1 went wrong: $out" >&2; return 1 ;;
    esac
}

# bl_drive LOG SCENARIO PROGRAM ARGS...: starts the driver on SCENARIO first and the
# program only once the driver logs "ready" (so that no window can appear before the
# driver looks for it), then waits for both. 0 when both went well.
bl_drive() {
    local log=$1 scenario=$2 i
    shift 2
    rm -f "$log"
    bench_spawn "$E2E_BIN/driver.exe" "$(bench_winpath "$scenario")" "$(bench_winpath "$log")"
    local driver=$BENCH_PID
    for i in $(seq 300); do
        grep -q 'log ready' "$log" 2>/dev/null && break
        sleep 0.02
    done
    bench_spawn "$@"
    local program=$BENCH_PID
    bench_wait "$driver" 600 >/dev/null 2>&1
    local driven=$?
    if [ "$driven" -ne 0 ]; then
        echo "bench: the driver failed ($log):" >&2
        tail -25 "$log" | sed 's/^/      | /' >&2
        bench_kill "$driver"
        bench_kill "$program"
        return 1
    fi
    bench_wait "$program" 60 >/dev/null 2>&1
    [ $? -eq 124 ] && { echo "bench: the program is still running" >&2; bench_kill "$program"; return 1; }
    return 0
}

# bl_tick LOG PATTERN: the timestamp of the first stamped log line containing PATTERN.
bl_tick() {
    tr -d '\r' <"$1" | grep -F -- "$2" | sed -n 's/^@\([0-9]*\) .*/\1/p' | head -n1
}

# bl_links_of TITLE: the Unix paths of the start-menu and desktop links named TITLE. A
# read of the folders is retried: a query can come back empty while the bench is busy.
bl_links_of() {
    local place dir try
    for place in Programs Desktop; do
        for _ in 1 2 3 4 5; do
            dir=$(bench_reg_query \
                'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' "$place")
            [ -n "$dir" ] && break
            sleep 0.5
        done
        [ -n "$dir" ] || { echo "bench: the $place folder cannot be read" >&2; return 1; }
        printf '%s/%s.lnk\n' "$(bench_unixpath "$dir")" "$1"
    done
}

# bl_clean FOLDER TITLE: removes an installation, its links and its uninstall entry.
bl_clean() {
    rm -rf "${E2E_C:?}/$1"
    local link
    while IFS= read -r link; do rm -f "$link"; done < <(bl_links_of "$2")
    bench_run reg delete "$BL_UNINSTALL_KEY\\$1" /f >/dev/null 2>&1
    return 0
}

# bl_install_run PKG TITLE FOLDER COUNT POLL_MS: one installation through the wizard, both
# links chosen; prints the time in ms from pressing Next into the copy page until Finish
# is enabled, less the fixed start delay. With BL_PAGE_FILE set, the time from pressing
# Next until the copy page's bar is seen is added to that file.
bl_install_run() {
    local pkg=$1 title=$2 folder=$3 count=$4 poll=$5
    local log=$E2E_LOGS/$E2E_CASE-wizard-$folder.log scenario t0 shown t1 copied link links
    scenario=$(e2e_scenario "wizard-$folder" <<EOT
log ready
timeout 60000
wait "Installation of $title"
expect 1001 "C:\\\\$folder\\\\"
click 0x3024
check 1006 1
check 1005 1
poll $poll
ticks 1
click 0x3024
expectvisible 1004 1
settle 600000
expectenabled 0x3025 1
ticks 0
click 0x3025
answer "$title" 1 "Installation has been completed."
EOT
)
    bl_drive "$log" "$scenario" "C:\\$pkg\\INSTALL.EXE" || return 1
    t0=$(bl_tick "$log" ": click 12324")
    shown=$(bl_tick "$log" ": visible 1004: 1")
    t1=$(bl_tick "$log" ": enabled 12325: 1")
    copied=$(find "$E2E_C/$folder" -maxdepth 1 -type f | wc -l)
    if [ -z "$t0" ] || [ -z "$t1" ] || [ "$copied" -ne $((count + 2)) ]; then
        echo "bench: wizard run of $folder incomplete ($copied files, stamps '$t0' '$t1')" >&2
        return 1
    fi
    e2e_reg_has "$BL_UNINSTALL_KEY\\$folder" || { echo "bench: no uninstall entry for $folder" >&2; return 1; }
    links=$(bl_links_of "$title") || return 1
    while IFS= read -r link; do
        [ -f "$link" ] || { echo "bench: link $link missing" >&2; return 1; }
    done <<<"$links"
    # The page change alone (Next until the copy page's bar is seen), for the record.
    [ -n "${BL_PAGE_FILE:-}" ] && [ -n "$shown" ] && echo $((shown - t0)) >>"$BL_PAGE_FILE"
    echo $((t1 - t0 - BL_START_DELAY))
}

# bl_install_baseline PKG TITLE FOLDER: the same work by the baseline into a fresh
# C:\FOLDER; prints its time in ms.
bl_install_baseline() {
    bl_baseline install "C:\\$1\\files.lst" "C:\\$1" "C:\\$3" "$2" "$3"
}

# bl_install_rounds PKG TITLE FOLDER COUNT POLL_MS: BL_ROUNDS (default 3) installations
# through the wizard interleaved with as many by the baseline, fresh destinations; prints
# "PROGRAM BASELINE"
# (medians, ms) and then the single runs.
bl_install_rounds() {
    local i p b progs=() bases=()
    bl_clean "$3" "$2"
    for i in $(seq "${BL_ROUNDS:-3}"); do
        bl_settle
        p=$(bl_install_run "$@") || return 1
        bl_clean "$3" "$2"
        bl_settle
        b=$(bl_install_baseline "$1" "$2" "$3") || return 1
        bl_clean "$3" "$2"
        progs+=("$p")
        bases+=("$b")
    done
    echo "$(bl_median "${progs[@]}") $(bl_median "${bases[@]}") program ${progs[*]}; baseline ${bases[*]}"
}

# bl_lay_out PKG TITLE FOLDER COUNT: an installation as the wizard leaves it (files,
# setup information file, program, the uninstall entry and both links), made by the
# baseline program.
bl_lay_out() {
    bl_clean "$3" "$2"
    bl_install_baseline "$1" "$2" "$3" >/dev/null &&
        [ "$(find "$E2E_C/$3" -type f | wc -l)" -eq $(($4 + 2)) ] && bl_settle
}

# bl_uninstall_run TITLE FOLDER: one uninstall run of the laid-out installation by the
# system-directory copy; prints the time in ms from the uninstall dialog's appearance
# until its Finish button is enabled, less the fixed start delay.
bl_uninstall_run() {
    local title=$1 folder=$2 scenario log=$E2E_LOGS/$E2E_CASE-run.log t0 t1
    scenario=$(e2e_scenario run <<EOT
log ready
poll 10
ticks 1
wait "Uninstallation of $title" 30000
settle 600000
expectenabled 2 1
ticks 0
expect 1008 "$title has been successfully uninstalled."
click 2
gone "Uninstallation of $title"
EOT
)
    bl_drive "$log" "$scenario" 'C:\windows\system32\INSTALL.EXE' x "C:\\$folder\\INSTALL.EXE" ||
        return 1
    t0=$(bl_tick "$log" ": wait: found")
    t1=$(bl_tick "$log" ": enabled 2: 1")
    if [ -z "$t0" ] || [ -z "$t1" ] || [ -e "$E2E_C/$folder" ]; then
        echo "bench: uninstall run incomplete (stamps '$t0' '$t1')" >&2
        return 1
    fi
    e2e_reg_has "$BL_UNINSTALL_KEY\\$folder" && { echo "bench: the entry stayed" >&2; return 1; }
    echo $((t1 - t0 - BL_START_DELAY))
}

# bl_uninstall_baseline PKG TITLE FOLDER: the same removal by the baseline; prints ms.
bl_uninstall_baseline() {
    bl_baseline uninstall "C:\\$1\\files.lst" "C:\\$3" "$2" "$3"
}

# bl_keys_path: the Uninstall key that the bench's programs see: in the 32-bit view for the
# i686 build (Wine's WoW64 mode), in the native one otherwise.
bl_keys_path() {
    local view=
    [ "$E2E_ARCH" = i686 ] && view='\Wow6432Node'
    echo "HKEY_LOCAL_MACHINE\SOFTWARE$view\Microsoft\Windows\CurrentVersion\Uninstall"
}

# bl_add_keys FROM TO: sub-keys BenchAppFROM..BenchAppTO under the Uninstall key (the
# even ones look like installations of this program whose folder is gone, the slowest
# kind; the odd ones like other programs).
bl_add_keys() {
    local reg=$E2E_C/keys.reg i key
    [ "$1" -le "$2" ] || return 0
    key=$(bl_keys_path)
    {
        printf 'REGEDIT4\r\n\r\n'
        for i in $(seq "$1" "$2"); do
            printf '[%s\\BenchApp%05d]\r\n' "$key" "$i"
            if [ $((i % 2)) -eq 0 ]; then
                printf '"UninstallString"="\\"C:\\\\Gone%05d\\\\INSTALL.EXE\\" /r"\r\n\r\n' "$i"
            else
                printf '"UninstallString"="C:\\\\Other%05d\\\\uninst.exe"\r\n\r\n' "$i"
            fi
        done
    } >"$reg"
    bench_run regedit /S 'C:\keys.reg' >/dev/null 2>&1
    rm -f "$reg"
    bl_settle
}

# bl_key_count: the number of sub-keys of the Uninstall key the bench's programs see.
bl_key_count() {
    bench_run reg query "$(bl_keys_path)" 2>/dev/null | tr -d '\r' | grep -c '^HKEY'
}

# bl_scan_program PKG: the program's own scan (ScanEarlierInstallation, through steps.exe)
# with PKG's setup information file; prints ms.
bl_scan_program() {
    local out
    out=$(bl_output "$BL_STEPS" scan "C:\\$1\\install.inf")
    case $out in
        *found=0\ ms=*) printf '%s\n' "${out##*ms=}" ;;
        *) echo "bench: steps scan went wrong: $out" >&2; return 1 ;;
    esac
}

# bl_median VALUES...: the median (the middle of the sorted values, an odd count).
bl_median() {
    printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"
}

# bl_ratio A B: A / B with two decimals.
bl_ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# bl_per A N: A / N with three decimals (time per entry).
bl_per() { awk -v a="$1" -v n="$2" 'BEGIN { printf "%.3f", a / n }'; }

# bl_within RATIO BUDGET: "ok" or "OVER BUDGET".
bl_within() { awk -v r="$1" -v b="$2" 'BEGIN { print (r <= b ? "ok" : "OVER BUDGET") }'; }

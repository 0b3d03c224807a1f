# benchlib.sh - shared steps of the install and uninstall benchmarks: the copy-loop
# baseline program, generated packages, driver runs with timestamps and medians.
# Source it after tests/e2e/lib.sh.

BL_LOOP=$E2E_BUILD/copyloop.exe
BL_UNINSTALL_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'

# bl_build_copyloop: builds the baseline program into the build folder when it is stale.
bl_build_copyloop() {
    local src=$E2E_ROOT/tests/bench/copyloop.c
    [ -x "$BL_LOOP" ] && [ "$BL_LOOP" -nt "$src" ] && return 0
    x86_64-w64-mingw32-gcc -O2 -Wall -Wextra -static -o "$BL_LOOP" "$src"
}

# bl_package DIR TITLE FOLDER COUNT SIZE: DIR (below drive C) gets COUNT files of SIZE
# bytes of random data named b0001.dat..., an install.inf listing them as [Install] 1..COUNT
# and INSTALL.EXE; DIR/files.lst lists the files a plain loop handles (also the inf and
# the installer, which the program copies and deletes as well).
bl_package() {
    local dir=$E2E_C/$1 title=$2 folder=$3 count=$4 size=$5 digits=4 i
    rm -rf "$dir" && mkdir -p "$dir" || return 1
    head -c $((count * size)) /dev/urandom |
        split -b "$size" -a "$digits" --numeric-suffixes=1 --additional-suffix=.dat - "$dir/b"
    {
        printf '[Install]\r\nTitle=%s\r\nFolder=%s\r\nTSR=0\r\n' "$title" "$folder"
        for i in $(seq 1 "$count"); do printf '%d=b%04d.dat\r\n' "$i" "$i"; done
    } >"$dir/install.inf"
    cp "$E2E_BIN/INSTALL.exe" "$dir/INSTALL.EXE"
    { printf 'b%04d.dat\n' $(seq 1 "$count"); printf 'install.inf\nINSTALL.EXE\n'; } >"$dir/files.lst"
    [ "$(find "$dir" -name 'b*.dat' -size "${size}c" | wc -l)" -eq "$count" ]
}

# bl_loop MODE ARGS...: runs the baseline program in the bench and prints its time in ms;
# fails when a call failed.
bl_loop() {
    local out
    out=$(bench_run "$BL_LOOP" "$@" 2>&1 | tr -d '\r')
    case $out in
        *failed=0\ ms=*) printf '%s\n' "${out##*ms=}" ;;
        *) echo "bench: copyloop $1 went wrong: $out" >&2; return 1 ;;
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
    bench_wait "$driver" 300 >/dev/null 2>&1
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

# bl_median VALUES...: the median (the middle of the sorted values, an odd count).
bl_median() {
    printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"
}

# bl_ratio A B: A / B with two decimals.
bl_ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# bl_within RATIO BUDGET: "ok" or "OVER BUDGET".
bl_within() { awk -v r="$1" -v b="$2" 'BEGIN { print (r <= b ? "ok" : "OVER BUDGET") }'; }

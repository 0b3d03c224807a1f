#!/usr/bin/env bash
# Growth curves: install, uninstall and the start-up scan at 10, 100, 1,000 and 10,000
# entries (files of 4 KiB; sub-keys of the Uninstall key for the scan), each against its
# same-work baseline (tests/bench/baseline.c) in one bench, interleaved, three runs each.
# The install and uninstall figures are the real program's, driven through its wizard and
# its uninstall dialog as in install_bench.sh and uninstall_bench.sh; the scan figure is
# the program's own ScanEarlierInstallation timed inside tests/bench/steps.exe, against
# the baseline loop over the same keys. Prints the table with the time per entry, writes
# it to build/bench/growth.dat and plots it (gnuplot) into docs/growth.png.
# Takes 6 to 15 minutes on 2 shared cores, most of it at 10,000 entries; other sizes:
# tests/bench/growth_bench.sh 10 100 1000.
E2E_NAME=growth-bench
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/benchlib.sh"

sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(10 100 1000 10000)
out_dir=$E2E_BUILD/bench
data=$out_dir/growth.dat
runs_file=$out_dir/growth-runs.txt
plot=$E2E_ROOT/docs/growth.png
started=$SECONDS
mkdir -p "$out_dir" "$E2E_ROOT/docs"

gb_install() {  # gb_install N: "program baseline" medians
    local n=$1 line
    line=$(bl_install_rounds "p$n" "Bench $n" "Bench$n" "$n" 10) || return 1
    echo "${line%% program *}"
    echo "gb_install $n: program ${line#* program }" >>"$runs_file"
}

gb_uninstall() {  # gb_uninstall N: "program baseline" medians
    local n=$1 pkg=p$1 title="Bench $1" folder=Bench$1 i p b progs=() bases=()
    for i in 1 2 3; do
        bl_lay_out "$pkg" "$title" "$folder" "$n" || return 1
        p=$(bl_uninstall_run "$title" "$folder") || return 1
        bl_lay_out "$pkg" "$title" "$folder" "$n" || return 1
        b=$(bl_uninstall_baseline "$pkg" "$title" "$folder") || return 1
        progs+=("$p")
        bases+=("$b")
    done
    echo "$(bl_median "${progs[@]}") $(bl_median "${bases[@]}")"
    echo "${FUNCNAME[0]} $n: program ${progs[*]}; baseline ${bases[*]}" >>"$runs_file"
}

gb_scan() {  # gb_scan PKG: "program baseline" medians over the keys present
    local i p b progs=() bases=() n=$1
    # One round of each first, not counted: the first reads of many new keys cost more.
    bl_scan_program "$1" >/dev/null && bl_baseline scan b00001.dat >/dev/null || return 1
    for i in 1 2 3; do
        p=$(bl_scan_program "$1") || return 1
        b=$(bl_baseline scan b00001.dat) || return 1
        progs+=("$p")
        bases+=("$b")
    done
    echo "$(bl_median "${progs[@]}") $(bl_median "${bases[@]}")"
    echo "${FUNCNAME[0]} $n: program ${progs[*]}; baseline ${bases[*]}" >>"$runs_file"
}

bl_require || exit 1
e2e_start growth-bench || exit 1
cp "$E2E_BIN/INSTALL.exe" "$E2E_C/windows/system32/INSTALL.EXE"
bench_run "$E2E_BIN/driver.exe" NUL >/dev/null 2>&1  # warm up the driver once
base_keys=$(bl_key_count)
keys=0
: >"$runs_file"
echo "# job entries program_ms baseline_ms ratio program_us_per_entry baseline_us_per_entry" >"$data"
for n in "${sizes[@]}"; do
    bl_package "p$n" "Bench $n" "Bench$n" "$n" 4096 ||
        { echo "growth-bench: the package of $n could not be made" >&2; exit 1; }
    # The r_ results are read back by name below.
    # shellcheck disable=SC2034
    r_install=$(gb_install "$n") || exit 1
    # shellcheck disable=SC2034
    r_uninstall=$(gb_uninstall "$n") || exit 1
    bl_add_keys $((keys + 1)) "$n"
    keys=$n
    # shellcheck disable=SC2034
    r_scan=$(gb_scan "p$n") || exit 1
    rm -rf "${E2E_C:?}/p$n"
    scanned=$(bl_key_count)
    for job in install uninstall scan; do
        eval "read -r p b <<<\"\$r_$job\""
        entries=$n
        [ "$job" = scan ] && entries=$scanned
        printf '%s %s %s %s %s %s %s\n' "$job" "$entries" "$p" "$b" "$(bl_ratio "$p" "$b")" \
            "$(awk -v a="$p" -v n="$entries" 'BEGIN { printf "%.1f", a * 1000 / n }')" \
            "$(awk -v a="$b" -v n="$entries" 'BEGIN { printf "%.1f", a * 1000 / n }')" >>"$data"
    done
    echo "growth-bench: $n done after $(( SECONDS - started )) s ($(bl_load))" >&2
done
load=$(bl_load)
bench_stop

echo "== growth: medians of 3 runs, interleaved ($load; the script took $(( SECONDS - started )) s)"
echo "   (the scan's entries are the Uninstall key's sub-keys: the benchmark's and the prefix's own $base_keys)"
printf '  %-10s %8s %12s %12s %6s %14s %14s\n' job entries program baseline ratio "program/entry" "baseline/entry"
grep -v '^#' "$data" | sort -k1,1 -s | while read -r job n p b r pe be; do
    printf '  %-10s %8s %9s ms %9s ms %6s %11s us %11s us\n' "$job" "$n" "$p" "$b" "$r" "$pe" "$be"
done

gnuplot <<EOT
set terminal pngcairo size 1200,420 font "sans,10"
set output "$plot"
set multiplot layout 1,3 title "Time per entry against the number of entries (Wine, 2 shared cores; $load)"
set logscale x
set logscale y
set xrange [5:20000]
set xlabel "entries"
set ylabel "microseconds per entry"
set key bottom left
set grid
do for [job in "install uninstall scan"] {
    set title job
    plot "< grep '^".job." ' $data" using 2:6 with linespoints lw 2 pt 7 title "program", \
         "" using 2:7 with linespoints lw 2 pt 5 dt 2 title "same-work baseline"
}
unset multiplot
EOT
echo "  single runs (ms):"
sed 's/^gb_/    /' "$runs_file"
echo "  plot: $plot"

#!/usr/bin/env bash
# Where the install sequence's time goes: tests/bench/steps.cpp runs the program's own
# routines over a package of COUNT (default 2,000) files of SIZE bytes (default 4 KiB) in
# one bench, each part on a fresh destination, and the whole copy page as the wizard runs
# it. Five rounds; prints each part's median and minimum, and the pieces derived from the
# minima (each part adds one piece to the part before it), per step and as the share of
# the whole page.
# The minima stand for the pieces because other load on the machine only ever adds time,
# and a difference of two medians can come out below zero on a busy machine.
E2E_NAME=breakdown-bench
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/benchlib.sh"

count=${1:-2000}
size=${2:-4096}
started=$SECONDS
bl_require || exit 1
e2e_start breakdown-bench || exit 1
bl_package small "Bench Small" BenchSmall "$count" "$size" ||
    { echo "breakdown-bench: the package could not be made" >&2; exit 1; }
declare -A runs
for _ in 1 2 3 4 5; do
    out=$(bl_output "$BL_STEPS" breakdown 'C:\small\install.inf' 'C:\small' 'C:\BenchSmall')
    while read -r line; do
        case $line in
            part=*) part=${line#part=}; part=${part%% *}; ms=${line#*ms=}; ms=${ms%% *}
                    runs[$part]="${runs[$part]:-} $ms" ;;
            *) echo "breakdown-bench: $line" >&2 ;;
        esac
    done <<<"$out"
done
load=$(bl_load)
bench_stop

declare -A med low
for part in copy attributes resolve entries finish chain bar page; do
    # shellcheck disable=SC2086
    med[$part]=$(bl_median ${runs[$part]})
    # shellcheck disable=SC2086
    low[$part]=$(printf '%s\n' ${runs[$part]} | sort -g | head -n1)
done
steps=$((count + 4))
page=${low[page]}
row() {  # row NAME MS WHAT
    printf '  %-36s %9.1f ms %8.1f us/step %5.1f %%  %s\n' "$1" "$2" \
        "$(awk -v a="$2" -v n="$steps" 'BEGIN { print a * 1000 / n }')" \
        "$(awk -v a="$2" -v p="$page" 'BEGIN { print a * 100 / p }')" "$3"
}
sub() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a - b }'; }
echo "== install sequence breakdown: $count files of $size bytes, $steps steps, 5 rounds ($load; the script took $(( SECONDS - started )) s)"
echo "   pieces from the minima of the rounds:"
row "copy itself (CopyFileA)" "${low[copy]}" "copy loop"
row "attributes (SetFileAttributesA)" "$(sub "${low[attributes]}" "${low[copy]}")" "copy+attributes loop less copy loop"
row "entry resolution ([Install] held)" "${low[resolve]}" "resolution loop"
row "existence/date checks, folder levels" "$(sub "$(sub "${low[entries]}" "${low[attributes]}")" "${low[resolve]}")" "CopyEntry loop less the three above"
row "links and uninstall entry" "${low[finish]}" "the last step alone"
row "posting and dispatch" "${low[chain]}" "chain of empty steps"
row "progress bar" "$(sub "${low[bar]}" "${low[chain]}")" "chain with the bar less the chain"
row "rest (step 0, page's own work)" "$(sub "$page" "$(awk -v a="${low[entries]}" -v b="${low[finish]}" -v c="${low[bar]}" 'BEGIN { print a + b + c }')")" "page less all the above"
row "whole copy page" "$page" "every step through CopyPageProc"
echo "   each part over its rounds (ms):"
for part in copy attributes resolve entries finish chain bar page; do
    printf '  %-11s median %9.1f  min %9.1f  runs%s\n' "$part" "${med[$part]}" "${low[$part]}" "${runs[$part]}"
done

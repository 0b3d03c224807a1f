#!/usr/bin/env bash
# The copy call against a read and write loop: a package of COUNT files of SIZE bytes
# (default 20 of 8 MiB) is copied in one bench by CopyFileA (baseline.exe copy) and by
# loops of ReadFile and WriteFile through buffers of 16 KiB to 8 MiB (baseline.exe
# readwrite), each into a fresh folder after a sync, interleaved over five rounds; prints
# the medians and each against CopyFileA. Only the copies are timed (no attributes, links
# or registry values).
#
#   tests/bench/copy_bench.sh [COUNT [SIZE]]
E2E_NAME=copy-bench
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/benchlib.sh"

count=${1:-20}
size=${2:-$((8 * 1024 * 1024))}
buffers=(16 32 64 256 1024 8192)
started=$SECONDS
bl_require || exit 1
e2e_start copy-bench || exit 1
bl_package copy "Bench Copy" BenchCopy "$count" "$size" ||
    { echo "copy-bench: the package could not be made" >&2; exit 1; }
# Only the listed files: the package's install.inf and INSTALL.EXE stay out of the loops.
grep '^b' "$E2E_C/copy/files.lst" >"$E2E_C/copy/data.lst"

# copy_run WAY: one copy of the package into a fresh C:\BenchCopy; prints ms.
copy_run() {
    rm -rf "$E2E_C/BenchCopy" && mkdir "$E2E_C/BenchCopy" && bl_settle
    if [ "$1" = copyfile ]; then
        bl_baseline copy 'C:\copy\data.lst' 'C:\copy' 'C:\BenchCopy'
    else
        bl_baseline readwrite 'C:\copy\data.lst' 'C:\copy' 'C:\BenchCopy' "$1"
    fi
}

declare -A runs
ways=(copyfile "${buffers[@]}")
copy_run copyfile >/dev/null || exit 1  # one uncounted round reads the sources in
for _ in 1 2 3 4 5; do
    for way in "${ways[@]}"; do
        ms=$(copy_run "$way") || exit 1
        runs[$way]="${runs[$way]:-} $ms"
    done
done
load=$(bl_load)
bench_stop

echo "== copy benchmark: $count files of $size bytes, medians of 5 rounds, interleaved ($load; the script took $(( SECONDS - started )) s)"
# shellcheck disable=SC2086
base=$(bl_median ${runs[copyfile]})
for way in "${ways[@]}"; do
    # shellcheck disable=SC2086
    ms=$(bl_median ${runs[$way]})
    what="ReadFile/WriteFile, $way KiB buffer"
    [ "$way" = copyfile ] && what="CopyFileA"
    printf '  %-36s %9.1f ms %6s  runs%s\n' "$what" "$ms" "$(bl_ratio "$ms" "$base")" "${runs[$way]}"
done

#!/usr/bin/env bash
# The install sequence against the same work done by a plain program, in one bench: a
# package of 2,000 files of 4 KiB and one of 20 files of 8 MiB are installed through the
# wizard (both links chosen), driven by the driver; the time runs from pressing Next into
# the copy page until Finish is enabled, less the page's fixed 300 ms start delay (driver
# timestamps, looking every 10 ms).
# The baseline (tests/bench/baseline.c, "install") does the same work timed inside its
# process: CopyFileA and SetFileAttributesA of the same files, the same two links saved
# through IShellLinkA/IPersistFile and the same two registry values. Five runs of each,
# interleaved, fresh destinations; prints the medians and the ratio program/baseline.
# BL_CLASSIC=1 runs the wizard with the classic look instead of Wine's default theme.
E2E_NAME=install-bench
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/benchlib.sh"

IB_BUDGET=${IB_BUDGET:-1.10}
started=$SECONDS
BL_ROUNDS=5

bl_require || exit 1
e2e_start install-bench || exit 1
if ! bl_package small "Bench Small" BenchSmall 2000 4096 ||
    ! bl_package big "Bench Big" BenchBig 20 $((8 * 1024 * 1024)); then
    echo "install-bench: the packages could not be made" >&2
    exit 1
fi
look=$(bl_look) || exit 1
bench_run "$E2E_BIN/driver.exe" NUL >/dev/null 2>&1  # warm up the driver once
: >"$E2E_LOGS/page-change-small.txt"
: >"$E2E_LOGS/page-change-big.txt"
BL_PAGE_FILE=$E2E_LOGS/page-change-small.txt
small=$(bl_install_rounds small "Bench Small" BenchSmall 2000 10) || exit 1
BL_PAGE_FILE=$E2E_LOGS/page-change-big.txt
big=$(bl_install_rounds big "Bench Big" BenchBig 20 10) || exit 1
load=$(bl_load)
bench_stop

echo "== install benchmark ($look): medians of $BL_ROUNDS runs, interleaved ($load; the script took $(( SECONDS - started )) s)"
printf '  %-28s %10s %12s %6s  %s\n' package program baseline ratio "budget $IB_BUDGET"
for label in small big; do
    line=$small
    what="2,000 files of 4 KiB (+2)"
    [ "$label" = big ] && line=$big what="20 files of 8 MiB (+2)"
    read -r prog base runs <<<"$line"
    ratio=$(bl_ratio "$prog" "$base")
    printf '  %-28s %7s ms %9.1f ms %6s  %s\n' "$what" "$prog" "$base" "$ratio" "$(bl_within "$ratio" "$IB_BUDGET")"
    printf '  %-28s runs: %s ms\n' "" "$runs"
    # shellcheck disable=SC2046
    printf '  %-28s the page change in it (Next until the bar is seen): median %s ms\n' "" \
        "$(bl_median $(cat "$E2E_LOGS/page-change-$label.txt"))"
done
echo "  program: from pressing Next into the copy page until Finish is enabled, less the fixed"
echo "  ${BL_START_DELAY} ms start delay; baseline: the same copies, attributes, links and registry values"

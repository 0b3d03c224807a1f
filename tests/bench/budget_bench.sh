#!/usr/bin/env bash
# The budget figures in one run: the start-up scan, install and uninstall benchmarks one
# after the other (each in a bench of its own, program and baseline interleaved), then
# the size of the shipped program. Takes about 5 minutes on 2 shared cores.
dir=$(dirname "$0")
status=0
for bench in startup_bench.sh install_bench.sh uninstall_bench.sh; do
    bash "$dir/$bench" || status=1
done
bash "$dir/../../scripts/size.sh" || status=1
exit $status

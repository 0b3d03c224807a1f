#!/usr/bin/env bash
# Growth of the setup-file checker: packages of 1,000, 20,000 and 100,000 entries (or the
# sizes given), each entry a source file of its own that is there, checked by infcheck
# built natively with -O2 and without sanitizers (into build/bench/infcheck, from the
# sources of this checkout; INFCHECK names another build instead). RUNS runs per size
# (3); prints the median wall and CPU times and the CPU time per entry, with the load
# average.
# Run by hand, never by the test command. Takes under a minute here.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${BUILD_DIR:-$root/build}/bench
mkdir -p "$out"
infcheck=${INFCHECK:-}
if [ -z "$infcheck" ]; then
    infcheck=$out/infcheck
    g++ -O2 -std=c++17 -I"$root/src" -I"$root/tools" "$root"/tools/infcheck/*.cpp \
        "$root"/src/core/*.cpp -o "$infcheck"
fi
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 20000 100000)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# package N: $work/pN with N entries, each naming a file of the package.
package() {
    local dir=$work/p$1
    mkdir -p "$dir"
    {
        printf '[Install]\r\nTitle=Growth\r\nFolder=Growth\r\n'
        seq 1 "$1" | awk '{printf "%d=f%d.dat\r\n", $1, $1}'
        printf '[Group]\r\n1=Uninstall,install.exe,/r\r\n'
    } >"$dir/install.inf"
    (cd "$dir" && seq 1 "$1" | sed 's/^/f/; s/$/.dat/' | xargs touch)
}

# median N...: the middle one of the numbers (the upper one of the two middle ones).
median() {
    printf '%s\n' "$@" | sort -g | sed -n "$(($# / 2 + 1))p"
}

echo "infcheck: $infcheck; load average: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '| entries | file | wall | CPU | CPU per entry |\n|---|---|---|---|---|\n'
for n in "${sizes[@]}"; do
    package "$n"
    walls=() cpus=()
    for _ in $(seq 1 "${RUNS:-3}"); do
        # %e wall seconds, %U and %S the CPU seconds of user and system.
        /usr/bin/time -f '%e %U %S' -o "$work/time" "$infcheck" "$work/p$n" >/dev/null || true
        read -r wall user system <"$work/time"
        walls+=("$wall")
        cpus+=("$(awk -v u="$user" -v s="$system" 'BEGIN {printf "%.2f", u + s}')")
    done
    wall=$(median "${walls[@]}")
    cpu=$(median "${cpus[@]}")
    bytes=$(stat -c %s "$work/p$n/install.inf")
    printf '| %s | %s bytes | %s s | %s s | %s µs |\n' "$n" "$bytes" "$wall" "$cpu" \
        "$(awk -v c="$cpu" -v n="$n" 'BEGIN {printf "%.0f", c * 1000000 / n}')"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

#!/usr/bin/env bash
# Checks the folders of src/ against the order README.md declares (its Layout section,
# the indented line "core base resources < common < ..."): a folder may include only
# folders of lower levels, so an include sideways (within a level) or upwards fails, and
# so does a folder the order does not place or a circle. Prints who includes whom
# (folder -> folders it includes) and every fault found.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root/src" || exit 1
order=$(grep -E '^    [a-z_ ]+( < [a-z_ ]+)+$' "$root/README.md" | head -n 1)
[ -n "$order" ] || { echo "folders: README.md declares no order (an indented line a < b < c)"; exit 1; }
echo "folders: order: ${order#    }"
# level[FOLDER]: its level in the order, 0 the lowest; each "<" begins the next level.
declare -A level=()
n=0
for word in $order; do
    if [ "$word" = "<" ]; then n=$((n + 1)); else level[$word]=$n; fi
done
edges=$(grep -H -o -E '^#include "[a-z_]+/' -- */*.h */*.cpp 2>/dev/null |
  sed -E 's|^([a-z_]+)/[^:]*:#include "([a-z_]+)/$|\1 \2|' | awk '$1 != $2' | sort -u)
echo "$edges" | awk '{a[$1] = a[$1] (a[$1] ? ", " : "") $2} END {for (f in a) print "folders: " f " -> " a[f]}' | sort
faults=0
for dir in */; do
    folder=${dir%/}
    if [ -z "${level[$folder]:-}" ]; then
        echo "folders: $folder is not in the order"
        faults=$((faults + 1))
    fi
done
while read -r from to; do
    if [ -z "$from" ] || [ -z "${level[$from]:-}" ] || [ -z "${level[$to]:-}" ]; then continue; fi
    if [ "${level[$to]}" -eq "${level[$from]}" ]; then
        echo "folders: $from includes $to, sideways (both at level ${level[$from]})"
        faults=$((faults + 1))
    elif [ "${level[$to]}" -gt "${level[$from]}" ]; then
        echo "folders: $from includes $to, upwards (level ${level[$from]} below ${level[$to]})"
        faults=$((faults + 1))
    fi
done <<<"$edges"
loops=$( (echo "$edges"; for d in */; do echo "${d%/} ${d%/}"; done) | tsort 2>&1 >/dev/null)
if [ -n "$loops" ]; then
  echo "folders: include cycle"
  echo "$loops" | awk '/input contains a loop/ {if (l) print "  loop:" l; l = ""; next} {l = l " " $2} END {if (l) print "  loop:" l}'
  faults=$((faults + 1))
fi
if [ "$faults" -gt 0 ]; then
    echo "folders: faults: $faults"
    exit 1
fi
echo "folders: every include goes down the order; no include cycle"

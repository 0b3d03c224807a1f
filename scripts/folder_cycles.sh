#!/usr/bin/env bash
# Fails when source folders include each other in a circle. Prints who includes whom
# (folder -> folders it includes) and every loop found.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root/src" || exit 1
edges=$(grep -H -o -E '^#include "[a-z_]+/' -- */*.h */*.cpp 2>/dev/null |
  sed -E 's|^([a-z_]+)/[^:]*:#include "([a-z_]+)/$|\1 \2|' | awk '$1 != $2' | sort -u)
echo "$edges" | awk '{a[$1] = a[$1] (a[$1] ? ", " : "") $2} END {for (f in a) print "folders: " f " -> " a[f]}' | sort
loops=$( (echo "$edges"; for d in */; do echo "${d%/} ${d%/}"; done) | tsort 2>&1 >/dev/null)
if [ -n "$loops" ]; then
  echo "folders: include cycle"
  echo "$loops" | awk '/input contains a loop/ {if (l) print "  loop:" l; l = ""; next} {l = l " " $2} END {if (l) print "  loop:" l}'
  exit 1
fi
echo "folders: no include cycle"

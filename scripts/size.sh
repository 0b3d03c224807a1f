#!/usr/bin/env bash
# Prints the size of the shipped 32-bit program and fails when it is 64 KiB or more.
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${BUILD_DIR:-$root/build}/i686/INSTALL.exe
[ -f "$exe" ] || { echo "size: $exe is missing"; exit 1; }
size=$(stat -c %s "$exe")
limit=65536
echo "size: i686 INSTALL.exe is $size bytes ($(( (size + 1023) / 1024 )) KiB; limit $limit)"
imports=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr '\n' ' ')
echo "size: imports $imports"
[ "$size" -lt "$limit" ]

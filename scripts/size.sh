#!/usr/bin/env bash
# Prints the size of the shipped 32-bit program by section and its imports; fails when it
# is larger than 32 KiB (32,768 bytes), or when its headers do not lead the loader to its
# import table (the linker script cmake/i686-program.ld places that table itself).
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${BUILD_DIR:-$root/build}/i686/INSTALL.exe
[ -f "$exe" ] || { echo "size: $exe is missing"; exit 1; }
size=$(stat -c %s "$exe")
limit=32768
echo "size: i686 INSTALL.exe is $size bytes ($(( (size + 1023) / 1024 )) KiB; limit $limit)"
sections=$(i686-w64-mingw32-objdump -h "$exe" | while read -r idx name bytes _; do
    [[ $idx =~ ^[0-9]+$ ]] && printf '%s %d, ' "$name" "$((16#$bytes))"; done)
echo "size: sections ${sections%, } (bytes of contents; file alignment 512)"
imports=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr '\n' ' ')
echo "size: imports $imports"
import_dir=$(i686-w64-mingw32-objdump -p "$exe" | awk '$1 == "Entry" && $2 == "1" { print $3 }')
iat_dir=$(i686-w64-mingw32-objdump -p "$exe" | awk '$1 == "Entry" && $2 == "c" { print $3 }')
if [ "${import_dir:-00000000}" = 00000000 ] || [ "${iat_dir:-00000000}" = 00000000 ]; then
    echo "size: the import directory entries are empty (import $import_dir, address table $iat_dir)"
    exit 1
fi
if [ "$size" -gt "$limit" ]; then
    echo "size: $size bytes is above the limit of $limit"
    exit 1
fi

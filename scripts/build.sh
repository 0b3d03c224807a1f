#!/usr/bin/env bash
# Builds the program for both targets, each with its tests and test helpers: build/i686
# (the shipped 32-bit build, tested in Wine's WoW64 mode) and build/x86_64 (the same source
# in 64 bits, where the wizard pages run); and the native build of the core for this
# machine in build/native (its tests, the fuzz targets and the setup-file checker
# infcheck). Extra arguments go to cmake --build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
for arch in i686 x86_64; do
  cmake -S "$root" -B "$build/$arch" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
    -DINSTALL_BUILD_TESTS=ON -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
  cmake --build "$build/$arch" -j "$(nproc)" "$@"
done

bash "$root/scripts/native.sh" "$@"

#!/usr/bin/env bash
# Builds the program for both targets: build/i686 (the shipped 32-bit build) and
# build/x86_64 (the build the tests run under Wine), and the native build of the core for
# this machine in build/native (its tests, the fuzz targets and the setup-file checker
# infcheck). Extra arguments go to cmake --build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
for arch in i686 x86_64; do
  tests=ON
  [ "$arch" = i686 ] && tests=OFF
  cmake -S "$root" -B "$build/$arch" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
    -DINSTALL_BUILD_TESTS=$tests -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
  cmake --build "$build/$arch" -j "$(nproc)" "$@"
done

bash "$root/scripts/native.sh" "$@"

#!/usr/bin/env bash
# Builds the core natively with clang into build/native (unit tests and fuzz targets, under
# AddressSanitizer and UndefinedBehaviorSanitizer). Extra arguments go to cmake --build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}/native
CC=clang CXX=clang++ cmake -S "$root/tests/native" -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j 2 "$@"

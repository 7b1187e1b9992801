#!/usr/bin/env bash
# Builds one configuration into build-<name>:
#   parallel   (default) OpenMP loops
#   sequential plain loops, the sequential sink tolerance
#   sanitize   parallel build with AddressSanitizer and UndefinedBehaviorSanitizer
#   nogdal     parallel build without GDAL: native grid formats only
#   fuzz       sequential clang build of the libFuzzer targets with both sanitizers,
#              without GDAL, tests and benchmarks
#   fuzz-gdal  the same with GDAL, so that the grid reader's inputs reach it too
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
config=${1:-parallel}
case "$config" in
  parallel)   flags=(-DOROGRAD_SEQUENTIAL=OFF) ;;
  sequential) flags=(-DOROGRAD_SEQUENTIAL=ON) ;;
  sanitize)   flags=(-DOROGRAD_SEQUENTIAL=OFF -DOROGRAD_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOROGRAD_BENCH=OFF) ;;
  nogdal)     flags=(-DOROGRAD_SEQUENTIAL=OFF -DOROGRAD_GDAL=OFF -DOROGRAD_BENCH=OFF) ;;
  fuzz)       export CC=clang CXX=clang++
              flags=(-DOROGRAD_SEQUENTIAL=ON -DOROGRAD_SANITIZE=ON -DOROGRAD_FUZZ=ON -DOROGRAD_GDAL=OFF
                     -DOROGRAD_TESTS=OFF -DOROGRAD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  fuzz-gdal)  export CC=clang CXX=clang++
              flags=(-DOROGRAD_SEQUENTIAL=ON -DOROGRAD_SANITIZE=ON -DOROGRAD_FUZZ=ON -DOROGRAD_GDAL=ON
                     -DOROGRAD_TESTS=OFF -DOROGRAD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  *) echo "unknown configuration: $config (parallel, sequential, sanitize, nogdal, fuzz or fuzz-gdal)" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$root/build-$config" -G Ninja "${flags[@]}" >/dev/null
ninja -C "$root/build-$config" ${NINJA_JOBS:+-j "$NINJA_JOBS"}

#!/usr/bin/env bash
# Builds and runs every test in the named configurations (default: parallel and
# sequential), then checks that both builds write the same bytes for the example.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
configs=("$@")
[ ${#configs[@]} -gt 0 ] || configs=(parallel sequential)
for config in "${configs[@]}"; do
  echo "=== $config build"
  "$root/scripts/build.sh" "$config"
  echo "=== $config tests"
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  ctest --test-dir "$root/build-$config" --output-on-failure -j 2
done
if [ -x "$root/build-parallel/orograd" ] && [ -x "$root/build-sequential/orograd" ]; then
  "$root/scripts/compare-builds.sh"
fi

#!/usr/bin/env bash
# Builds the fuzz configurations and runs every fuzz target for a bounded time
# (FUZZ_SECONDS, default 60) from its seed corpus, two at a time; the grid reader runs
# once more in the build with GDAL. Any crash, leak, timeout or sanitizer report fails
# the script; its input is left in build-fuzz/findings/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-60}
"$root/scripts/build.sh" fuzz
"$root/scripts/build.sh" fuzz-gdal
findings="$root/build-fuzz/findings"
mkdir -p "$findings"
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The probes create and empty a scratch folder per input; in memory that costs far less.
if [[ -z "${TMPDIR:-}" && -w /dev/shm ]]; then export TMPDIR=/dev/shm; fi

# run_target <build folder> <target>
run_target() {
  local build=$1 target=$2 name=$1-$2
  local corpus="$root/$build/corpus/$target"
  mkdir -p "$corpus"
  "$root/$build/fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=2048 \
    -timeout=10 -artifact_prefix="$findings/$name-" "$corpus" "$root/fuzz/corpus/$target" \
    >"$findings/$name.log" 2>&1 || { echo "$name: finding, see $findings/$name.log" >&2; return 1; }
  echo "$name: $(grep -E '^#[0-9]+' "$findings/$name.log" | tail -n 1)"
}

status=0
for pair in "build-fuzz:preprocessor build-fuzz:control_values" "build-fuzz:grid_reader build-fuzz:whole_run" \
            "build-fuzz-gdal:grid_reader"; do
  pids=()
  for job in $pair; do run_target "${job%%:*}" "${job#*:}" & pids+=($!); done
  for pid in "${pids[@]}"; do wait "$pid" || status=1; done
done
exit $status

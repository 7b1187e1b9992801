#!/usr/bin/env bash
# Builds the fuzz configuration and runs every fuzz target for a bounded time
# (FUZZ_SECONDS, default 60) from its seed corpus, two at a time. Any crash, leak,
# timeout or sanitizer report fails the script; its input is left in build-fuzz/findings/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-60}
"$root/scripts/build.sh" fuzz
findings="$root/build-fuzz/findings"
mkdir -p "$findings"
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The probes create and empty a scratch folder per input; in memory that costs far less.
if [[ -z "${TMPDIR:-}" && -w /dev/shm ]]; then export TMPDIR=/dev/shm; fi

run_target() {
  local target=$1 corpus="$root/build-fuzz/corpus/$1"
  mkdir -p "$corpus"
  "$root/build-fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=2048 \
    -timeout=10 -artifact_prefix="$findings/$target-" "$corpus" "$root/fuzz/corpus/$target" \
    >"$findings/$target.log" 2>&1 || { echo "fuzz_$target: finding, see $findings/$target.log" >&2; return 1; }
  echo "fuzz_$target: $(grep -E '^#[0-9]+' "$findings/$target.log" | tail -n 1)"
}

status=0
for pair in "preprocessor control_values" "grid_reader whole_run"; do
  pids=()
  for target in $pair; do run_target "$target" & pids+=($!); done
  for pid in "${pids[@]}"; do wait "$pid" || status=1; done
done
exit $status

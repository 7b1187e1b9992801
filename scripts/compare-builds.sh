#!/usr/bin/env bash
# Runs the parallel and the sequential build on the bundled example and checks that
# every grid they write is byte for byte the same.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for config in parallel sequential; do
  mkdir -p "$work/$config/output"
  cp "$root/examples/example.ctl" "$root"/examples/*.asc "$work/$config/"
  if ! (cd "$work/$config" && "$root/build-$config/orograd" example.ctl -f:d >"$work/$config.log"); then
    echo "the $config build failed on the example:" >&2
    tail -n 5 "$work/$config.log" >&2
    exit 1
  fi
done
if diff -r "$work/parallel/output" "$work/sequential/output" >/dev/null; then
  echo "parallel and sequential builds wrote identical grids ($(ls "$work/parallel/output" | wc -l) files)"
else
  echo "parallel and sequential builds wrote different grids:" >&2
  diff -rq "$work/parallel/output" "$work/sequential/output" >&2 || true
  exit 1
fi

#!/usr/bin/env bash
# Runs the parallel and the sequential build on the bundled example and checks that
# every grid they write is byte for byte the same.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for config in parallel sequential; do
  mkdir -p "$work/$config/output"
  cp "$root/examples/example.ctl" "$root/examples/olinda_dem_90m.asc" "$work/$config/"
  (cd "$work/$config" && "$root/build-$config/orograd" example.ctl -f:d >/dev/null)
done
if diff -r "$work/parallel/output" "$work/sequential/output" >/dev/null; then
  echo "parallel and sequential builds wrote identical grids ($(ls "$work/parallel/output" | wc -l) files)"
else
  echo "parallel and sequential builds wrote different grids:" >&2
  diff -rq "$work/parallel/output" "$work/sequential/output" >&2 || true
  exit 1
fi

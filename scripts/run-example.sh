#!/usr/bin/env bash
# Builds the program and runs it on the bundled example; results land in
# examples/output/. The build's progress goes to standard error, so that standard
# output holds only what the example run prints.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
echo "=== building build-parallel (the first build takes a few minutes)" >&2
"$root/scripts/build.sh" parallel >&2
echo "=== running examples/example.ctl" >&2
mkdir -p "$root/examples/output"
cd "$root/examples"
"$root/build-parallel/orograd" example.ctl "$@"

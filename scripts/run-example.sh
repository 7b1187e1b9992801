#!/usr/bin/env bash
# Builds the program and runs it on the bundled example; results land in
# examples/output/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" parallel >/dev/null
mkdir -p "$root/examples/output"
cd "$root/examples"
"$root/build-parallel/orograd" example.ctl "$@"

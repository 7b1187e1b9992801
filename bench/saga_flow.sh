#!/usr/bin/env bash
# Side-by-side peer benchmark of flow directions plus accumulation, in one run on the
# same machine: SAGA GIS's Wang & Liu fill (ta_preprocessor 5) and D8 accumulation in
# cells (ta_hydrology 0, METHOD 0), .sgrd in and out after an untimed import, against
# orograd's [Flowdirection] and [Flowaccumulation] (threshold 1000), text in and out,
# in the OpenMP and the sequential build. Two 4096x4096 DEMs: the fractal one
# (`make_terrain 4096 4096 fractal.asc 1`, pits and flats) and the conditioned one,
# the filled DEM orograd writes for it (no pits, the same flats). Wall times are
# medians of N runs; the runs alternate the programs. What the second core gives at
# the time is measured in each run too: two sequential runs at once against one.
#
# usage: bench/saga_flow.sh [runs=3] [work-folder=/tmp/saga_flow]
#        env: BUILD, SEQUENTIAL (build folders, default <repo>/build-parallel and
#        <repo>/build-sequential), SETTLE (idle seconds before each timed run, 10)
set -euo pipefail

N=${1:-3}
WORK=${2:-/tmp/saga_flow}
REPO=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$REPO/build-parallel}
SEQUENTIAL=${SEQUENTIAL:-$REPO/build-sequential}
SETTLE=${SETTLE:-10}

source "$REPO/bench/saga_support.sh"
require_tools orograd make_terrain
[[ -x $SEQUENTIAL/orograd ]] || { echo "$SEQUENTIAL/orograd missing: scripts/build.sh sequential"; exit 1; }
mkdir -p "$WORK"
WORK=$(cd "$WORK" && pwd)
cd "$WORK"

# dem, output folder: a control file with the DEM and the two flow sections only.
flow_control() {
  cat <<EOF
[Hoehenmodell]
1
$1
EOF
  local section
  for section in Aspect Gefaelle Profilcurvature Plancurvature Curvature; do printf '\n[%s]\n0\n' "$section"; done
  cat <<EOF

[Flowdirection]
1
$2/flowdirection.asc
$2/sinks.asc
$2/filled_dem.asc

[Flowaccumulation]
1
$2/flowaccumulation.asc
$2/flowdirection.asc
1000
EOF
}

echo "$(saga_cmd --version | grep -m1 'SAGA Version'), $(nproc) cores, $N runs, work folder $WORK"
echo "preparing (untimed): DEMs, control files, SAGA imports"
: >saga.log
mkdir -p out
"$BUILD/make_terrain" 4096 4096 fractal.asc 1 >/dev/null
flow_control fractal.asc out >fractal.ctl
orograd fractal.ctl
cp out/filled_dem.asc conditioned.asc
flow_control conditioned.asc out >conditioned.ctl
mkdir -p out_b
flow_control conditioned.asc out_b >conditioned_b.ctl
for dem in fractal conditioned; do saga io_grid 1 -FILE "$dem.asc" -GRID "$dem.sgrd"; done

# label, command...: runs the command once and adds its wall time to the array `label`.
# The outputs of the command before are flushed to disk first, untimed, so that no
# program pays for writing back another's files. Then the machine idles SETTLE
# seconds: on the VM the program timed right after SAGA's half minute on both cores ran
# up to a second slower than the one after it (2.9 s against 1.9 to 2.6 s for the
# OpenMP build on the conditioned DEM), and 10 idle seconds took that away.
timed() {
  local -n times=$1
  shift
  local a
  sync
  sleep "$SETTLE"
  a=$(now)
  "$@"
  times+=("$(echo "$(now) - $a" | bc)")
}
declare -a saga_fractal saga_conditioned omp_fractal omp_conditioned seq_fractal seq_conditioned
saga_flow() {
  saga ta_preprocessor 5 -ELEV "$1.sgrd" -FILLED filled.sgrd -MINSLOPE 0.1
  saga ta_hydrology 0 -ELEVATION filled.sgrd -FLOW acc.sgrd -METHOD 0 -FLOW_UNIT 0
}
sequential() { BUILD=$SEQUENTIAL orograd "$1"; }
# Two sequential runs of the conditioned DEM at once, into separate folders. On a
# machine that gives both cores they take as long as one alone; on a host that takes
# a core away, as long as two one after the other.
sequential_pair() {
  "$SEQUENTIAL/orograd" conditioned_b.ctl >/dev/null &
  local other=$!
  "$SEQUENTIAL/orograd" conditioned.ctl >/dev/null || { echo "orograd conditioned.ctl failed"; exit 1; }
  wait "$other" || { echo "orograd conditioned_b.ctl failed"; exit 1; }
}
# ratios, over, under, factor: appends to the array `ratios` factor (default 1) times
# the last time of the array `over` over the last of `under`.
add_ratio() {
  local -n ratios=$1 over=$2 under=$3
  ratios+=("$(echo "${4:-1} * ${over[-1]} / ${under[-1]}" | bc -l)")
}
declare -A program=([omp]=orograd [seq]=sequential)
declare -a pair_times ratio_fractal ratio_conditioned two_cores
for ((run = 1; run <= N; run++)); do
  echo "run $run of $N"
  for dem in fractal conditioned; do
    timed "saga_$dem" saga_flow "$dem"
    # The two builds take turns at coming first.
    builds=(omp seq)
    ((run % 2)) || builds=(seq omp)
    for build in "${builds[@]}"; do timed "${build}_$dem" "${program[$build]}" "$dem.ctl"; done
    add_ratio "ratio_$dem" "seq_$dem" "omp_$dem"
  done
  timed pair_times sequential_pair
  add_ratio two_cores seq_conditioned pair_times 2
done

echo
printf '%-62s %8s  %s\n' "seconds, $N runs" median range
for dem in fractal conditioned; do
  row "SAGA fill + D8 accumulation, $dem DEM (.sgrd)" "saga_$dem"
  row "orograd [Flowdirection] + [Flowaccumulation], OpenMP, text" "omp_$dem"
  row "orograd, sequential build" "seq_$dem"
done
echo
for dem in fractal conditioned; do
  s=$(eval median "\${saga_$dem[@]}") o=$(eval median "\${omp_$dem[@]}") q=$(eval median "\${seq_$dem[@]}")
  printf '%-62s %8.2f\n' "$dem: orograd OpenMP / SAGA" "$(echo "$o / $s" | bc -l)" \
    "$dem: orograd sequential / OpenMP" "$(echo "$q / $o" | bc -l)"
done
echo
printf '%-62s %8s  %s\n' "ratios run by run" median range
row "fractal: orograd sequential / OpenMP, same run" ratio_fractal
row "conditioned: orograd sequential / OpenMP, same run" ratio_conditioned
row "two cores: 2 x sequential alone / two sequential at once" two_cores
printf '%-62s %8.0f MiB\n' "peak memory, largest SAGA process" "$(echo "$SAGA_PEAK_KB / 1024" | bc -l)" \
  "peak memory, orograd" "$(echo "$OROGRAD_PEAK_KB / 1024" | bc -l)"

#!/usr/bin/env bash
# Side-by-side peer benchmark of the whole typical run against SAGA GIS's nearest
# chain, on the same machine in one run and on the same DEM. Measures wall times
# (medians of N runs) and the peak memory of the largest process of each side:
#   - SAGA: ESRI ASCII import of the DEM (io_grid 1), Wang & Liu fill
#     (ta_preprocessor 5), D8 flow accumulation in cells (ta_hydrology 0, METHOD 0),
#     channel network on cells of accumulation above the threshold (ta_channels 0),
#     watershed basins of its channel segments (ta_channels 1), and ASCII export
#     (io_grid 0) of the accumulation, the channel network and the basins;
#   - orograd: the real program on pipeline_bench's control file (slope, aspect,
#     flow directions, accumulation, network, orders, three correction runs,
#     separation of orders 1 to 6, travel times, subbasins of 20 pour points), text
#     grids in and out.
# Both start from the 4096x4096 fractal DEM of `pipeline_bench 4096 20 <work> prepare`
# (make_terrain, seed 1, cell size 25), prepared untimed, threshold 350 cells.
# SAGA has no pour point subbasins with routing; its basins are those of every
# channel segment, so the chains are alike in kind, not in every output.
#
# usage: bench/saga_pipeline.sh [runs=3] [work-folder=/tmp/saga_pipeline]
#        env: BUILD (build folder, default <repo>/build-parallel)
set -euo pipefail

N=${1:-3}
WORK=${2:-/tmp/saga_pipeline}
REPO=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$REPO/build-parallel}
THRESHOLD=350  # pipeline_bench's river threshold

source "$REPO/bench/saga_support.sh"
require_tools orograd bench/pipeline_bench
mkdir -p "$WORK"
WORK=$(cd "$WORK" && pwd)
cd "$WORK"

echo "$(saga_cmd --version | grep -m1 'SAGA Version'), $(nproc) cores, $N runs, work folder $WORK"
echo "preparing (untimed): DEM, pour points and control file"
: >saga.log
"$BUILD/bench/pipeline_bench" 4096 20 "$WORK" prepare >/dev/null
DEM=pipeline_bench_dem.asc
CONTROL=pipeline_bench_run.ctl

declare -a imp fill acc chn bas exa exc exb tools chain run_all
for ((run = 1; run <= N; run++)); do
  echo "run $run of $N"
  a=$(now); saga io_grid 1 -FILE "$DEM" -GRID dem.sgrd
  b=$(now); saga ta_preprocessor 5 -ELEV dem.sgrd -FILLED filled.sgrd -MINSLOPE 0.1
  c=$(now); saga ta_hydrology 0 -ELEVATION filled.sgrd -FLOW acc.sgrd -METHOD 0 -FLOW_UNIT 0
  d=$(now); saga ta_channels 0 -ELEVATION filled.sgrd -INIT_GRID acc.sgrd -INIT_METHOD 2 -INIT_VALUE "$THRESHOLD" \
              -CHNLNTWRK channels.sgrd -CHNLROUTE route.sgrd -SHAPES channels.shp
  e=$(now); saga ta_channels 1 -ELEVATION filled.sgrd -CHANNELS channels.sgrd -BASINS basins.sgrd
  f=$(now); saga io_grid 0 -GRID acc.sgrd -FILE acc.asc
  g=$(now); saga io_grid 0 -GRID channels.sgrd -FILE channels.asc
  h=$(now); saga io_grid 0 -GRID basins.sgrd -FILE basins.asc
  i=$(now); orograd "$CONTROL"
  j=$(now)
  imp+=("$(echo "$b - $a" | bc)") fill+=("$(echo "$c - $b" | bc)") acc+=("$(echo "$d - $c" | bc)")
  chn+=("$(echo "$e - $d" | bc)") bas+=("$(echo "$f - $e" | bc)") exa+=("$(echo "$g - $f" | bc)")
  exc+=("$(echo "$h - $g" | bc)") exb+=("$(echo "$i - $h" | bc)")
  tools+=("$(echo "$f - $b" | bc)") chain+=("$(echo "$i - $a" | bc)") run_all+=("$(echo "$j - $i" | bc)")
done

T=$(median "${tools[@]}") C=$(median "${chain[@]}") R=$(median "${run_all[@]}")
echo
printf '%-62s %8s  %s\n' "seconds, $N runs" median range
row "SAGA io_grid 1, import of the DEM (ASCII)" imp
row "SAGA ta_preprocessor 5, fill (Wang & Liu)" fill
row "SAGA ta_hydrology 0, D8 flow accumulation" acc
row "SAGA ta_channels 0, channel network (accumulation > $THRESHOLD)" chn
row "SAGA ta_channels 1, watershed basins" bas
row "SAGA io_grid 0, export of the accumulation (ASCII)" exa
row "SAGA io_grid 0, export of the channel network (ASCII)" exc
row "SAGA io_grid 0, export of the basins (ASCII)" exb
row "SAGA four tools alone (.sgrd in and out)" tools
row "SAGA chain with import and three exports" chain
row "orograd whole typical run, text in and out" run_all
echo
printf '%-62s %8.1f\n' "ratio SAGA four tools alone / orograd whole run" "$(echo "$T / $R" | bc -l)" \
  "ratio SAGA chain with import and export / orograd whole run" "$(echo "$C / $R" | bc -l)"
printf '%-62s %8.0f MiB\n' "peak memory, largest SAGA process" "$(echo "$SAGA_PEAK_KB / 1024" | bc -l)" \
  "peak memory, orograd" "$(echo "$OROGRAD_PEAK_KB / 1024" | bc -l)"
# SAGA's channel grid holds -1 at channel ends and a positive value elsewhere on channels.
echo "river cells: orograd $(share pipeline_bench_net.asc 1 -9999)," \
  "SAGA channel network $(share channels.asc -1 "$(awk 'NR==6{print $2}' channels.asc)")"

#!/usr/bin/env bash
# Side-by-side peer benchmark of the river sections against SAGA GIS, on the same
# machine in one run. Measures wall times (medians of N runs) of
#   - SAGA: "Channel Network and Drainage Basins" (ta_channels 5: D8 directions,
#     Strahler orders, channels from an order threshold, channel and basin shapes)
#     and "Strahler Order" (ta_channels 6), each alone on a .sgrd DEM and with the
#     ESRI ASCII import (io_grid 1) of the filled DEM and export (io_grid 0) of the
#     order grid that a user of text grids pays;
#   - orograd: [Flussnetz]+[Flussordnungen] (threshold 350 on an accumulation grid),
#     and the four river sections [Flussnetz], [Flussordnungen], [Fliesskorrektur]
#     (runs for orders 1, 2, 3) and [Flusseparation] (orders 1 to 6), text in and out.
# Both work on the 4096x4096 fractal DEM of `make_terrain 4096 4096 dem.asc 1`.
# Untimed preparation: orograd [Flowdirection]+[Flowaccumulation] (filled DEM,
# directions, accumulation); for SAGA the DEM filled by SAGA's Wang & Liu
# (ta_preprocessor 5, the default FILL=saga) or the DEM filled by orograd
# (FILL=orograd; about half of its cells are flat, which SAGA's D8 leaves without
# direction). SAGA's default order threshold (4 after SAGA's fill, 3 after orograd's)
# gives the share of channel cells found nearest to orograd's 5 % on this DEM; the
# script prints both shares.
#
# usage: bench/saga_rivers.sh [runs=3] [work-folder=/tmp/saga_rivers]
#        env: BUILD (build folder, default <repo>/build-parallel), FILL=saga|orograd,
#             ORDER (SAGA Strahler threshold), THRESHOLD (orograd, default 350)
set -euo pipefail

N=${1:-3}
WORK=${2:-/tmp/saga_rivers}
REPO=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$REPO/build-parallel}
FILL=${FILL:-saga}
THRESHOLD=${THRESHOLD:-350}
if [[ $FILL == saga ]]; then ORDER=${ORDER:-4}; else ORDER=${ORDER:-3}; fi

source "$REPO/bench/saga_support.sh"
require_tools orograd make_terrain
mkdir -p "$WORK"
cd "$WORK"
sections="[Aspect]
0
[Gefaelle]
0
[Profilcurvature]
0
[Plancurvature]
0
[Curvature]
0"

echo "$(saga_cmd --version | grep -m1 'SAGA Version'), $(nproc) cores, $N runs, work folder $WORK"
echo "preparing (untimed): DEM, orograd flow directions and accumulation, SAGA fill ($FILL)"
: >saga.log
"$BUILD/make_terrain" 4096 4096 dem.asc 1 >/dev/null
cat >prep.ctl <<EOF
[Hoehenmodell]
1
dem.asc
$sections
[Flowdirection]
1
dir.asc
sinks.asc
filled.asc
[Flowaccumulation]
1
acc.asc
dir.asc
$THRESHOLD
EOF
orograd prep.ctl
if [[ $FILL == saga ]]; then
  saga io_grid 1 -FILE dem.asc -GRID dem.sgrd
  saga ta_preprocessor 5 -ELEV dem.sgrd -FILLED saga_filled.sgrd -MINSLOPE 0.1
  saga io_grid 0 -GRID saga_filled.sgrd -FILE saga_filled.asc
  SAGA_DEM=saga_filled.asc
else
  SAGA_DEM=filled.asc
fi

cat >rivers.ctl <<EOF
$sections
[Flussnetz]
1
net.asc
acc.asc
$THRESHOLD
[Flussordnungen]
1
ord.asc
lnk.asc
net.asc
dir.asc
EOF
cat >all.ctl <<EOF
$(cat rivers.ctl)
[Fliesskorrektur]
1
cord.asc
clnk.asc
cdir.asc
cacc.asc
$THRESHOLD
filled.asc
ord.asc
dir.asc
acc.asc
net.asc
3
1
2
3
[Flusseparation]
1
sep
1
6
ord.asc
lnk.asc
dir.asc
EOF

declare -a imp t5 ex5 t6 ex6 io5 io6 riv all
for ((run = 1; run <= N; run++)); do
  echo "run $run of $N"
  a=$(now); saga io_grid 1 -FILE "$SAGA_DEM" -GRID in.sgrd
  b=$(now); saga ta_channels 5 -DEM in.sgrd -ORDER order.sgrd -SEGMENTS channels.shp -BASINS basins.shp \
              -THRESHOLD "$ORDER" -SUBBASINS 0
  c=$(now); saga io_grid 0 -GRID order.sgrd -FILE order.asc
  d=$(now); saga ta_channels 6 -DEM in.sgrd -STRAHLER strahler.sgrd
  e=$(now); saga io_grid 0 -GRID strahler.sgrd -FILE strahler.asc
  f=$(now); orograd rivers.ctl
  g=$(now); orograd all.ctl
  h=$(now)
  imp+=("$(echo "$b - $a" | bc)") t5+=("$(echo "$c - $b" | bc)") ex5+=("$(echo "$d - $c" | bc)")
  t6+=("$(echo "$e - $d" | bc)") ex6+=("$(echo "$f - $e" | bc)")
  io5+=("$(echo "$d - $a" | bc)") io6+=("$(echo "($b - $a) + ($f - $d)" | bc)")
  riv+=("$(echo "$g - $f" | bc)") all+=("$(echo "$h - $g" | bc)")
done

m() { median "$@"; }
R=$(m "${riv[@]}") S5=$(m "${t5[@]}") IO5=$(m "${io5[@]}") S6=$(m "${t6[@]}") IO6=$(m "${io6[@]}")
echo
printf '%-62s %8s  %s\n' "seconds, $N runs" median range
row "SAGA io_grid 1, import of the filled DEM (ASCII)" imp
row "SAGA ta_channels 5, THRESHOLD=$ORDER SUBBASINS=0 (tool alone)" t5
row "SAGA io_grid 0, export of its order grid (ASCII)" ex5
row "SAGA ta_channels 5 with import and export" io5
row "SAGA ta_channels 6, Strahler Order (tool alone)" t6
row "SAGA io_grid 0, export of the Strahler grid (ASCII)" ex6
row "SAGA ta_channels 6 with import and export" io6
row "orograd [Flussnetz]+[Flussordnungen], threshold $THRESHOLD" riv
row "orograd four river sections" all
echo
printf '%-68s %6.1f\n' "ratio SAGA ta_channels 5 alone / orograd two sections" "$(echo "$S5 / $R" | bc -l)" \
  "ratio SAGA ta_channels 5 with import+export / orograd two sections" "$(echo "$IO5 / $R" | bc -l)" \
  "ratio SAGA ta_channels 6 alone / orograd two sections" "$(echo "$S6 / $R" | bc -l)" \
  "ratio SAGA ta_channels 6 with import+export / orograd two sections" "$(echo "$IO6 / $R" | bc -l)"
echo
echo "channel cells: orograd $(share ord.asc 1 -9999), SAGA (Strahler order >= $ORDER) $(share order.asc 1 "$(awk 'NR==6{print $2}' order.asc)")"

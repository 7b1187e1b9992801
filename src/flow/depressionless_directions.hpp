#pragma once
// From an elevation model to a direction for every cell: sink runs until no closed
// depression is left, then flat sweeps until every flat drains.
#include <cstdint>

#include "base/console.hpp"
#include "flow/directions.hpp"
#include "grid/grid.hpp"

namespace orograd {

// Rounds every valid elevation to 0.001; a fourth decimal of exactly 5 rounds down.
void round_elevations(Grid& elevation);

// Tolerance below which a region under its spill level is not counted as a depression.
double sink_tolerance(Neighbourhood neighbourhood);

struct FlowDirectionRuns {
  int32_t sink_runs = 0;
  int32_t flat_sweeps = 0;
};

// How the sink runs are done: `plain` repeats the whole-grid direction pass and
// fill_sinks every run; `incremental` does the runs that raise something around the
// raised regions only and ends with one plain run. Both print the same lines and give
// the same grids; the plain form is the reference the incremental one is tested with.
enum class SinkRunMode { incremental, plain };

// Alternates the direction pass and sink filling, printing each run, until a run
// counts no closed depression and raises no cell; then sweeps the flats until none is
// left. `elevation` is filled in place; `sink_regions` keeps the labels of the last
// sink run. Pre: the three grids have one size; the contents of `directions` and
// `sink_regions` on entry do not matter.
FlowDirectionRuns derive_flow_directions(Neighbourhood neighbourhood, Grid& elevation, Grid& directions,
                                         Grid& sink_regions, Console& console,
                                         SinkRunMode mode = SinkRunMode::incremental);

}  // namespace orograd

#include "flow/depressionless_directions.hpp"

#include <algorithm>
#include <cmath>

#include "flow/flat_draining.hpp"
#include "flow/flow_direction_pass.hpp"
#include "flow/incremental_sink_runs.hpp"
#include "flow/ordered_parts.hpp"
#include "flow/sink_filling.hpp"

namespace orograd {

namespace {

// A run that counts no closed depression can still raise a region shallower than the
// tolerance. Its directions were computed before the raise, so a neighbour may still
// point into the raised cell while the flat sweeps point that cell back at it: a
// two-cell cycle. The loop therefore also goes on while cells were raised.
int32_t fill_until_no_sink(Neighbourhood neighbourhood, Grid& elevation, Grid& directions, Grid& sink_regions,
                           Console& console, SinkRunMode mode) {
  const double tolerance = sink_tolerance(neighbourhood);
  // The incremental runs leave the direction pass of the run after them done. Their
  // regions are grouped by basins only where a second thread can take some groups.
  const int32_t passed_run =
      mode == SinkRunMode::incremental
          ? 1 + fill_sinks_incrementally(neighbourhood, tolerance, elevation, directions, sink_regions, console,
                                         most_parts() > 1 ? grouping_by_basins(neighbourhood) : SinkGrouping{})
          : 0;
  int32_t run_number = std::max(passed_run, 1);
  SinkFillResult result;
  do {
    console.print("calculating flow directions: run %d \n.", run_number);
    if (run_number != passed_run) compute_flow_directions(neighbourhood, elevation, directions, sink_regions);
    console.write("\n");
    result = fill_sinks(neighbourhood, tolerance, elevation, directions, sink_regions);
    console.print("%ld Sinks; filling sinks: run %d\n", static_cast<long>(result.closed_depressions), run_number);
    ++run_number;
    // Spill levels start at 99999, so a depression at or above it is counted but never
    // raised, and every later run would be the same one again.
    if (result.closed_depressions != 0 && result.raised_cells == 0) {
      console.print("warning: %ld sinks lie at or above %g and cannot be filled\n",
                    static_cast<long>(result.closed_depressions), kNoSpill);
      break;
    }
  } while (result.closed_depressions != 0 || result.raised_cells != 0);
  return run_number - 1;
}

int32_t drain_until_no_flat(Neighbourhood neighbourhood, const Grid& elevation, Grid& directions,
                            const Grid& sink_regions, Console& console) {
  const std::vector<int64_t> counts = drain_flats_in_shares(neighbourhood, elevation, directions, sink_regions);
  for (std::size_t run = 0; run < counts.size(); ++run)
    console.print("%ld emptying plains: run %d\n", static_cast<long>(counts[run]), static_cast<int>(run + 1));
  // Once sink filling has ended, every flat cell has a level path to an outlet, so each
  // sweep drains some cell, unless unfillable sinks were left. A sweep that drains
  // nothing would repeat forever, so the sweeps end there, with a warning.
  if (counts.back() > 0)
    console.print("warning: %ld cells of plains cannot be drained and keep direction 0\n",
                  static_cast<long>(counts.back()));
  return static_cast<int32_t>(counts.size());
}

}  // namespace

void round_elevations(Grid& elevation) {
  // Each cell is rounded on its own.
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t row = 1; row <= elevation.nrows(); ++row) {
    double* values = elevation.row(row);
    for (int32_t col = 0; col < elevation.ncols(); ++col)
      if (values[col] > kNodata) values[col] = std::floor(values[col] * 1000 + 0.49999) / 1000;
  }
}

double sink_tolerance(Neighbourhood neighbourhood) {
  return neighbourhood == Neighbourhood::eight ? kEightNeighbourSinkTolerance : kFourNeighbourSinkTolerance;
}

FlowDirectionRuns derive_flow_directions(Neighbourhood neighbourhood, Grid& elevation, Grid& directions,
                                         Grid& sink_regions, Console& console, SinkRunMode mode) {
  FlowDirectionRuns runs;
  runs.sink_runs = fill_until_no_sink(neighbourhood, elevation, directions, sink_regions, console, mode);
  runs.flat_sweeps = drain_until_no_flat(neighbourhood, elevation, directions, sink_regions, console);
  return runs;
}

}  // namespace orograd

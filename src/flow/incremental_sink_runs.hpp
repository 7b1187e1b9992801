#pragma once
// The sink runs of the flow-direction section without a whole-grid pass per run.
//
// A run raises each closed region to its spill level; the next run can differ from it
// only around the raised regions: their rim cells at the new level may lose their
// last lower neighbour and join the flat, joining other flats they touch. Everything
// else stays as it was. A basin with thousands of rim levels takes thousands of runs,
// so repeating whole-grid passes is out of the question on large models.
#include <cstdint>
#include <functional>
#include <vector>

#include "base/console.hpp"
#include "flow/directions.hpp"
#include "grid/grid.hpp"

namespace orograd {

// The group of every region label (index = label, entry 0 unused), given the
// elevations, the directions and the region labels of the first direction pass and
// the number of regions L. A group is named by one of its labels (1 to L).
using SinkGrouping = std::function<std::vector<int64_t>(const Grid& elevation, const Grid& directions,
                                                         const Grid& labels, int64_t region_count)>;

// Does the runs that raise some region, printing each as the plain loop of direction
// pass and fill_sinks would, with the same counts. Returns the number of these runs;
// `elevation` is left as after them, so the next plain run (number result + 1) counts
// no closed depression and raises nothing. `directions` and `sink_regions` are left
// as that run's direction pass leaves them, so the run goes on with fill_sinks. The
// pass over the whole grid is done once, before the runs; afterwards only the cells
// around raised ones are computed again.
//
// Regions that never meet need not wait for each other's runs: with `grouping`, the
// runs of each group of regions it names are done as a series of their own, the
// series of different groups side by side, and the counts of each run added up.
// Should the series of two groups touch after all, every run is done again as one
// series, so any grouping gives the same result; without one, all is one series.
int32_t fill_sinks_incrementally(Neighbourhood neighbourhood, double tolerance, Grid& elevation, Grid& directions,
                                 Grid& sink_regions, Console& console, const SinkGrouping& grouping = {});

// The grouping by basins of sink_groups.hpp, for the given neighbourhood.
SinkGrouping grouping_by_basins(Neighbourhood neighbourhood);

}  // namespace orograd

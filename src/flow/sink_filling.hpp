#pragma once
// Sink filling: cells left without a direction are grouped into connected regions;
// closed depressions are raised to their spill level and regions against the edge of
// the model are drained off it.
#include <cstdint>
#include <vector>

#include "flow/directions.hpp"
#include "flow/sink_region_labels.hpp"
#include "grid/grid.hpp"

namespace orograd {

// A region is a closed depression when it lies at least this far below its spill level.
// The eight-neighbour tolerance is the one constant in which the two builds differ.
#if OROGRAD_SEQUENTIAL
inline constexpr double kEightNeighbourSinkTolerance = 0.001;
#else
inline constexpr double kEightNeighbourSinkTolerance = 0.0005;
#endif
inline constexpr double kFourNeighbourSinkTolerance = 0.001;

// Elevation that stands for "no draining neighbour": above every elevation of the data.
inline constexpr double kNoSpill = 99999.0;

struct SinkRegion {
  double spill_elevation = kNoSpill;   // lowest neighbouring cell that has a direction
  double region_elevation = kNoSpill;  // all cells of a region share one elevation
  bool touches_border = false;         // a neighbour is off the grid or without data
};

struct SinkFillResult {
  int64_t closed_depressions = 0;
  // Cells raised to their spill level, counted or not: a region shallower than the
  // tolerance is raised without being counted.
  int64_t raised_cells = 0;
};

// Elevation, spill level and border contact of every region (index = label, entry 0
// unused).
std::vector<SinkRegion> scan_sink_regions(Neighbourhood neighbourhood, const Grid& elevation,
                                          const Grid& sink_regions, int64_t region_count);

// A region lower than its spill level by at least the tolerance, not at the border.
bool is_closed_depression(const SinkRegion& region, double tolerance);
// A region lower than its spill level at all, not at the border: it is raised.
inline bool is_raised(const SinkRegion& region) {
  return region.spill_elevation > region.region_elevation && !region.touches_border;
}

// One sink-filling run after a direction pass. On entry `sink_regions` holds -1 for
// cells without direction and nodata elsewhere; on exit it holds region labels 1, 2, ...
// in the order a row-major sweep meets the regions, and nodata for cells drained here.
// A region is a closed depression when it does not touch the border and lies at least
// `tolerance` below its spill level.
SinkFillResult fill_sinks(Neighbourhood neighbourhood, double tolerance, Grid& elevation, Grid& directions,
                          Grid& sink_regions);

}  // namespace orograd

#include "flow/sink_filling.hpp"

#include <algorithm>
#include <cmath>

#if !OROGRAD_SEQUENTIAL
#include <omp.h>
#endif

#include "flow/flow_direction_pass.hpp"

namespace orograd {

namespace {

template <Neighbourhood N>
void scan_region_rim(const Grid& elevation, const Grid& sink_regions, int32_t row, int32_t col,
                     SinkRegion& region) {
  for (const Direction& d : neighbours<N>()) {
    const int32_t r = row + d.row_offset;
    const int32_t c = col + d.col_offset;
    if (!elevation.shape().contains(r, c) || is_nodata(elevation(r, c))) {
      region.touches_border = true;
    } else if (is_nodata(sink_regions(r, c)) && elevation(r, c) < region.spill_elevation) {
      region.spill_elevation = elevation(r, c);
    }
  }
}

// The code that drains a border-touching region's cell off the model; 0 for an inner
// cell without a nodata neighbour, which the flat sweeps drain later.
template <Neighbourhood N>
int outflow_code(const Grid& elevation, int32_t row, int32_t col) {
  if (row == 1) return 128;
  if (row == elevation.nrows()) return 8;
  if (col == 1) return 32;
  if (col == elevation.ncols()) return 2;
  int code = 0;
  for (const Direction& d : neighbours<N>()) {
    if (is_nodata(elevation(row + d.row_offset, col + d.col_offset))) code = d.code;  // last one wins
  }
  return code;
}

template <Neighbourhood N>
void scan_rows(const Grid& elevation, const Grid& sink_regions, int32_t first, int32_t last,
               std::vector<SinkRegion>& regions) {
  for (int32_t row = first; row <= last; ++row) {
    for (int32_t col = 1; col <= elevation.ncols(); ++col) {
      const double label = sink_regions(row, col);
      if (label <= 0) continue;
      SinkRegion& region = regions[static_cast<std::size_t>(label)];
      region.region_elevation = elevation(row, col);
      scan_region_rim<N>(elevation, sink_regions, row, col, region);
    }
  }
}

template <Neighbourhood N>
std::vector<SinkRegion> scan_rims(const Grid& elevation, const Grid& sink_regions, int64_t region_count) {
  const auto size = static_cast<std::size_t>(region_count) + 1;
#if OROGRAD_SEQUENTIAL
  std::vector<SinkRegion> regions(size);
  scan_rows<N>(elevation, sink_regions, 1, elevation.nrows(), regions);
  return regions;
#else
  // Each thread scans a block of rows into a table of its own. The tables are combined
  // in row order: the lowest spill level, any border contact, and the elevation seen
  // last, all as one scan of every row would leave them.
  std::vector<std::vector<SinkRegion>> tables(static_cast<std::size_t>(omp_get_max_threads()));
#pragma omp parallel
  {
    const int64_t threads = omp_get_num_threads(), thread = omp_get_thread_num(), nrows = elevation.nrows();
    std::vector<SinkRegion>& table = tables[static_cast<std::size_t>(thread)];
    table.resize(size);
    scan_rows<N>(elevation, sink_regions, static_cast<int32_t>(1 + nrows * thread / threads),
                 static_cast<int32_t>(nrows * (thread + 1) / threads), table);
  }
  std::vector<SinkRegion>& regions = tables.front();
  for (std::size_t thread = 1; thread < tables.size() && !tables[thread].empty(); ++thread) {
    const std::vector<SinkRegion>& later = tables[thread];
#pragma omp parallel for schedule(static)
    for (std::size_t label = 1; label < size; ++label) {
      if (later[label].region_elevation != kNoSpill) regions[label].region_elevation = later[label].region_elevation;
      regions[label].spill_elevation = std::min(regions[label].spill_elevation, later[label].spill_elevation);
      regions[label].touches_border = regions[label].touches_border || later[label].touches_border;
    }
  }
  return std::move(regions);
#endif
}

int64_t count_closed_depressions(const std::vector<SinkRegion>& regions, double tolerance) {
  int64_t count = 0;
  for (std::size_t label = 1; label < regions.size(); ++label)
    if (is_closed_depression(regions[label], tolerance)) ++count;
  return count;
}

// Raises closed regions to their spill level (strictly lower ones, without tolerance)
// and drains border-touching regions off the model. Returns the number of raised cells.
template <Neighbourhood N>
int64_t fill_and_drain(const std::vector<SinkRegion>& regions, Grid& elevation, Grid& directions,
                       Grid& sink_regions) {
  int64_t raised = 0;
  // Rows are independent: a raised cell never becomes nodata, the only thing
  // outflow_code reads of its neighbours.
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static) reduction(+ : raised)
#endif
  for (int32_t row = 1; row <= elevation.nrows(); ++row) {
    for (int32_t col = 1; col <= elevation.ncols(); ++col) {
      const double label = sink_regions(row, col);
      if (label <= 0) continue;
      const SinkRegion& region = regions[static_cast<std::size_t>(label)];
      if (is_raised(region)) {
        elevation(row, col) = region.spill_elevation;
        ++raised;
      } else if (region.spill_elevation >= region.region_elevation && region.touches_border) {
        const int code = outflow_code<N>(elevation, row, col);
        if (code != 0) {
          directions(row, col) = code;
          sink_regions(row, col) = kNodata;
        }
      }
    }
  }
  return raised;
}

template <Neighbourhood N>
SinkFillResult fill_sinks_with(double tolerance, Grid& elevation, Grid& directions, Grid& sink_regions) {
  const int64_t region_count = label_sink_regions(N, sink_regions);
  const std::vector<SinkRegion> regions = scan_rims<N>(elevation, sink_regions, region_count);
  SinkFillResult result;
  result.closed_depressions = count_closed_depressions(regions, tolerance);
  result.raised_cells = fill_and_drain<N>(regions, elevation, directions, sink_regions);
  return result;
}

}  // namespace

std::vector<SinkRegion> scan_sink_regions(Neighbourhood neighbourhood, const Grid& elevation,
                                          const Grid& sink_regions, int64_t region_count) {
  return with_neighbourhood(neighbourhood,
                            [&](auto n) { return scan_rims<n.value>(elevation, sink_regions, region_count); });
}

bool is_closed_depression(const SinkRegion& region, double tolerance) {
  return std::fabs(region.region_elevation - region.spill_elevation) >= tolerance && !region.touches_border;
}

SinkFillResult fill_sinks(Neighbourhood neighbourhood, double tolerance, Grid& elevation, Grid& directions,
                          Grid& sink_regions) {
  return with_neighbourhood(neighbourhood, [&](auto n) {
    return fill_sinks_with<n.value>(tolerance, elevation, directions, sink_regions);
  });
}

}  // namespace orograd

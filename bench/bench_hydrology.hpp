#pragma once
// Flow directions and accumulation of a DEM, derived as [Flowdirection] and
// [Flowaccumulation] derive them, and pour points on its rivers, for benchmarks that
// start from the river or subbasin sections.
#include <algorithm>
#include <cstdio>
#include <limits>
#include <utility>
#include <vector>

#include "base/console.hpp"
#include "flow/depressionless_directions.hpp"
#include "flow/flow_accumulation.hpp"
#include "grid/grid.hpp"

namespace orograd::bench {

struct Hydrology {
  Grid elevation;  // rounded and filled, as the flow-direction section leaves it
  Grid directions;
  Grid accumulation;
};

inline Hydrology derive_hydrology(const Grid& dem) {
  const int32_t ncols = dem.ncols(), nrows = dem.nrows();
  Hydrology h{Grid::allocate(ncols, nrows), Grid::allocate(ncols, nrows), Grid::allocate(ncols, nrows)};
  for (int32_t row = 1; row <= nrows; ++row)
    for (int32_t col = 1; col <= ncols; ++col) h.elevation(row, col) = dem(row, col);
  Grid regions = Grid::allocate(ncols, nrows);
  Console quiet = Console::capturing();
  round_elevations(h.elevation);
  derive_flow_directions(Neighbourhood::eight, h.elevation, h.directions, regions, quiet);
  accumulate_flow(h.directions, 1000, h.accumulation, quiet);
  return h;
}

// Pour points go on cells draining more than this many cells.
constexpr double kPourPointAccumulation = 5000;

// Pour points on the rivers, spread over the grid: the candidates are cells above the
// DEM's lowest elevation (the generator's sea level) whose accumulation exceeds 5000,
// in the accumulation the run derives ([Flowaccumulation] before any correction). The first point is the candidate of
// largest accumulation, each next one the candidate farthest from the points chosen
// so far (ties: the first in row-major order). Returns (row, column) pairs.
inline std::vector<std::pair<int32_t, int32_t>> pick_pour_points(const Grid& dem, const Grid& accumulation,
                                                                 int32_t count) {
  const int32_t ncols = dem.ncols(), nrows = dem.nrows();
  double sea = std::numeric_limits<double>::infinity();
  for (int32_t row = 1; row <= nrows; ++row)
    for (int32_t col = 1; col <= ncols; ++col) sea = std::min(sea, dem(row, col));
  struct Candidate {
    int32_t row, col;
    double accumulation, distance2;  // squared distance to the nearest point chosen
  };
  std::vector<Candidate> candidates;
  for (int32_t row = 1; row <= nrows; ++row)
    for (int32_t col = 1; col <= ncols; ++col)
      if (dem(row, col) > sea && accumulation(row, col) > kPourPointAccumulation)
        candidates.push_back({row, col, accumulation(row, col), std::numeric_limits<double>::infinity()});
  std::vector<std::pair<int32_t, int32_t>> points;
  if (candidates.empty()) return points;
  std::size_t next = 0;
  for (std::size_t i = 1; i < candidates.size(); ++i)
    if (candidates[i].accumulation > candidates[next].accumulation) next = i;
  while (static_cast<int32_t>(points.size()) < count) {
    const Candidate chosen = candidates[next];
    points.emplace_back(chosen.row, chosen.col);
    std::size_t farthest = 0;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
      Candidate& c = candidates[i];
      const double dr = c.row - chosen.row, dc = c.col - chosen.col;
      c.distance2 = std::min(c.distance2, dr * dr + dc * dc);
      if (c.distance2 > candidates[farthest].distance2) farthest = i;
    }
    if (candidates[farthest].distance2 == 0) break;  // fewer candidates than points
    next = farthest;
  }
  std::printf("pour points: %zu of %zu candidates (accumulation above %.0f, above the lowest cells)\n", points.size(),
              candidates.size(), kPourPointAccumulation);
  return points;
}

}  // namespace orograd::bench

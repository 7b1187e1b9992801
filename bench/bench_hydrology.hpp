#pragma once
// Flow directions and accumulation of a DEM, derived as [Flowdirection] and
// [Flowaccumulation] derive them, for benchmarks that start from the river sections.
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

}  // namespace orograd::bench

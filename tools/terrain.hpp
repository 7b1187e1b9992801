#pragma once
// A deterministic fractal terrain for tests, benchmarks and the bundled example:
// value-noise relief with closed pits, flat areas and an optional nodata margin.
#include <cstdint>

#include "grid/grid.hpp"

namespace orograd {

struct TerrainOptions {
  int32_t ncols = 256;
  int32_t nrows = 256;
  uint64_t seed = 1;
  double relief = 1000;    // elevation range of the noise, in metres
  int32_t pits = -1;       // closed depressions; -1 picks one per 2000 cells
  int32_t flats = -1;      // flat plateaus; -1 picks one per 20000 cells
  double sea_level = 0.1;  // share of the relief below which the land is one flat
  int32_t nodata_margin = 0;  // width of an irregular nodata border, in cells
};

// The same options always give the same grid, bit for bit.
Grid make_terrain(const TerrainOptions& options);

}  // namespace orograd

#pragma once
// The wind correction factor from the sector horizon value and the relative elevation.
#include "grid/grid.hpp"

namespace orograd {

struct WindCoefficients {
  double c1 = 1.0;  // weight of the sheltering term
  double c2 = 0.0;  // offset added to the relative elevation, numerator and denominator
  double c3 = 0.0;  // constant added to the factor
};

// Writes the factor W of every cell into `factor` from the sector horizon value S in
// `sector_horizon`; zmin and zmax are the smallest and largest valid elevations.
void apply_wind_correction(const Grid& elevation, const Grid& sector_horizon, double zmin, double zmax,
                           const WindCoefficients& coefficients, double nodata, Grid& factor);

}  // namespace orograd

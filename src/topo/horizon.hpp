#pragma once
// The horizon value: the mean over azimuth directions of 1 - sin(effective horizon
// angle), 1 on an open plain and smaller the more the view is blocked.
#include <cstdint>

#include "base/console.hpp"
#include "grid/grid.hpp"
#include "topo/wind_correction.hpp"

namespace orograd {

struct HorizonInputs {
  const GridHeader& header;
  const Grid& elevation;
  const Grid& slope;   // degrees
  const Grid& aspect;  // degrees clockwise from north
};

struct HorizonRequest {
  double minimum_azimuth = 0;  // degrees clockwise from north
  double maximum_azimuth = 360;
  int32_t azimuth_count = 36;
  WindCoefficients wind;
  double max_distance = 1e12;  // length units of the cell size
};

// Accumulates the horizon value of the sector into `output` (set to 0 first) and leaves
// the wind correction factor of the completed sector in `scratch`.
void compute_horizon(Console& console, const HorizonInputs& inputs, const HorizonRequest& request, Grid& output,
                     Grid& scratch);

}  // namespace orograd

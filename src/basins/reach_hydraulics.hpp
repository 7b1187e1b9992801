#pragma once
// The channel of a routing reach: a rectangle m times as wide as it is deep, whose
// flow follows the Manning-Strickler formula.
#include <cstdint>

#include "basins/subbasin_record.hpp"

namespace orograd {

struct ChannelModel {
  double cellsize;
  double strickler_coefficient;
  double specific_discharge;  // l/(s·km²)
  int32_t mode;  // 1: the discharge drains acc_outlet; otherwise the exit cell's accumulation
};

// Fills area, sqrt_slope, discharge, roughness, velocity, previous_velocity, depth,
// width and hydraulic_radius of a record whose reach has been traced.
//  - area = cellsize² × A / 1000000 km², A = acc_outlet in mode 1, else
//    `exit_accumulation`; in mode 2 area is afterwards set from acc_outlet (the
//    discharge keeps the first area).
//  - sqrt_slope = √((h_max − h_min) / length), 0.031622 below a slope of 0.001 and for
//    a reach of length 0.
//  - discharge = specific_discharge × area / 1000; velocity starts at 1.0; m =
//    1 / sqrt_slope limited to [2, 10]; then at most 10 steps of velocity =
//    R^0.6666 × roughness × sqrt_slope and R = √(discharge / velocity) / g, g = √m ×
//    (2/m + 1), until the velocity changes by at most 0.001; depth = (discharge /
//    velocity) / ((m + 2) × R), width = m × depth.
// Post: every field is finite. A channel without finite positive discharge or
// roughness stays dry: depth, width and hydraulic_radius 0, velocity 1.0.
void compute_reach_hydraulics(const ChannelModel& model, double exit_accumulation, SubbasinRecord& record);

}  // namespace orograd

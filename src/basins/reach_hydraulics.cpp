#include "basins/reach_hydraulics.hpp"

#include <cmath>

#include "basins/rectangular_channel.hpp"

namespace orograd {

namespace {

// The square root of the reach slope, floored at 0.031622 (the root of 0.001 as the
// model has always written it). A reach without length, whose entry is already the
// final cell, counts as flat.
double reach_sqrt_slope(const SubbasinRecord& record) {
  const double slope = record.length > 0 ? (record.h_max - record.h_min) / record.length : 0.0;
  return slope < 0.001 ? 0.031622 : std::sqrt(slope);
}

// Without water or roughness the iteration would divide 0 by 0 or take the root of a
// negative number, and infinite settings end in the same: such a channel stays dry.
bool carries_flow(const SubbasinRecord& record) {
  return std::isfinite(record.discharge) && record.discharge > 0 && std::isfinite(record.roughness) &&
         record.roughness > 0;
}

void solve_channel(SubbasinRecord& record) {
  const ChannelFlow flow = solve_rectangular_channel(record.discharge, record.roughness, record.sqrt_slope, 10);
  if (!(flow.velocity > 0)) return;  // an overflowing iteration leaves the channel dry too
  record.velocity = flow.velocity;
  record.previous_velocity = flow.previous_velocity;
  record.depth = channel_depth(record.discharge, record.sqrt_slope, flow);
  record.width = width_to_depth_ratio(record.sqrt_slope) * record.depth;
  record.hydraulic_radius = flow.hydraulic_radius;
}

}  // namespace

void compute_reach_hydraulics(const ChannelModel& model, double exit_accumulation, SubbasinRecord& record) {
  const double drained = model.mode == 1 ? record.acc_outlet : exit_accumulation;
  record.area = model.cellsize * model.cellsize * drained / 1000000.0;
  record.sqrt_slope = reach_sqrt_slope(record);
  record.discharge = model.specific_discharge * record.area / 1000.0;
  record.roughness = model.strickler_coefficient;
  record.velocity = record.previous_velocity = 1.0;
  if (carries_flow(record)) solve_channel(record);
  if (model.mode == 2) record.area = model.cellsize * model.cellsize * record.acc_outlet / 1000000.0;
}

}  // namespace orograd

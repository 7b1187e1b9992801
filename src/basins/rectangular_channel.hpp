#pragma once
// The channel model of links and routing reaches: a rectangle m times as wide as its
// water is deep, whose flow follows the Manning-Strickler formula.
#include "base/console.hpp"

namespace orograd {

// The channel's ratio of width to depth, m = 1 / sqrt_slope limited to 2 to 10: steep
// channels are narrow, flat ones wide. Pre: sqrt_slope > 0.
double width_to_depth_ratio(double sqrt_slope);

struct ChannelFlow {
  double velocity;           // m/s
  double previous_velocity;  // of the step before the last
  double hydraulic_radius;   // R, m
};

// Solves the channel carrying `discharge` (m³/s) with Strickler coefficient
// `roughness` for its hydraulic radius: from velocity 1.0 and R = √Q / g, g = √m ×
// (2/m + 1), at most `max_steps` steps of velocity = R^0.6666 × roughness ×
// sqrt_slope and R = √(Q / velocity) / g, until the velocity changes by at most
// 0.001. Pre: discharge > 0, sqrt_slope > 0.
// Post: a step whose velocity is not a positive finite number, or whose radius is not
// finite, ends the iteration with the radius before it and velocity 0.
ChannelFlow solve_rectangular_channel(double discharge, double roughness, double sqrt_slope, int max_steps);

// Water depth h = (Q / velocity) / ((m + 2) × R); the width is m × h.
double channel_depth(double discharge, double sqrt_slope, const ChannelFlow& flow);

// Warns on standard error, naming `section`, when the Strickler coefficient or the
// specific discharge is not a positive finite number: channels then carry no flow.
void warn_unusable_channel_settings(const char* section, double strickler_coefficient, double specific_discharge,
                                    Console& console);

}  // namespace orograd

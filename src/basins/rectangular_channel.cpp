#include "basins/rectangular_channel.hpp"

#include <algorithm>
#include <cmath>

namespace orograd {

namespace {

bool positive_finite(double value) { return value > 0 && std::isfinite(value); }

}  // namespace

double width_to_depth_ratio(double sqrt_slope) { return std::clamp(1 / sqrt_slope, 2.0, 10.0); }

ChannelFlow solve_rectangular_channel(double discharge, double roughness, double sqrt_slope, int max_steps) {
  const double m = width_to_depth_ratio(sqrt_slope);
  const double g = std::sqrt(m) * (2 / m + 1);
  ChannelFlow flow{1.0, 1.0, std::sqrt(discharge) / g};
  for (int step = 0; step < max_steps; ++step) {
    flow.previous_velocity = flow.velocity;
    flow.velocity = std::pow(flow.hydraulic_radius, 0.6666) * roughness * sqrt_slope;
    const double radius = std::sqrt(discharge / flow.velocity) / g;
    if (!positive_finite(flow.velocity) || !std::isfinite(radius)) {
      flow.velocity = 0;
      break;
    }
    flow.hydraulic_radius = radius;
    if (std::fabs(flow.velocity - flow.previous_velocity) <= 0.001) break;
  }
  return flow;
}

double channel_depth(double discharge, double sqrt_slope, const ChannelFlow& flow) {
  return (discharge / flow.velocity) / ((width_to_depth_ratio(sqrt_slope) + 2) * flow.hydraulic_radius);
}

void warn_unusable_channel_settings(const char* section, double strickler_coefficient, double specific_discharge,
                                    Console& console) {
  if (!positive_finite(strickler_coefficient))
    console.warn("%s: Strickler coefficient %g is not a positive finite number; channels carry no flow", section,
                 strickler_coefficient);
  if (!positive_finite(specific_discharge))
    console.warn("%s: specific discharge %g is not a positive finite number; channels carry no discharge", section,
                 specific_discharge);
}

}  // namespace orograd

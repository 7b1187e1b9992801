#include "basins/link_hydraulics.hpp"

#include <algorithm>
#include <cmath>

#include "base/fatal.hpp"

namespace orograd {

namespace {

constexpr int kMaxIterations = 20;
constexpr double kVelocityTolerance = 0.001;
constexpr double kFlatSqrtSlope = 0.01;
constexpr double kChannelVelocityFloor = 0.1;
constexpr double kChannelVelocityAtFloor = 0.099;

double link_sqrt_slope(const LinkRecord& link) {
  // A link of length 0 has no slope; a slope that is not a number (elevations read
  // as NaN) counts as flat too.
  if (link.length == 0) return kFlatSqrtSlope;
  const double slope = (link.h_top - link.h_bottom) / link.length;
  return slope >= 0.0001 ? std::sqrt(slope) : kFlatSqrtSlope;
}

double mean_discharge(const LinkRecord& link, const ChannelParameters& channel) {
  const double discharge = (link.acc_top + link.acc_bottom) * 0.5 * (channel.cellsize * channel.cellsize) / 1000000 *
                           channel.specific_discharge / 1000;
  return std::isfinite(discharge) ? discharge : 0;
}

bool positive_finite(double value) { return value > 0 && std::isfinite(value); }

}  // namespace

double width_to_depth_ratio(double sqrt_slope) { return std::clamp(1 / sqrt_slope, 2.0, 10.0); }

void solve_link_hydraulics(LinkRecord& link, const ChannelParameters& channel) {
  link.sqrt_slope = link_sqrt_slope(link);
  link.discharge = mean_discharge(link, channel);
  link.hydraulic_radius = 0;
  double velocity = 0;  // without discharge the floor applies
  if (link.discharge > 0) {
    const double m = width_to_depth_ratio(link.sqrt_slope);
    const double g = std::sqrt(m) * (2 / m + 1);
    double radius = std::sqrt(link.discharge) / g;
    velocity = 1.0;
    for (int step = 0; step < kMaxIterations; ++step) {
      const double previous = velocity;
      velocity = std::pow(radius, 0.6666) * channel.strickler_coefficient * link.sqrt_slope;
      const double next_radius = std::sqrt(link.discharge / velocity) / g;
      if (!positive_finite(velocity) || !std::isfinite(next_radius)) {
        velocity = 0;
        break;
      }
      radius = next_radius;
      if (std::fabs(velocity - previous) <= kVelocityTolerance) break;
    }
    link.hydraulic_radius = radius;
  }
  link.velocity = velocity < kChannelVelocityFloor ? kChannelVelocityAtFloor : velocity;
}

double channel_depth(const LinkRecord& link) {
  // R is positive exactly when the link carries discharge.
  if (!(link.hydraulic_radius > 0)) return 0;
  const double m = width_to_depth_ratio(link.sqrt_slope);
  return (link.discharge / link.velocity) / ((m + 2) * link.hydraulic_radius);
}

std::string link_table_line(const LinkRecord& link) {
  return format("%4.0f %4.0f %6.0f %6.0f %6.0f %6.4f %7.3f %6.3f %6.4f\n", link.h_bottom, link.h_top, link.acc_top,
                link.acc_bottom, link.length, link.sqrt_slope, link.discharge, link.hydraulic_radius, link.velocity);
}

void print_link_table(const std::vector<LinkRecord>& table, Console& console) {
  console.write("\nhmin hmax accmin accmax laenge sqrt_s spende  hydrad   v\n");
  console.write(std::string(66, '-') + "\n");
  for (std::size_t n = 1; n < table.size(); ++n) console.write(link_table_line(table[n]));
}

}  // namespace orograd

#include "basins/link_hydraulics.hpp"

#include <cmath>

#include "base/fatal.hpp"
#include "basins/rectangular_channel.hpp"

namespace orograd {

namespace {

constexpr int kMaxIterations = 20;
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

}  // namespace

void solve_link_hydraulics(LinkRecord& link, const ChannelParameters& channel) {
  link.sqrt_slope = link_sqrt_slope(link);
  link.discharge = mean_discharge(link, channel);
  link.hydraulic_radius = 0;
  double velocity = 0;  // without discharge the floor applies
  if (link.discharge > 0) {
    const ChannelFlow flow =
        solve_rectangular_channel(link.discharge, channel.strickler_coefficient, link.sqrt_slope, kMaxIterations);
    velocity = flow.velocity;
    link.hydraulic_radius = flow.hydraulic_radius;
  }
  link.velocity = velocity < kChannelVelocityFloor ? kChannelVelocityAtFloor : velocity;
}

double channel_depth(const LinkRecord& link) {
  // R is positive exactly when the link carries discharge.
  if (!(link.hydraulic_radius > 0)) return 0;
  return channel_depth(link.discharge, link.sqrt_slope, {link.velocity, link.velocity, link.hydraulic_radius});
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

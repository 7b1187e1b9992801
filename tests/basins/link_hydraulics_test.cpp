// The channel hydraulics of river links and their table lines.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "basins/link_hydraulics.hpp"
#include "basins/rectangular_channel.hpp"

namespace orograd {
namespace {

// Q, the slope and m worked out by hand for each link; R and v from the iteration
// carried out on its own, outside this code. Cell size 25 m, k = 30, 20 l/(s km²)
// unless a case says otherwise.
TEST(LinkHydraulics, TableLines) {
  struct Case {
    const char* what;
    LinkRecord link;
    ChannelParameters channel;
    const char* line;
  };
  const Case cases[] = {
      // slope 0.02, m = 7.07; Q = 2000 * 625 / 1e6 * 20 / 1000 = 0.025
      {"sloping", {120, 100, 1000, 3000, 1000}, {25, 30, 20},
       " 100  120   1000   3000   1000 0.1414   0.025  0.058 0.6364\n"},
      // slope 0.4: m = 1.58 is limited to 2
      {"steep", {800, 400, 2000, 2000, 1000}, {25, 30, 20},
       " 400  800   2000   2000   1000 0.6325   0.025  0.038 2.1499\n"},
      // m = 3.84; k = 25 and 12 l/(s km²)
      {"mid", {850, 610, 40000, 52000, 3535.5}, {25, 25, 12},
       " 610  850  40000  52000   3536 0.2605   0.345  0.147 1.8102\n"},
      // no fall: sqrt_s 0.01, m = 10, and the velocity converges below 0.1
      {"flat", {100, 100, 10, 30, 500}, {25, 30, 20},
       " 100  100     10     30    500 0.0100   0.000  0.026 0.0990\n"},
      // a one-cell link without a valid code has no slope and counts as flat
      {"length 0", {500, 400, 50, 50, 0}, {25, 30, 20},
       " 400  500     50     50      0 0.0100   0.001  0.036 0.0990\n"},
      // a record beyond the links found
      {"empty", {}, {25, 30, 20}, "   0    0      0      0      0 0.0100   0.000  0.000 0.0990\n"},
  };
  for (const Case& c : cases) {
    LinkRecord link = c.link;
    solve_link_hydraulics(link, c.channel);
    EXPECT_EQ(link_table_line(link), c.line) << c.what;
  }
}

TEST(LinkHydraulics, ChannelDepthAndWidthOfTheSlopingLink) {
  LinkRecord link{120, 100, 1000, 3000, 1000};
  solve_link_hydraulics(link, {25, 30, 20});
  // h = (Q / v) / ((m + 2) R) with the iteration's own R and v
  EXPECT_NEAR(channel_depth(link), 0.07453569582377582, 1e-12);
  EXPECT_NEAR(width_to_depth_ratio(link.sqrt_slope) * channel_depth(link), 0.5270469595744972, 1e-12);
}

// Settings that are 0, negative or infinite would give NaN velocities and radii in
// the formulas as written; the link takes its velocity floor and stays finite.
TEST(LinkHydraulics, UnusableSettingsGiveFiniteFloors) {
  const double inf = std::numeric_limits<double>::infinity();
  const ChannelParameters settings[] = {{25, 30, 0}, {25, 0, 20}, {25, -5, 20}, {25, 30, -20},
                                        {25, 0, 0},  {25, inf, 20}, {25, 30, inf}};
  for (const ChannelParameters& channel : settings) {
    LinkRecord link{120, 100, 1000, 3000, 1000};
    solve_link_hydraulics(link, channel);
    const std::string line = link_table_line(link);
    EXPECT_EQ(link.velocity, 0.099) << line;
    EXPECT_TRUE(std::isfinite(link.hydraulic_radius) && std::isfinite(link.discharge)) << line;
    EXPECT_TRUE(std::isfinite(channel_depth(link))) << line;
    EXPECT_EQ(channel_depth(link) == 0, !(link.discharge > 0)) << line;
  }
}

}  // namespace
}  // namespace orograd

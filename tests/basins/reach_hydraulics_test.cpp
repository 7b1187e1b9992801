// The channel of a reach: slope floors, the width-to-depth ratio m, the iteration and
// channels without water.
#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "basins/reach_hydraulics.hpp"

namespace orograd {
namespace {

// A reach dropping `drop` over `length` that drains acc_outlet cells of 1 km² (mode 1).
SubbasinRecord solved(double drop, double length, double acc_outlet, const ChannelModel& model) {
  SubbasinRecord record;
  record.h_min = 100;
  record.h_max = 100 + drop;
  record.length = length;
  record.acc_outlet = acc_outlet;
  compute_reach_hydraulics(model, 0, record);
  return record;
}

TEST(ReachHydraulics, SlopeIsFlooredAndTheWidthToDepthRatioLimitedToTwoToTen) {
  struct Case {
    double drop, length, sqrt_slope, m;
  };
  const Case cases[] = {
      {25, 100, 0.5, 2},          // m = 2 exactly
      {100, 100, 1, 2},           // m = 1 is raised to 2
      {4, 100, 0.2, 5},           // within the limits
      {0.25, 100, 0.05, 10},      // m = 20 is lowered to 10
      {0, 100, 0.031622, 10},     // flat
      {0.09, 100, 0.031622, 10},  // below a slope of 0.001
      {5, 0, 0.031622, 10},       // no length: flat, not a division by 0
  };
  for (const Case& c : cases) {
    const SubbasinRecord r = solved(c.drop, c.length, 5, {1000, 25, 1000, 1});
    EXPECT_DOUBLE_EQ(r.sqrt_slope, c.sqrt_slope) << c.drop << "/" << c.length;
    EXPECT_DOUBLE_EQ(r.width / r.depth, c.m) << c.drop << "/" << c.length;
  }
}

TEST(ReachHydraulics, SolvesTheIterationAsWritten) {
  // m = 2, g = 2√2; Q = 8 = g² makes R = 1, and roughness × √I = 1 keeps v = 1:
  // depth = Q / v / ((m + 2) R) = 2, width = 4, after one step.
  const SubbasinRecord fixed = solved(25, 100, 8, {1000, 2, 1000, 1});
  EXPECT_EQ(std::tuple(fixed.discharge, fixed.velocity, fixed.hydraulic_radius, fixed.depth, fixed.width),
            std::tuple(8, 1, 1, 2, 4));
  // m = 5, Q = 5, roughness 25: nine steps with the exponent 0.6666, values from a
  // separate evaluation of the same steps.
  const SubbasinRecord r = solved(4, 100, 5, {1000, 25, 1000, 1});
  EXPECT_DOUBLE_EQ(r.velocity, 2.826213543002267);
  EXPECT_DOUBLE_EQ(r.previous_velocity, 2.825617418355947);
  EXPECT_DOUBLE_EQ(r.hydraulic_radius, 0.42488312020078983);
  EXPECT_DOUBLE_EQ(r.depth, 0.5948363682811056);
  EXPECT_DOUBLE_EQ(r.width, 2.974181841405528);
}

TEST(ReachHydraulics, WithoutWaterOrRoughnessTheChannelStaysDry) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double strickler, specific_discharge, acc_outlet;
  };
  const Case cases[] = {{25, 0, 5}, {25, -3, 5}, {25, 1000, 0}, {0, 1000, 5}, {-25, 1000, 5}, {inf, 1000, 5},
                        {25, inf, 5}};
  for (const Case& c : cases) {
    const SubbasinRecord r = solved(25, 100, c.acc_outlet, {1000, c.strickler, c.specific_discharge, 1});
    EXPECT_EQ(std::tuple(r.velocity, r.depth, r.width, r.hydraulic_radius), std::tuple(1.0, 0.0, 0.0, 0.0))
        << c.strickler << " " << c.specific_discharge << " " << c.acc_outlet;
  }
}

}  // namespace
}  // namespace orograd

#include "topo/horizon_reach.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "base/angles.hpp"
#include "topo/horizon_walk.hpp"
#include "topo_test_grids.hpp"

namespace orograd {
namespace {

// Walks every cell with several error terms in every octant and checks each bound
// against the highest elevation the walk actually meets over its span. The rasters are
// long enough along either axis for the long spans to matter.
TEST(ReachMaxima, BoundsCoverEveryCellAWalkMeetsWhateverItsErrorTerm) {
  constexpr int32_t kSpan = ReachMaxima::kSpan, kLongSpan = ReachMaxima::kLongSpan;
  std::mt19937 random(7);
  std::uniform_real_distribution<double> noise(0, 1000);
  for (auto [ncols, nrows] : {std::pair{150, 37}, std::pair{37, 150}}) {
    const Grid elevation = testing::grid_from(ncols, nrows, [&](int, int) { return noise(random); });
    ReachMaxima reach(elevation);
    for (double degrees = 3; degrees < 360; degrees += 29) {
      const HorizonWalk walk = make_horizon_walk(degrees * kPi / 180, ncols, nrows, 1.0);
      reach.build(walk);
      const int32_t row_delta = -walk.north_sign, col_delta = walk.column_sign;
      for (int32_t e0 : {1, walk.denominator / 3, walk.denominator})
        for (int32_t r0 = 1; r0 <= nrows; ++r0)
          for (int32_t c0 = 1; c0 <= ncols; ++c0) {
            double highest = -HUGE_VAL, span = -HUGE_VAL, long_span = -HUGE_VAL;
            std::vector<double> met;  // elevations in the order the walk meets them
            int32_t r = r0, c = c0, e = e0;
            while (r >= 1 && r <= nrows && c >= 1 && c <= ncols) {
              met.push_back(elevation(r, c));
              const bool minor_move = (e -= walk.ratio) <= 0;
              if (minor_move) e += walk.denominator;
              r += walk.column_walk ? (minor_move ? row_delta : 0) : row_delta;
              c += walk.column_walk ? col_delta : (minor_move ? col_delta : 0);
            }
            for (std::size_t n = 0; n < met.size(); ++n) {
              highest = std::max(highest, met[n]);
              if (n >= 1 && n <= kSpan) span = std::max(span, met[n]);
              if (n >= 1 && n <= kLongSpan) long_span = std::max(long_span, met[n]);
            }
            const auto where = ::testing::Message() << degrees << " degrees, e " << e0 << ", cell " << r0 << "," << c0;
            ASSERT_GE(reach.at(r0, c0), highest) << where;
            ASSERT_GE(*reach.span_from(r0, c0), span) << where;
            ASSERT_GE(*reach.long_span_from(r0, c0), long_span) << where;
          }
    }
  }
}

}  // namespace
}  // namespace orograd

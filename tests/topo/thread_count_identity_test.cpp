// The parallel loops must give the same grids, bit for bit, whatever the number of
// threads; the sequential build is compared against the parallel one by
// scripts/compare-builds.sh.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#if !OROGRAD_SEQUENTIAL
#include <omp.h>
#endif

#include "topo/horizon.hpp"
#include "topo/local_topography.hpp"
#include "topo_test_grids.hpp"

namespace orograd {
namespace {

#if !OROGRAD_SEQUENTIAL
struct Results {
  Grid slope, aspect, profile, plan, curvature, horizon, factor;
};

Results compute_everything(const Grid& elevation) {
  const GridHeader header = testing::header_for(elevation, 25.0);
  auto fresh = [&] { return Grid::allocate(header.ncols, header.nrows); };
  Results r{fresh(), fresh(), fresh(), fresh(), fresh(), fresh(), fresh()};
  Console console = Console::capturing();
  LocalTopographyGrids grids{&r.slope, &r.aspect, &r.profile, &r.plan, &r.curvature};
  compute_local_topography(console, header, elevation, grids);
  HorizonRequest request;
  request.minimum_azimuth = 30;
  request.maximum_azimuth = 300;
  request.azimuth_count = 7;
  request.wind = {0.7, 20, 0.5};
  request.max_distance = 900;
  compute_horizon(console, {header, elevation, r.slope, r.aspect}, request, r.horizon, r.factor);
  return r;
}

bool identical(const Grid& a, const Grid& b) {
  for (int r = 1; r <= a.nrows(); ++r)
    if (std::memcmp(a.row(r), b.row(r), sizeof(double) * a.ncols()) != 0) return false;
  return true;
}
#endif

TEST(ThreadCountIdentity, OneAndSeveralThreadsGiveTheSameGrids) {
#if OROGRAD_SEQUENTIAL
  GTEST_SKIP() << "the sequential build has no threads";
#else
  std::mt19937 random(7);
  std::uniform_real_distribution<double> noise(0, 30);
  Grid elevation = testing::grid_from(97, 83, [&](int r, int c) { return 0.2 * r * c + noise(random); });
  for (int k = 0; k < 30; ++k) elevation(1 + random() % 83, 1 + random() % 97) = kNodata;

  const int threads = omp_get_max_threads();
  omp_set_num_threads(1);
  const Results single = compute_everything(elevation);
  omp_set_num_threads(std::max(threads, 3));
  const Results several = compute_everything(elevation);
  omp_set_num_threads(threads);

  EXPECT_TRUE(identical(single.slope, several.slope));
  EXPECT_TRUE(identical(single.aspect, several.aspect));
  EXPECT_TRUE(identical(single.profile, several.profile));
  EXPECT_TRUE(identical(single.plan, several.plan));
  EXPECT_TRUE(identical(single.curvature, several.curvature));
  EXPECT_TRUE(identical(single.horizon, several.horizon));
  EXPECT_TRUE(identical(single.factor, several.factor));
#endif
}

}  // namespace
}  // namespace orograd

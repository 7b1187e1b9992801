// Relief shading: light from the north-west at 45 degrees, slopes over the cell size.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "grid/grid.hpp"
#include "view/hillshade.hpp"

namespace orograd::view {
namespace {

struct ShadeCase {
  const char* name;
  std::function<double(int32_t x, int32_t y)> elevation;  // x east, y south, over 3 x 3 cells
  double cellsize;
  int32_t x, y;  // the cell judged
  double expected;
};

Raster raster_from(const ShadeCase& c) {
  Raster dem{3, 3, c.cellsize, std::vector<double>(9)};
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 3; ++x) dem.at(x, y) = c.elevation(x, y);
  return dem;
}

TEST(ViewHillshade, LightOnSlopesOfEachDirection) {
  const ShadeCase cases[] = {
      {"flat, corner", [](int32_t, int32_t) { return 5.0; }, 10, 0, 0, kFlatShade},
      {"flat beside nodata", [](int32_t x, int32_t y) { return x + y == 0 ? kNodata : 5.0; }, 10, 1, 1, kFlatShade},
      {"nodata cell", [](int32_t x, int32_t y) { return x + y == 0 ? kNodata : 5.0; }, 10, 0, 0, 0},
      // Rising 1 m per metre to the east and south faces the sun: normal (-1, 1, 1)/sqrt 3.
      {"facing north-west", [](int32_t x, int32_t y) { return double(x + y); }, 1, 1, 1,
       (0.5 + 0.5 + kFlatShade) / std::sqrt(3.0)},
      {"facing north", [](int32_t, int32_t y) { return double(y); }, 1, 1, 1, (0.5 + kFlatShade) / std::sqrt(2.0)},
      // The same cells over 2 m cells slope half as much.
      {"facing south-east, gentle", [](int32_t x, int32_t y) { return -double(x + y); }, 2, 1, 1,
       (kFlatShade - 0.5) / std::sqrt(1.5)},
      {"facing south-east, steep", [](int32_t x, int32_t y) { return -double(x + y); }, 1, 1, 1, 0},
  };
  for (const ShadeCase& c : cases) {
    EXPECT_NEAR(hillshade(raster_from(c), c.x, c.y), c.expected, 1e-12) << c.name;
  }
}

}  // namespace
}  // namespace orograd::view

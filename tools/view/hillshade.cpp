#include "view/hillshade.hpp"

#include <algorithm>
#include <cmath>

#include "grid/grid.hpp"

namespace orograd::view {

namespace {

// The sun's direction as east, north and up components: azimuth 315, altitude 45.
constexpr double kSunEast = -0.5;
constexpr double kSunNorth = 0.5;
constexpr double kSunUp = kFlatShade;

// The elevation of (x, y), or `fallback` where that is nodata or off the raster.
double elevation_or(const Raster& dem, int32_t x, int32_t y, double fallback) {
  if (x < 0 || y < 0 || x >= dem.width || y >= dem.height) return fallback;
  const double value = dem.at(x, y);
  return value == kNodata ? fallback : value;
}

}  // namespace

double hillshade(const Raster& dem, int32_t x, int32_t y) {
  const double centre = dem.at(x, y);
  if (centre == kNodata) return 0;
  double z[3][3];
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) z[dy + 1][dx + 1] = elevation_or(dem, x + dx, y + dy, centre);
  // Rows of z run from north to south, columns from west to east.
  const double rise_east = ((z[0][2] + 2 * z[1][2] + z[2][2]) - (z[0][0] + 2 * z[1][0] + z[2][0])) / (8 * dem.cellsize);
  const double rise_north = ((z[0][0] + 2 * z[0][1] + z[0][2]) - (z[2][0] + 2 * z[2][1] + z[2][2])) / (8 * dem.cellsize);
  // The surface normal is (-rise_east, -rise_north, 1), unnormalised.
  const double light = -rise_east * kSunEast - rise_north * kSunNorth + kSunUp;
  const double length = std::sqrt(rise_east * rise_east + rise_north * rise_north + 1);
  return std::max(light / length, 0.0);
}

}  // namespace orograd::view

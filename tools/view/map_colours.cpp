#include "view/map_colours.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "view/colour.hpp"
#include "view/hillshade.hpp"
#include "view/overlay.hpp"

namespace orograd::view {

namespace {

// Where a value lies between low and high, from 0 to 1; 0 when they are equal.
double position(double value, double low, double high) { return high > low ? (value - low) / (high - low) : 0.0; }

// The colour of every cell, nodata transparent, in the raster's order.
std::vector<Rgba> cell_colours(const Raster& map, Kind kind) {
  const ValueRange range = value_range(map);
  const double log_low = std::log(std::max(range.low, 1.0)), log_high = std::log(std::max(range.high, 1.0));
  const std::vector<double> shade = kind == Kind::dem ? hillshade(map) : std::vector<double>();
  std::vector<Rgba> colours(map.values.size());
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const double v = map.values[i];
    if (kind == Kind::network) {
      colours[i] = v != kNodata && v > 0 ? kNetworkRiver : kNetworkBackground;
    } else if (v == kNodata) {
      colours[i] = kTransparent;
    } else if (kind == Kind::dem) {
      colours[i] = shaded(ramp_colour(Ramp::terrain, position(v, range.low, range.high)), shade_brightness(shade[i]));
    } else if (kind == Kind::accumulation) {
      colours[i] = ramp_colour(Ramp::accumulation, position(std::log(std::max(v, 1.0)), log_low, log_high));
    } else if (kind == Kind::values) {
      colours[i] = ramp_colour(Ramp::values, position(v, range.low, range.high));
    } else {
      colours[i] = category_colour(std::llround(v));
    }
  }
  return colours;
}

}  // namespace

void colour_map(Image& image, const Raster& map, Kind kind, int32_t enlarge) {
  const std::vector<Rgba> colours = cell_colours(map, kind);
  const int32_t height = map.height * enlarge, width = map.width * enlarge;
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t py = 0; py < height; ++py) {
    const Rgba* row = colours.data() + static_cast<std::size_t>(py / enlarge) * map.width;
    for (int32_t px = 0; px < width; ++px) image.at(px, py) = row[px / enlarge];
  }
  if (kind == Kind::subbasins) draw_boundaries(image, map, enlarge);
}

}  // namespace orograd::view

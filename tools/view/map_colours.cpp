#include "view/map_colours.hpp"

#include <algorithm>
#include <cmath>

#include "view/colour.hpp"
#include "view/hillshade.hpp"
#include "view/overlay.hpp"

namespace orograd::view {

namespace {

// Where a value lies between low and high, from 0 to 1; 0 when they are equal.
double position(double value, double low, double high) { return high > low ? (value - low) / (high - low) : 0.0; }

// The colour of each cell of one map, from the map's value range.
class CellColours {
 public:
  CellColours(const Raster& map, Kind kind)
      : map_(map),
        kind_(kind),
        range_(value_range(map)),
        log_low_(std::log(std::max(range_.low, 1.0))),
        log_high_(std::log(std::max(range_.high, 1.0))) {}

  Rgba operator()(int32_t x, int32_t y) const {
    const double v = map_.at(x, y);
    if (kind_ == Kind::network) return v != kNodata && v > 0 ? kNetworkRiver : kNetworkBackground;
    if (v == kNodata) return kTransparent;
    switch (kind_) {
      case Kind::dem:
        return shaded(ramp_colour(Ramp::terrain, position(v, range_.low, range_.high)),
                      shade_brightness(hillshade(map_, x, y)));
      case Kind::accumulation:
        return ramp_colour(Ramp::accumulation, position(std::log(std::max(v, 1.0)), log_low_, log_high_));
      case Kind::values: return ramp_colour(Ramp::values, position(v, range_.low, range_.high));
      default: return category_colour(std::llround(v));
    }
  }

 private:
  const Raster& map_;
  Kind kind_;
  ValueRange range_;
  double log_low_, log_high_;
};

}  // namespace

void colour_map(Image& image, const Raster& map, Kind kind, int32_t enlarge) {
  const CellColours colour_of(map, kind);
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t y = 0; y < map.height; ++y)
    for (int32_t x = 0; x < map.width; ++x) image.fill_rect(x * enlarge, y * enlarge, enlarge, enlarge, colour_of(x, y));
  if (kind == Kind::subbasins) draw_boundaries(image, map, enlarge);
}

}  // namespace orograd::view

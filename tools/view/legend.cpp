#include "view/legend.hpp"

#include <algorithm>
#include <set>

#include "base/fatal.hpp"
#include "view/font.hpp"
#include "view/map_colours.hpp"

namespace orograd::view {

namespace {

constexpr int32_t kStripDots = 160;  // strip length in font dots
constexpr Rgba kText{40, 40, 40, 255};

int32_t font_scale(int32_t width) { return std::max(1, width / 500); }

std::string label(double value) { return format("%.4g", value); }

std::size_t code_count(const Raster& map) {
  std::set<double> codes(map.values.begin(), map.values.end());
  codes.erase(kNodata);
  return codes.size();
}

Legend ramp_legend(const Raster& map, std::string title, Ramp ramp) {
  const ValueRange range = value_range(map);
  if (!range.any) return {std::move(title) + ": no data", std::nullopt, "", "", std::nullopt};
  return {std::move(title), ramp, label(range.low), label(range.high), std::nullopt};
}

// The strip's colours run along its length, as ramp_colour gives them from 0 to 1.
void draw_strip(Image& image, int32_t x, int32_t y, int32_t length, int32_t height, Ramp ramp) {
  for (int32_t i = 0; i < length; ++i)
    image.fill_rect(x + i, y, 1, height, ramp_colour(ramp, length > 1 ? double(i) / (length - 1) : 0.0));
}

}  // namespace

Legend legend_for(const Raster& map, Kind kind) {
  switch (kind) {
    case Kind::dem: return ramp_legend(map, "elevation (m)", Ramp::terrain);
    case Kind::accumulation: return ramp_legend(map, "accumulation (cells, log)", Ramp::accumulation);
    case Kind::values: return ramp_legend(map, "values", Ramp::values);
    case Kind::network: return {"river cells (value > 0)", std::nullopt, "", "", kNetworkRiver};
    case Kind::subbasins: return {format("subbasins: %zu codes", code_count(map)), std::nullopt, "", "", std::nullopt};
    case Kind::classes: break;
  }
  return {format("classes: %zu values", code_count(map)), std::nullopt, "", "", std::nullopt};
}

int32_t legend_height(int32_t width) { return (2 * kGlyphHeight + 6) * font_scale(width); }

void draw_legend(Image& image, int32_t top, const Legend& legend) {
  const int32_t s = font_scale(image.width());
  image.fill_rect(0, top, image.width(), image.height() - top, kWhite);
  int32_t x = 2 * s;
  const int32_t title_y = top + 2 * s, strip_y = title_y + (kGlyphHeight + 2) * s;
  if (legend.swatch) {
    image.fill_rect(x, title_y, kGlyphHeight * s, kGlyphHeight * s, *legend.swatch);
    x += (kGlyphHeight + 2) * s;
  }
  draw_text(image, x, title_y, legend.title, s, kText);
  if (!legend.ramp) return;
  x = 2 * s;
  draw_text(image, x, strip_y, legend.low, s, kText);
  x += text_width(legend.low, s) + 2 * s;
  draw_strip(image, x, strip_y, kStripDots * s, kGlyphHeight * s, *legend.ramp);
  draw_text(image, x + (kStripDots + 2) * s, strip_y, legend.high, s, kText);
}

}  // namespace orograd::view

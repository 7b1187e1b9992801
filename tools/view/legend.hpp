#pragma once
// The band under the map that says what the colours mean: a title with units and
// either a colour strip between the lowest and highest value or a colour box.
#include <cstdint>
#include <optional>
#include <string>

#include "view/colour.hpp"
#include "view/raster.hpp"
#include "view/view_kind.hpp"

namespace orograd::view {

struct Legend {
  std::string title;           // what the colours show, with units
  std::optional<Ramp> ramp;    // drawn as a strip from `low` to `high`
  std::string low, high;       // labels at the ends of the strip
  std::optional<Rgba> swatch;  // a box in this colour before the title
};

// The legend of a map of this kind: elevation, accumulation and values get their ramp
// with the raster's lowest and highest value; networks a box in the river colour;
// subbasins and classes the number of codes drawn. Pre: none.
Legend legend_for(const Raster& map, Kind kind);

// The height of the legend band under a map `width` pixels wide; wider maps get
// larger letters. Pre: width >= 0. Post: > 0.
int32_t legend_height(int32_t width);

// Draws the band as an opaque white strip from row `top` to the bottom of the image;
// what does not fit the width is cut off. Pre: 0 <= top < image.height().
void draw_legend(Image& image, int32_t top, const Legend& legend);

}  // namespace orograd::view

#include "view/render.hpp"

#include "view/legend.hpp"
#include "view/map_colours.hpp"

namespace orograd::view {

Image render(const Raster& map, Kind kind, int32_t enlarge, const std::vector<Overlay>& overlays) {
  const int32_t width = map.width * enlarge, map_height = map.height * enlarge;
  Image image(width, map_height + legend_height(width));
  colour_map(image, map, kind, enlarge);
  for (const Overlay& overlay : overlays) {
    if (overlay.kind == OverlayKind::rivers)
      draw_rivers(image, overlay.cells, enlarge, kRiverBlue);
    else
      draw_boundaries(image, overlay.cells, enlarge);
  }
  draw_legend(image, map_height, legend_for(map, kind));
  return image;
}

}  // namespace orograd::view

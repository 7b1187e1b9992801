#pragma once
// A whole picture: the map, the overlays drawn over it in order, and the legend band.
#include <cstdint>
#include <vector>

#include "view/image.hpp"
#include "view/overlay.hpp"
#include "view/raster.hpp"
#include "view/view_kind.hpp"

namespace orograd::view {

struct Overlay {
  OverlayKind kind;
  Raster cells;  // reduced as the map: rivers by Reduction::any, basins by Reduction::mode
};

// Pre: map.width, map.height > 0 and map.cellsize > 0; every overlay has the map's
// width and height; enlarge >= 1.
// Post: map.width * enlarge pixels wide, map.height * enlarge plus legend_height(width)
// high; the map at the top as colour_map paints it, rivers in kRiverBlue, basin
// boundaries in black, the legend of `kind` below.
Image render(const Raster& map, Kind kind, int32_t enlarge, const std::vector<Overlay>& overlays);

}  // namespace orograd::view

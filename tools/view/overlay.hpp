#pragma once
// Grids drawn over the picture: river cells in blue, or the boundaries between
// subbasins in black.
#include <cstdint>
#include <optional>
#include <string>

#include "grid/grid.hpp"
#include "view/image.hpp"
#include "view/raster.hpp"

namespace orograd::view {

enum class OverlayKind { rivers, basins };

inline constexpr Rgba kRiverBlue{30, 100, 230, 255};

// An overlay as named on the command line: "rivers:<grid>" or "basins:<grid>", or a
// bare grid name whose kind is judged from its cells.
struct OverlayRequest {
  std::optional<OverlayKind> kind;
  std::string file;
};

// Pre: none. Post: the prefix, when it is "rivers:" or "basins:", is split off; any
// other text is a file name as it stands.
OverlayRequest parse_overlay(const std::string& argument);

// A grid whose valid cells are all 0 or 1 (a river network) is a river overlay, any
// other a subbasin overlay. Pre: the grid is held.
OverlayKind guess_overlay_kind(const Grid& grid);

// Paints the pixels of cells greater than 0 in `colour`; each cell covers
// enlarge x enlarge pixels from the picture's top-left corner.
// Pre: the picture holds raster.width * enlarge x raster.height * enlarge pixels or more.
void draw_rivers(Image& image, const Raster& rivers, int32_t enlarge, Rgba colour);

// Paints black each pixel of a valid cell whose pixel to the east, west, north or
// south belongs to a cell of another value (nodata included), so that the areas of
// equal codes and the edges of the valid cells are outlined, with lines two pixels wide.
// Pre: as draw_rivers.
void draw_boundaries(Image& image, const Raster& codes, int32_t enlarge);

}  // namespace orograd::view

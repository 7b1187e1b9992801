#pragma once
// The map part of a picture: each cell of a raster in the colour of its kind.
#include <cstdint>

#include "view/image.hpp"
#include "view/raster.hpp"
#include "view/view_kind.hpp"

namespace orograd::view {

inline constexpr Rgba kNetworkRiver{16, 60, 150, 255};
inline constexpr Rgba kNetworkBackground{246, 244, 238, 255};

// Paints each cell over enlarge x enlarge pixels from the image's top-left corner:
//   dem           terrain ramp from the lowest to the highest value, brightened or
//                 darkened by the hillshade (flat ground keeps the ramp colour)
//   accumulation  accumulation ramp over the logarithm of the values from
//                 max(lowest, 1) to the highest; values below that take its start
//   values        values ramp, linear from the lowest to the highest value
//   network       river colour for cells > 0, light background for all others: a
//                 network marks the cells off the rivers as nodata
//   subbasins     palette colour of the code (category_colour), boundaries in black
//   classes       palette colour of the code
// Nodata cells stay transparent except in networks. Pre: the image holds
// map.width * enlarge x map.height * enlarge pixels or more; map.cellsize > 0.
void colour_map(Image& image, const Raster& map, Kind kind, int32_t enlarge);

}  // namespace orograd::view

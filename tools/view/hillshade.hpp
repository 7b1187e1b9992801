#pragma once
// Relief shading of an elevation raster: the light a cell's surface receives from a
// sun in the north-west, 45 degrees above the horizon.
#include <cstdint>

#include "view/raster.hpp"

namespace orograd::view {

// The shade of flat ground, sin(45 degrees).
inline constexpr double kFlatShade = 0.70710678118654752;

// The cosine of the angle between the cell's surface normal and the direction of the
// sun, 0 for a surface turned away from it; slopes from Horn's 3x3 weights over the
// raster's cell size, with nodata and off-raster neighbours taking the cell's own
// elevation.
// Pre: dem.cellsize > 0; 0 <= x < dem.width, 0 <= y < dem.height.
// Post: in [0, 1]; kFlatShade on flat ground; 0 for a nodata cell.
double hillshade(const Raster& dem, int32_t x, int32_t y);

// How much a colour is brightened by a shade: 1 on flat ground, 0.5 in full shadow,
// about 1.2 facing the sun.
inline double shade_brightness(double shade) { return 0.5 + 0.5 * shade / kFlatShade; }

}  // namespace orograd::view

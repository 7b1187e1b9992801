#pragma once
// The georeference of a grid in GDAL's geotransform form, shared by the outputs that
// carry one (GeoTIFF, the ENVI header beside binary grids).
#include <array>

#include "grid/grid.hpp"

namespace orograd {

// The geotransform of the geometry: north-west corner x and y, cell width, 0, 0 and
// minus the cell size (north-up, square cells). The top edge is the value within a
// few units in the last place of yllcorner + nrows * cellsize from which
// top - nrows * cellsize gives back exactly yllcorner, so that readers computing the
// lower-left corner find the header's; the plain sum where no such value is near.
// Pre: none.
std::array<double, 6> geotransform(const GridHeader& geometry);

}  // namespace orograd

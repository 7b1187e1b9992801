#pragma once
// The files beside a grid that tell other programs how to read it: the ENVI header
// with which GDAL (and so QGIS) opens a single or double grid directly, and the ESRI
// .prj holding the coordinate reference system of a text grid.
#include <string>

#include "grid/grid_context.hpp"

namespace orograd {

// Takes the .prj file beside the run's first grid, a text grid, as the run's
// coordinate reference system.
// Pre: context.coordinate_system is not yet set.
// Post: when the grid's name with its extension replaced by ".prj" (added when it has
// none) is a file other than the grid, its bytes are in context.coordinate_system and
// context.coordinate_system_is_prj is true; one that exists but cannot be read gives a
// warning with the reason and leaves the context unchanged.
// Fatal: none.
void take_prj_beside(GridContext& context, const std::string& grid_name);

// Writes the sidecar of the grid file just written in context.output_format:
// - single and double: the ENVI header "<file_name>.hdr" with the counts, the cell type,
//   the binary header's size as offset, the geotransform of `geometry`, its nodata value
//   and, when context.coordinate_system is set, that system as ESRI WKT;
// - text, when context.coordinate_system is set: the .prj beside it (named as
//   take_prj_beside looks for one) with the first grid's .prj text byte for byte, or a
//   GDAL raster's system as ESRI WKT.
// Pre: the grid file is complete and is no GeoTIFF.
// Post: a sidecar that cannot be written (or whose name is the grid's own) gives a
// warning naming it and the reason; the grid stays as written.
// Fatal: none.
void write_sidecar(const GridContext& context, const std::string& file_name, const GridHeader& geometry);

}  // namespace orograd

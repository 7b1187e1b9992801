#pragma once
// Reading of grid files in the text, single and double formats, and of any raster GDAL
// reads where the build has GDAL, into grids of the run's geometry.
#include <optional>
#include <string>

#include "grid/grid_context.hpp"

namespace orograd {

// Reads the first grid of the run and takes the run's geometry from its header.
// Pre: none; the format is detected from the file's first bytes, and a file in none of
// the three native formats is opened through GDAL (band 1).
// Post: context.header holds the grid's geometry (counts truncated to integers) with
// nodata_value -9999; cells equal to the file's nodata marker (NaN cells for a NaN
// marker) are -9999, announced on the console when the marker was another value;
// context.coordinate_system holds the reference system of a GDAL raster, or the text
// of the .prj file beside a text grid (see take_prj_beside).
// Fatal: 2 the file cannot be opened, 98 no known format and no raster GDAL opens, 1
// the header cannot be read (for a text header with the reason as a console warning;
// see read_text_grid_header), its counts are not positive, or a GDAL raster is not
// north-up with square cells, 5 a row is short or unreadable.
Grid read_first_grid(GridContext& context, const std::string& file_name);

// Reads a later grid of the run.
// Pre: the run has its geometry (context.has_geometry()).
// Post: as read_first_grid, except that context.header keeps its geometry.
// Fatal: as read_first_grid, and 1 when the file's counts, corner or cell size differ
// from the run's geometry.
Grid read_grid(GridContext& context, const std::string& file_name);

// read_first_grid while the run has no geometry, read_grid afterwards.
Grid read_input_grid(GridContext& context, const std::string& file_name);

// The native format of a grid file, judged from its first bytes as the readers judge it.
// Pre: none.
// Post: text, single or double for a file in one of the native formats; empty for any
// other file (a raster for GDAL) and for a file that cannot be opened.
std::optional<OutputFormat> native_grid_format(const std::string& file_name);

}  // namespace orograd

#pragma once
// Writing of grids in the run's output format.
#include <string>

#include "grid/grid_context.hpp"

namespace orograd {

// Writes `grid` under the header `geometry`: as a GeoTIFF when the name ends in ".tif"
// or ".tiff" (any case; Float32 in the single output format, Float64 otherwise, with
// context.coordinate_system), else in context.output_format with the six
// geometry values and, in the binary formats, the statistics of the grid's valid
// values (those above geometry.nodata_value + 1) in slots 7 to 12.
// Pre: grid has geometry.ncols columns and geometry.nrows rows.
// Post: the file holds the header and the rows, northern row first; the console shows
// "writing <file> ..ready."; outside GeoTIFF, write_sidecar has written the file's
// sidecar (ENVI header or .prj), or warned why it could not.
// The grid (and each sidecar) is written through AtomicFile: it replaces the file of
// that name only when complete, so a fatal error leaves the previous file as it was.
// Fatal: 4 the file (its temporary) cannot be created or its first binary header not
// written, 10 any later write, the closing or the rename fails.
void write_grid(GridContext& context, const std::string& file_name, const Grid& grid, const GridHeader& geometry);

// write_grid in the run's geometry, context.header: how sections write their grids.
// Pre: grid has the run's geometry.
void write_grid(GridContext& context, const std::string& file_name, const Grid& grid);

}  // namespace orograd

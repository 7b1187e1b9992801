#pragma once
// The keyword/value header of a text grid as ArcGIS, GDAL and this program write it.
#include <string>

#include "base/console.hpp"
#include "grid/grid.hpp"
#include "grid/text_number_reader.hpp"

namespace orograd {

// Reads the header lines of a text grid, each a word and a number. The words ncols,
// nrows, xllcorner, yllcorner, xllcenter, yllcenter, cellsize, dx, dy and
// nodata_value are recognised in any letter case and set their own field; any other
// word sets the field of its line in the order ncols, nrows, xllcorner, yllcorner,
// cellsize, nodata_value. The header ends after six lines (seven when dx and dy both
// stand in for cellsize), or earlier where a number follows a complete header.
// Pre: `reader` is at the start of the file.
// Post: slots 1 to 6 hold ncols, nrows, the lower left corner (a centre given is moved
// half a cell), the cell size and the nodata marker (-9999 when the header has none);
// `reader` is at the first cell.
// Fatal: 1 when a line's number does not parse, a field is given twice, a seventh
// line's word is unknown, ncols, nrows, the corner or the cell size is missing, or
// cellsize, dx and dy differ; each also says why in a warning on `console`.
void read_text_grid_header(TextNumberReader& reader, GridFileHeader& slots, const std::string& file_name,
                           Console& console);

// The fatal error of an unreadable grid header, common to all formats; `reason`, when
// given, goes to standard error.
[[noreturn]] void grid_header_error(const std::string& file_name, const std::string& reason = "");

}  // namespace orograd

#pragma once
// What grid reading and writing share across a run: the common geometry, the header
// record, the output format and the console.
#include <string>

#include "base/console.hpp"
#include "grid/grid.hpp"

namespace orograd {

struct GridContext {
  explicit GridContext(Console& console_) : console(console_) {}

  Console& console;
  GridHeader header;
  GridFileHeader file_header;
  OutputFormat output_format = OutputFormat::text;

  // Whether a grid has fixed the run's geometry yet.
  bool has_geometry() const { return header.ncols != 0; }
  Grid allocate() const { return allocate_grid(header); }
};

// Reads the first grid of the run and takes the run's geometry from it.
Grid read_first_grid(GridContext& context, const std::string& file_name);
// Reads a later grid; its geometry must equal the run's.
Grid read_grid(GridContext& context, const std::string& file_name);
// read_first_grid while the run has no geometry, read_grid afterwards.
Grid read_input_grid(GridContext& context, const std::string& file_name);
// Writes a grid in the run's output format, with value statistics in binary headers.
void write_grid(GridContext& context, const std::string& file_name, const Grid& grid);

}  // namespace orograd

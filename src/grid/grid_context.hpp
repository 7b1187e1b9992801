#pragma once
// What grid reading and writing share across a run: the common geometry, the output
// format and the console.
#include "base/console.hpp"
#include "grid/grid.hpp"

namespace orograd {

struct GridContext {
  explicit GridContext(Console& console_) : console(console_) {}

  Console& console;
  GridHeader header;
  OutputFormat output_format = OutputFormat::text;

  // Whether a grid has fixed the run's geometry yet.
  bool has_geometry() const { return header.ncols != 0; }
  Grid allocate() const { return allocate_grid(header); }
};

}  // namespace orograd

#pragma once
// What grid reading and writing share across a run: the common geometry, the output
// format, the console and the blocks of released grids.
#include <memory>
#include <string>
#include <utility>

#include "base/console.hpp"
#include "grid/grid.hpp"

namespace orograd {

struct GridContext {
  explicit GridContext(Console& console_) : console(console_) {}

  Console& console;
  GridHeader header;
  OutputFormat output_format = OutputFormat::text;
  // The coordinate reference system of the run's first grid, carried to the outputs
  // that can hold one: WKT from a GDAL raster, or the text of the .prj file beside a
  // text grid; empty when the first grid carried none.
  std::string coordinate_system;
  // The name of the first grid read, for messages about later grids.
  std::string first_grid;
  // Whether coordinate_system is a .prj file's text, which the .prj of text outputs
  // copies byte for byte; a GDAL raster's WKT is converted to the .prj dialect instead.
  bool coordinate_system_is_prj = false;

  // Whether a grid has fixed the run's geometry yet.
  // Blocks of the run's released grids, for the grids made after them.
  std::shared_ptr<BlockPool> blocks = std::make_shared<BlockPool>();

  bool has_geometry() const { return header.ncols != 0; }
  Grid allocate() const { return allocate_grid(header, blocks); }
  // A new grid of the run's geometry for a caller that writes every cell before it
  // reads any: a block from the pool keeps what it held.
  Grid allocate_to_overwrite() const { return allocate_grid(header, blocks, GridContents::unspecified); }
  // A grid of the run's geometry for a caller that overwrites every cell: `spare`
  // itself when it holds one of that size, which saves committing fresh pages (its
  // cells keep what they held, and `spare` is left empty); else a new grid.
  Grid reuse_or_allocate(Grid& spare) const {
    if (spare.held() && spare.ncols() == header.ncols && spare.nrows() == header.nrows) return std::move(spare);
    return allocate_to_overwrite();
  }
};

}  // namespace orograd

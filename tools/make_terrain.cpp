// make_terrain: writes a deterministic fractal DEM as a grid file.
// usage: make_terrain <ncols> <nrows> <output> [seed] [nodata-margin] [cellsize] [t|s|d]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/fatal.hpp"
#include "grid/grid_writer.hpp"
#include "terrain.hpp"

int main(int argc, char** argv) {
  using namespace orograd;
  if (argc < 4) {
    std::fprintf(stderr, "usage: make_terrain <ncols> <nrows> <output> [seed] [nodata-margin] [cellsize] [t|s|d]\n");
    return 1;
  }
  TerrainOptions options;
  options.ncols = std::atoi(argv[1]);
  options.nrows = std::atoi(argv[2]);
  if (options.ncols <= 0 || options.nrows <= 0) {
    std::fprintf(stderr, "make_terrain: columns and rows must be positive\n");
    return 1;
  }
  if (argc > 4) options.seed = std::strtoull(argv[4], nullptr, 10);
  if (argc > 5) options.nodata_margin = std::atoi(argv[5]);
  const double cellsize = argc > 6 ? std::atof(argv[6]) : 25.0;
  Console console;
  try {
    GridContext context(console);
    const GridHeader geometry{options.ncols, options.nrows, 500000.0, 5200000.0, cellsize, kNodata};
    if (argc > 7 && argv[7][0] == 's') context.output_format = OutputFormat::single;
    if (argc > 7 && argv[7][0] == 'd') context.output_format = OutputFormat::double_;
    write_grid(context, argv[3], make_terrain(options), geometry);
  } catch (const FatalError& error) {
    console.write(error.what());
    return error.code();
  }
  return 0;
}

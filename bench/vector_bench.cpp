// Times orograd-vector on a fractal DEM from the terrain generator: basin polygons of
// its subbasins and river lines of its links, each written as a GeoPackage. The grids
// are derived in-process as the sections derive them (flow directions, accumulation,
// network of threshold 350, orders, links; subbasins of pour points picked as
// pipeline_bench picks them), written as double grids, and each subcommand is timed
// whole (reading the grids, tracing, writing) and by its tracing alone; medians of the
// runs.
// usage: vector_bench [size=4096] [pour-points=100] [folder=/tmp] [runs=5]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "basins/subbasin_delineation.hpp"
#include "bench_hydrology.hpp"
#include "bench_support.hpp"
#include "grid/grid_writer.hpp"
#include "rivers/river_grids.hpp"
#include "rivers/river_links.hpp"
#include "rivers/stream_orders.hpp"
#include "terrain.hpp"
#include "vector/basin_polygons.hpp"
#include "vector/river_lines.hpp"
#include "vector/vector_run.hpp"

using namespace orograd;
using namespace orograd::bench;

namespace {

constexpr double kThreshold = 350, kCellSize = 25;

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Grids {
  Grid subbasins, directions, orders, links;
};

Grids derive_grids(int32_t size, int32_t pour_point_count) {
  TerrainOptions options;
  options.ncols = options.nrows = size;
  const Grid dem = make_terrain(options);
  Hydrology h = derive_hydrology(dem);
  Console quiet = Console::capturing();
  Grids g{Grid::allocate(size, size), std::move(h.directions), Grid::allocate(size, size), Grid::allocate(size, size)};
  g.subbasins.fill(kNodata);
  int32_t code = 0;
  for (const auto& [row, col] : pick_pour_points(dem, h.accumulation, pour_point_count)) g.subbasins(row, col) = ++code;
  Grid network = Grid::allocate(size, size);
  init_river_grids(h.accumulation, kThreshold, network, g.orders, g.links);
  FlowWalker walker = FlowWalker::checked(g.directions, quiet);
  delineate_subbasins(walker, g.subbasins, quiet);
  compute_stream_orders(walker, g.orders);
  number_river_links(walker, g.directions, network, g.orders, g.links, kCellSize, quiet);
  return g;
}

}  // namespace

int main(int argc, char** argv) {
  const int32_t size = argc > 1 ? std::atoi(argv[1]) : 4096;
  const int32_t pour_points = argc > 2 ? std::atoi(argv[2]) : 100;
  const std::string folder = argc > 3 ? argv[3] : "/tmp";
  const int runs = argc > 4 ? std::atoi(argv[4]) : 5;
  const auto file = [&](const char* name) { return folder + "/vector_bench_" + name; };
  const Grids g = derive_grids(size, pour_points);
  Console quiet = Console::capturing();
  {
    GridContext writer(quiet);
    writer.output_format = OutputFormat::double_;
    const GridHeader geometry{size, size, 500000, 5200000, kCellSize, kNodata};
    write_grid(writer, file("subbasins.dbl"), g.subbasins, geometry);
    write_grid(writer, file("directions.dbl"), g.directions, geometry);
    write_grid(writer, file("orders.dbl"), g.orders, geometry);
    write_grid(writer, file("links.dbl"), g.links, geometry);
  }
  const vector::CodeGrid subbasins = vector::read_codes(g.subbasins, "subbasins");
  const vector::CodeGrid links = vector::read_codes(g.links, "links");
  const vector::CodeGrid orders = vector::read_codes(g.orders, "orders");
  const FlowWalker walker = FlowWalker::checked(g.directions, quiet);
  std::vector<double> basin_trace, basin_whole, river_trace, river_whole;
  std::size_t basins = 0, rings = 0, lines = 0;
  for (int run = 0; run < runs; ++run) {
    auto start = Clock::now();
    const std::vector<vector::BasinPolygon> polygons = vector::trace_basin_polygons(subbasins);
    basin_trace.push_back(seconds_since(start));
    basins = polygons.size();
    rings = 0;
    for (const vector::BasinPolygon& basin : polygons)
      for (const vector::PolygonRings& part : basin.parts) rings += 1 + part.holes.size();
    start = Clock::now();
    lines = vector::trace_river_lines(walker, links, &orders, kCellSize).size();
    river_trace.push_back(seconds_since(start));
    start = Clock::now();
    vector::run_vector({vector::Command::basins, file("subbasins.dbl"), "", {}, file("basins.gpkg"),
                        vector::VectorFormat::geopackage},
                       quiet);
    basin_whole.push_back(seconds_since(start));
    start = Clock::now();
    vector::run_vector({vector::Command::rivers, file("links.dbl"), file("directions.dbl"), file("orders.dbl"),
                        file("rivers.gpkg"), vector::VectorFormat::geopackage},
                       quiet);
    river_whole.push_back(seconds_since(start));
  }
  std::printf("vector_bench: %dx%d fractal DEM, seed 1, %d pour points, threshold %g, %s build\n", size, size,
              pour_points, kThreshold, OROGRAD_SEQUENTIAL ? "sequential" : "OpenMP");
  std::printf("%zu basins (%zu rings), %zu river links; medians of %d runs, seconds\n", basins, rings, lines, runs);
  std::printf("  %-58s %6.2f\n", "basin polygons: tracing", median(basin_trace));
  std::printf("  %-58s %6.2f\n", "basin polygons: whole (double grid in, GeoPackage out)", median(basin_whole));
  std::printf("  %-58s %6.2f\n", "river lines: tracing (walker given)", median(river_trace));
  std::printf("  %-58s %6.2f\n", "river lines: whole (three double grids in, GeoPackage out)", median(river_whole));
  std::printf("  %-58s %6.1f / %.1f MB\n", "GeoPackage sizes, basins / rivers",
              std::filesystem::file_size(file("basins.gpkg")) / 1e6, std::filesystem::file_size(file("rivers.gpkg")) / 1e6);
  for (const char* name : {"subbasins.dbl", "directions.dbl", "orders.dbl", "links.dbl", "basins.gpkg", "rivers.gpkg"}) {
    std::filesystem::remove(file(name));
    std::filesystem::remove(file(name) + ".hdr");
  }
  return 0;
}

// Benchmark of slope, aspect and the three curvatures on a fractal DEM (4096x4096 by
// default): compute_local_topography alone, then the whole [Hoehenmodell] section
// with all five outputs, from a text grid file to five text grid files.
// usage: topo_bench [size=4096] [work-folder=/tmp]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench_support.hpp"
#include "base/console.hpp"
#include "driver/run_state.hpp"
#include "grid/grid_reader.hpp"
#include "grid/grid_writer.hpp"
#include "topo/local_topography.hpp"
#include "topo/local_topography_section.hpp"
#include "terrain.hpp"

using namespace orograd;
using namespace orograd::bench;

namespace {

// Best of three runs of the stencil and the gap fill, all five grids requested.
void time_compute(const Grid& dem) {
  const int32_t n = dem.ncols();
  GridHeader header{n, dem.nrows(), 0, 0, 25.0, kNodata};
  Grid slope = Grid::allocate(n, n), aspect = Grid::allocate(n, n), profile = Grid::allocate(n, n),
       plan = Grid::allocate(n, n), curvature = Grid::allocate(n, n);
  LocalTopographyGrids grids{&slope, &aspect, &profile, &plan, &curvature};
  Console console = Console::capturing();
  double best = 1e300;
  for (int k = 0; k < 3; ++k) {
    const auto start = Clock::now();
    compute_local_topography(console, header, dem, grids);
    best = std::min(best, seconds_since(start));
  }
  std::printf("compute_local_topography, five grids: %.3f s (best of 3)\n", best);
}

// The section as a run does it: text grid in, five text grids out.
void time_section(const Grid& dem, const std::string& folder) {
  Console console = Console::capturing();
  const std::string dem_file = folder + "/topo_bench_dem.asc";
  {
    GridContext writer(console);
    write_grid(writer, dem_file, dem, {dem.ncols(), dem.nrows(), 0, 0, 25, kNodata});
  }
  std::string control = "[Hoehenmodell]\n1\n" + dem_file + "\n";
  for (const char* section : {"Aspect", "Gefaelle", "Profilcurvature", "Plancurvature", "Curvature"})
    control += std::string("[") + section + "]\n1\n" + folder + "/topo_bench_" + section + ".asc\n";
  control += "[Horizont]\n0\n[WindCorrectionFactor]\n0\n";

  double read_seconds;
  {
    GridContext reader(console);
    const auto start = Clock::now();
    const Grid copy = read_first_grid(reader, dem_file);
    read_seconds = seconds_since(start);
  }
  RunState run(console);
  run.control.emplace("bench.ctl", control, console);
  const auto start = Clock::now();
  run_local_topography(run);
  const double seconds = seconds_since(start);
  std::printf("[Hoehenmodell] with five outputs, text in and out: %.2f s (reading the DEM alone: %.2f s)\n", seconds,
              read_seconds);
  std::filesystem::remove(dem_file);
  for (const char* section : {"Aspect", "Gefaelle", "Profilcurvature", "Plancurvature", "Curvature"})
    std::filesystem::remove(folder + "/topo_bench_" + section + ".asc");
}

}  // namespace

int main(int argc, char** argv) {
  const int32_t size = argc > 1 ? std::atoi(argv[1]) : 4096;
  const std::string folder = argc > 2 ? argv[2] : "/tmp";
  TerrainOptions options;
  options.ncols = options.nrows = size;
  const Grid dem = make_terrain(options);
  std::printf("%dx%d fractal DEM\n", size, size);
  time_compute(dem);
  time_section(dem, folder);
  return 0;
}

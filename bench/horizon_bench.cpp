// Benchmark of the horizon: compute_horizon with 36 azimuths over the full circle on
// fractal DEMs of 1024x1024 and 2048x2048 cells (or the sizes given), reporting
// seconds, cell-directions per second and walk steps per second. The steps are those
// the walks of trace_horizon take, counted in a separate untimed pass.
// usage: horizon_bench [size...]
#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <vector>

#include "bench_support.hpp"
#include "base/angles.hpp"
#include "base/console.hpp"
#include "topo/horizon.hpp"
#include "topo/horizon_walk.hpp"
#include "topo/local_topography.hpp"
#include "terrain.hpp"

using namespace orograd;
using namespace orograd::bench;

namespace {

constexpr int32_t kAzimuths = 36;

// Steps all walks of the 36 directions take; untimed.
double count_walk_steps(const Grid& elevation, const GridHeader& header) {
  double zmax_all = -9999.9;
  for (int32_t i = 1; i <= header.nrows; ++i)
    for (int32_t j = 1; j <= header.ncols; ++j) zmax_all = std::max(zmax_all, elevation(i, j));
  HorizonTerrain terrain(elevation, zmax_all);
  double steps = 0;
  double a = 0;
  const double step = 360.0 / kAzimuths * kPi / 180;
  for (int32_t n = 0; n < kAzimuths; ++n, a += step) {
    terrain.set_walk(make_horizon_walk(a, header.ncols, header.nrows, header.cellsize));
    int64_t direction_steps = 0;
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(dynamic, 16) reduction(+ : direction_steps)
#endif
    for (int32_t i = 1; i <= header.nrows; ++i)
      for (int32_t j = 1; j <= header.ncols; ++j)
        if (elevation(i, j) != kNodata) direction_steps += horizon_walk_length(terrain, i, j, 1e12);
    steps += static_cast<double>(direction_steps);
  }
  return steps;
}

void run(int32_t size) {
  TerrainOptions options;
  options.ncols = options.nrows = size;
  const Grid elevation = make_terrain(options);
  GridHeader header{size, size, 0, 0, 25.0, kNodata};
  Grid slope = Grid::allocate(size, size), aspect = Grid::allocate(size, size);
  Grid horizon = Grid::allocate(size, size), scratch = Grid::allocate(size, size);
  Console console = Console::capturing();
  LocalTopographyGrids grids;
  grids.slope = &slope;
  grids.aspect = &aspect;
  compute_local_topography(console, header, elevation, grids);

  HorizonRequest request;
  request.azimuth_count = kAzimuths;
  const auto start = Clock::now();
  const std::clock_t cpu_start = std::clock();
  compute_horizon(console, {header, elevation, slope, aspect}, request, horizon, scratch);
  const double seconds = seconds_since(start);
  // CPU time of all threads: steadier than wall time when other jobs share the machine.
  const double cpu_seconds = static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
  const double cell_directions = static_cast<double>(size) * size * kAzimuths;
  const double steps = count_walk_steps(elevation, header);
  std::printf("%dx%d, %d azimuths: %.2f s (CPU %.2f s), %.2f million cell-directions/s, %.0f million walk steps (%.1f per walk), "
              "%.0f million steps/s\n",
              size, size, kAzimuths, seconds, cpu_seconds, cell_directions / seconds / 1e6, steps / 1e6, steps / cell_directions,
              steps / seconds / 1e6);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int32_t> sizes;
  for (int k = 1; k < argc; ++k) sizes.push_back(std::atoi(argv[k]));
  if (sizes.empty()) sizes = {1024, 2048};
  for (int32_t size : sizes) run(size);
  return 0;
}

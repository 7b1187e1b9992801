// Benchmark of [Flowdirection] and [Flowaccumulation] on a fractal DEM from the
// terrain generator: the algorithms timed one by one (sink runs, flat sweeps,
// accumulation), then both sections run from a text grid file to text grid files.
// usage: flow_bench [size=4096] [seed=1] [switch=1 (eight) | 2 (four)] [work-folder=/tmp]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench_support.hpp"
#include "base/console.hpp"
#include "base/fatal.hpp"
#include "driver/run_state.hpp"
#include "flow/depressionless_directions.hpp"
#include "flow/flat_draining.hpp"
#include "flow/flow_accumulation.hpp"
#include "flow/flow_accumulation_section.hpp"
#include "flow/flow_direction_pass.hpp"
#include "flow/flow_direction_section.hpp"
#include "flow/incremental_sink_runs.hpp"
#include "flow/sink_filling.hpp"
#include "grid/grid_reader.hpp"
#include "grid/grid_writer.hpp"
#include "terrain.hpp"

using namespace orograd;
using namespace orograd::bench;

namespace {

// The algorithms alone, with the loops of the section, timed piece by piece.
void time_algorithms(Neighbourhood n, Grid elevation) {
  const int32_t ncols = elevation.ncols(), nrows = elevation.nrows();
  Grid directions = Grid::allocate(ncols, nrows), regions = Grid::allocate(ncols, nrows);
  round_elevations(elevation);
  Console quiet = Console::capturing();
  auto start = Clock::now();
  const int32_t raising_runs = fill_sinks_incrementally(n, sink_tolerance(n), elevation, directions, regions, quiet);
  const double incremental_seconds = seconds_since(start);
  start = Clock::now();
  const SinkFillResult last = [&] {
    compute_flow_directions(n, elevation, directions, regions);
    return fill_sinks(n, sink_tolerance(n), elevation, directions, regions);
  }();
  const double last_run_seconds = seconds_since(start);
  const auto first_line = quiet.captured().find("Sinks");
  const long first_count = first_line == std::string::npos ? 0 : std::atol(quiet.captured().c_str() + quiet.captured().rfind('\n', first_line) + 1);

  start = Clock::now();
  FlatSweepState state = start_flat_sweeps(directions);
  const auto flat_cells = static_cast<std::size_t>(state.undrained);
  int32_t sweeps = 0;
  while (++sweeps, drain_flats(n, elevation, directions, state) > 0) {
  }
  const double flat_seconds = seconds_since(start);

  start = Clock::now();
  Grid accumulation = Grid::allocate(ncols, nrows);
  accumulate_flow(directions, 1000, accumulation, quiet);
  const double accumulation_seconds = seconds_since(start);

  const int32_t sink_runs = raising_runs + 1;
  std::printf("sink runs: %d (closed depressions in run 1: %ld; last run counts %lld)\n", sink_runs, first_count,
              static_cast<long long>(last.closed_depressions));
  std::printf("  runs 1-%d incrementally %.2f s, last run (whole-grid pass and fill_sinks) %.2f s, "
              "%.5f s per sink run on average\n",
              raising_runs, incremental_seconds, last_run_seconds, (incremental_seconds + last_run_seconds) / sink_runs);
  std::printf("flat sweeps: %d over %zu cells without direction, %.2f s\n", sweeps, flat_cells, flat_seconds);
  std::printf("accumulation (threshold 1000): %.2f s\n", accumulation_seconds);
}

// Both sections as a run does them: text grid in, three plus one text grids out.
void time_sections(Neighbourhood n, const std::string& folder, const Grid& dem) {
  Console console = Console::capturing();
  RunState run(console);
  const std::string dem_file = folder + "/flow_bench_dem.asc";
  {
    GridContext writer(console);
    write_grid(writer, dem_file, dem, {dem.ncols(), dem.nrows(), 0, 0, 25, kNodata});
  }
  const std::string control = "[Flowdirection]\n" + std::string(n == Neighbourhood::eight ? "1" : "2") + "\n" +
                              folder + "/flow_bench_dir.asc\n" + folder + "/flow_bench_sinks.asc\n" + folder +
                              "/flow_bench_filled.asc\n[Flowaccumulation]\n1\n" + folder + "/flow_bench_acc.asc\n" +
                              folder + "/flow_bench_dir.asc\n1000\n";
  run.control.emplace("bench.ctl", control, console);

  auto start = Clock::now();
  run.grids.elevation.grid = read_first_grid(run.grid_context, dem_file);
  run.settings.elevation_model_switch = 1;
  const double read_seconds = seconds_since(start);
  start = Clock::now();
  run_flow_directions(run);
  const double direction_seconds = seconds_since(start);
  start = Clock::now();
  run_flow_accumulation(run);
  const double accumulation_seconds = seconds_since(start);
  std::printf("sections, text in and out: reading %.2f s, [Flowdirection] %.2f s, [Flowaccumulation] %.2f s, "
              "together %.2f s\n",
              read_seconds, direction_seconds, accumulation_seconds,
              read_seconds + direction_seconds + accumulation_seconds);
  for (const char* name : {"dem", "dir", "sinks", "filled", "acc"})
    std::filesystem::remove(folder + "/flow_bench_" + name + ".asc");
}

}  // namespace

int main(int argc, char** argv) {
  const int32_t size = argc > 1 ? std::atoi(argv[1]) : 4096;
  TerrainOptions options;
  options.ncols = options.nrows = size;
  options.seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
  const Neighbourhood n = argc > 3 && std::atoi(argv[3]) != 1 ? Neighbourhood::four : Neighbourhood::eight;
  const std::string folder = argc > 4 ? argv[4] : "/tmp";
  std::printf("flow_bench: %dx%d fractal DEM, seed %llu, %s neighbours, %s build\n", size, size,
              static_cast<unsigned long long>(options.seed), n == Neighbourhood::eight ? "eight" : "four",
              OROGRAD_SEQUENTIAL ? "sequential" : "OpenMP");
  try {
    const Grid dem = make_terrain(options);
    Grid copy = Grid::allocate(size, size);
    for (int32_t row = 1; row <= size; ++row)
      for (int32_t col = 1; col <= size; ++col) copy(row, col) = dem(row, col);
    time_algorithms(n, std::move(copy));
    time_sections(n, folder, dem);
  } catch (const FatalError& error) {
    std::printf("%s", error.what());
    return 1;
  }
  std::printf("peak memory: %.0f MiB\n", peak_memory_mib());
  return 0;
}

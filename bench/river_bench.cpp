// Benchmark of the river sections on a fractal DEM from the terrain generator: the
// algorithms timed one by one, then [Flussnetz], [Flussordnungen], [Fliesskorrektur]
// (three runs) and [Flusseparation] (orders 1 to 6) from text grid files to text grid
// files, as a run does them.
// usage: river_bench [size=4096] [threshold=350] [work-folder=/tmp]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench_hydrology.hpp"
#include "bench_support.hpp"
#include "base/console.hpp"
#include "base/fatal.hpp"
#include "driver/release_steps.hpp"
#include "driver/run_state.hpp"
#include "flow/flow_accumulation.hpp"
#include "flow/flow_correction.hpp"
#include "flow/flow_correction_section.hpp"
#include "grid/grid_writer.hpp"
#include "rivers/river_grids.hpp"
#include "rivers/river_links.hpp"
#include "rivers/river_network.hpp"
#include "rivers/river_network_section.hpp"
#include "rivers/river_separation.hpp"
#include "rivers/river_separation_section.hpp"
#include "rivers/stream_order_section.hpp"
#include "rivers/stream_orders.hpp"
#include "terrain.hpp"

using namespace orograd;
using namespace orograd::bench;

namespace {

void time_algorithms(Hydrology& h, int32_t threshold) {
  const int32_t ncols = h.directions.ncols(), nrows = h.directions.nrows();
  Grid network = Grid::allocate(ncols, nrows), orders = Grid::allocate(ncols, nrows),
       links = Grid::allocate(ncols, nrows), scratch = Grid::allocate(ncols, nrows);
  Console quiet = Console::capturing();
  std::printf("algorithms:\n");
  timed("mark_river_cells", [&] { mark_river_cells(h.accumulation, threshold, network); });
  int64_t river_cells = 0;
  for (int32_t row = 1; row <= nrows; ++row)
    for (int32_t col = 1; col <= ncols; ++col) river_cells += network(row, col) == 1.0;
  std::printf("  river cells: %lld (%.1f %%)\n", static_cast<long long>(river_cells),
              100.0 * static_cast<double>(river_cells) / (static_cast<double>(ncols) * nrows));
  timed("normalise_river_grids", [&] { normalise_river_grids(network, orders, links); });
  std::optional<FlowWalker> walker;
  timed("check_flow_paths", [&] { walker.emplace(FlowWalker::checked(h.directions, quiet)); });
  timed("compute_stream_orders", [&] { compute_stream_orders(*walker, orders); });
  int64_t link_count = 0;
  timed("number_river_links", [&] {
    link_count = number_river_links(*walker, h.directions, network, orders, links, 25, quiet);
  });
  std::printf("  links: %lld, highest order %g\n", static_cast<long long>(link_count), highest_stream_order(orders));
  timed("correct_parallel_flow (order 1)", [&] { correct_parallel_flow(1, h.directions, orders, h.accumulation, scratch); });
  timed("accumulate_flow", [&] {
    h.accumulation.fill(0);
    walker.emplace(accumulate_flow(h.directions, threshold, h.accumulation, quiet));
  });
  timed("init_river_grids", [&] { init_river_grids(h.accumulation, threshold, network, orders, links); });
  timed("separation, order 1 (select, number, outlets)", [&] {
    select_rivers_from_order(orders, 1, network, links);
    number_river_links(*walker, h.directions, network, orders, links, 25, quiet);
    mark_link_outlets(*walker, links, network);
  });
}

void time_sections(const std::string& folder, const Hydrology& h, int32_t threshold) {
  Console console = Console::capturing();
  RunState run(console);
  const GridHeader geometry{h.directions.ncols(), h.directions.nrows(), 0, 0, 25, kNodata};
  const auto file = [&](const char* name) { return folder + "/river_bench_" + name + ".asc"; };
  {
    GridContext writer(console);
    write_grid(writer, file("dem"), h.elevation, geometry);
    write_grid(writer, file("dir"), h.directions, geometry);
    write_grid(writer, file("acc"), h.accumulation, geometry);
  }
  const std::string t = std::to_string(threshold);
  const std::string control =
      "[Flussnetz]\n1\n" + file("net") + "\n" + file("acc") + "\n" + t + "\n[Flussordnungen]\n1\n" + file("ord") +
      "\n" + file("lnk") + "\n" + file("net") + "\n" + file("dir") + "\n[Fliesskorrektur]\n1\n" + file("cord") + "\n" +
      file("clnk") + "\n" + file("cdir") + "\n" + file("cacc") + "\n" + t + "\n" + file("dem") + "\n" + file("ord") +
      "\n" + file("dir") + "\n" + file("acc") + "\n" + file("net") + "\n3\n1\n2\n3\n[Flusseparation]\n1\n" + folder +
      "/river_bench_sep\n1\n6\n" + file("ord") + "\n" + file("lnk") + "\n" + file("dir") + "\n";
  run.control.emplace("bench.ctl", control, console);

  std::printf("sections, text in and out:\n");
  const auto start = Clock::now();
  timed("[Flussnetz] (reads the accumulation)", [&] { run_river_network(run); });
  timed("[Flussordnungen] (reads the directions)", [&] { run_stream_orders(run); });
  timed("[Fliesskorrektur], three runs (reads the DEM)", [&] { run_flow_correction(run); });
  timed("release step", [&] { release_after_correction(run); });
  timed("[Flusseparation], orders 1 to 6", [&] { run_river_separation(run); });
  std::printf("  %-44s %6.2f s\n", "all four sections", seconds_since(start));
  for (const char* name : {"dem", "dir", "acc", "net", "ord", "lnk", "cord", "clnk", "cdir", "cacc"})
    std::filesystem::remove(file(name));
  for (int order = 1; order <= 6; ++order) std::filesystem::remove(folder + "/river_bench_sep0" + std::to_string(order));
}

}  // namespace

int main(int argc, char** argv) {
  const int32_t size = argc > 1 ? std::atoi(argv[1]) : 4096;
  const int32_t threshold = argc > 2 ? std::atoi(argv[2]) : 350;
  const std::string folder = argc > 3 ? argv[3] : "/tmp";
  TerrainOptions options;
  options.ncols = options.nrows = size;
  std::printf("river_bench: %dx%d fractal DEM, seed 1, threshold %d, %s build\n", size, size, threshold,
              OROGRAD_SEQUENTIAL ? "sequential" : "OpenMP");
  try {
    const Grid dem = make_terrain(options);
    Hydrology hydrology = derive_hydrology(dem);
    time_sections(folder, hydrology, threshold);
    time_algorithms(hydrology, threshold);
  } catch (const FatalError& error) {
    std::printf("%s", error.what());
    return 1;
  }
  std::printf("peak memory: %.0f MiB\n", peak_memory_mib());
  return 0;
}

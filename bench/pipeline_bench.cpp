// Benchmark of the whole typical run on a fractal DEM from the terrain generator:
// every section from the text DEM to text grids, in-process through a RunState and
// timed section by section, then the real program on the same control file in a child
// process, timed with its start-up and measured for its own peak memory.
// Typical run: slope and aspect (no curvatures, no horizon), flow directions, flow
// accumulation, river network, stream orders, three correction runs (orders 1 to 3),
// separation of orders 1 to 6, travel times and subbasins of one pour point set;
// river threshold 350 cells, Strickler 30, specific discharge 20.
// usage: pipeline_bench [size=4096] [pour-points=20] [work-folder=/tmp] [prepare]
//   "prepare" only writes the DEM, the pour point grid and the control file (for
//   saga_pipeline.sh) and leaves them in the work folder.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "bench_hydrology.hpp"
#include "bench_support.hpp"
#include "base/console.hpp"
#include "base/fatal.hpp"
#include "basins/subbasin_section.hpp"
#include "basins/travel_time_section.hpp"
#include "driver/release_steps.hpp"
#include "driver/run_state.hpp"
#include "flow/flow_accumulation_section.hpp"
#include "flow/flow_correction_section.hpp"
#include "flow/flow_direction_section.hpp"
#include "grid/grid_writer.hpp"
#include "rivers/river_network_section.hpp"
#include "rivers/river_separation_section.hpp"
#include "rivers/stream_order_section.hpp"
#include "snow/snow_redistribution_section.hpp"
#include "terrain.hpp"
#include "topo/local_topography_section.hpp"

extern char** environ;

using namespace orograd;
using namespace orograd::bench;

namespace {

constexpr int32_t kThreshold = 350;
// The geometry make_terrain writes, so saga_pipeline.sh and this program share a DEM.
constexpr double kCellSize = 25, kXll = 500000, kYll = 5200000;
struct Files {
  std::string folder;
  std::string operator()(const std::string& name) const { return folder + "/pipeline_bench_" + name; }
};

// Every grid name the control file lists, inputs and outputs, for the clean-up.
const char* const kFileNames[] = {
    "dem.asc",  "pour_points.asc", "aspect.asc", "slope.asc", "dir.asc",     "sinks.asc",     "filled.asc",
    "acc.asc",  "net.asc",         "ord.asc",    "lnk.asc",   "cord.asc",    "clnk.asc",      "cdir.asc",
    "cacc.asc", "tt.asc",          "depth.asc",  "width.asc", "subbasins.asc", "subbasin_tt.asc",
    "reaches.asc", "structure.txt", "run.ctl",   "run.$$$",   "orograd.log"};

// The typical run's control file, laid out as examples/example.ctl.
std::string control_text(const Files& f) {
  const std::string t = std::to_string(kThreshold);
  return "[Hoehenmodell]\n1\n" + f("dem.asc") + "\n[Aspect]\n1\n" + f("aspect.asc") + "\n[Gefaelle]\n1\n" +
         f("slope.asc") + "\n[Profilcurvature]\n0\n[Plancurvature]\n0\n[Curvature]\n0\n[Horizont]\n0\n" +
         "[WindCorrectionFactor]\n0\n[Flowdirection]\n1\n" + f("dir.asc") + "\n" + f("sinks.asc") + "\n" +
         f("filled.asc") + "\n[SnowRedistribution]\n0\n[Flowaccumulation]\n1\n" + f("acc.asc") + "\n" +
         f("dir.asc") + "\n" + t + "\n[Flussnetz]\n1\n" + f("net.asc") + "\n" + f("acc.asc") + "\n" + t +
         "\n[Flussordnungen]\n1\n" + f("ord.asc") + "\n" + f("lnk.asc") + "\n" + f("net.asc") + "\n" +
         f("dir.asc") + "\n[Fliesskorrektur]\n1\n" + f("cord.asc") + "\n" + f("clnk.asc") + "\n" + f("cdir.asc") +
         "\n" + f("cacc.asc") + "\n" + t + "\n" + f("dem.asc") + "\n" + f("ord.asc") + "\n" + f("dir.asc") + "\n" +
         f("acc.asc") + "\n" + f("net.asc") + "\n3\n1\n2\n3\n[Flusseparation]\n1\n" + f("sep") + "\n1\n6\n" +
         f("ord.asc") + "\n" + f("lnk.asc") + "\n" + f("dir.asc") + "\n[Fliesszeiten]\n1\n" + f("tt.asc") + "\n" +
         f("depth.asc") + "\n" + f("width.asc") + "\n30\n20\n" + f("dem.asc") + "\n" + f("slope.asc") + "\n" +
         f("cdir.asc") + "\n" + f("cacc.asc") + "\n" + f("clnk.asc") + "\n[Einzugsgebiete]\n1\n30\n20\n" +
         f("dem.asc") + "\n" + f("cacc.asc") + "\n" + f("cdir.asc") + "\n" + f("tt.asc") + "\n1\n" +
         f("pour_points.asc") + "\n" + f("subbasins.asc") + "\n" + f("subbasin_tt.asc") + "\n" +
         f("reaches.asc") + "\n" + f("structure.txt") + "\n";
}

// Writes the DEM, the pour point grid (codes 1, 2, ... in the order picked) and the
// control file.
void prepare(const Files& f, int32_t size, int32_t pour_point_count) {
  TerrainOptions options;
  options.ncols = options.nrows = size;
  const Grid dem = make_terrain(options);
  Grid pour_points = Grid::allocate(size, size);
  pour_points.fill(kNodata);
  int32_t code = 0;
  for (const auto& [row, col] : pick_pour_points(dem, derive_hydrology(dem).accumulation, pour_point_count))
    pour_points(row, col) = ++code;
  Console quiet = Console::capturing();
  GridContext writer(quiet);
  const GridHeader geometry{size, size, kXll, kYll, kCellSize, kNodata};
  write_grid(writer, f("dem.asc"), dem, geometry);
  write_grid(writer, f("pour_points.asc"), pour_points, geometry);
  std::ofstream(f("run.ctl")) << control_text(f);
}

// Resets the process's peak resident memory (which getrusage reports), so that the
// peak measured after the sections covers them and not the preparation.
void reset_peak_memory() { std::ofstream("/proc/self/clear_refs") << "5"; }

void time_sections(const Files& f) {
  Console console = Console::capturing();
  RunState run(console);
  run.control.emplace(f("run.ctl"), control_text(f), console);
  // Labels are aligned in a wider column than the other benchmarks'.
  const auto timed = [](const char* label, auto&& action) { bench::timed(label, action, 52); };
  std::printf("sections in-process, text in and out:\n");
  const auto start = Clock::now();
  timed("[Hoehenmodell], slope and aspect (reads the DEM)", [&] { run_local_topography(run); });
  timed("[Flowdirection]", [&] { run_flow_directions(run); });
  timed("[SnowRedistribution] (off)", [&] { run_snow_redistribution(run); });
  timed("[Flowaccumulation]", [&] { run_flow_accumulation(run); });
  timed("release after the accumulation", [&] { release_after_accumulation(run); });
  timed("[Flussnetz]", [&] { run_river_network(run); });
  timed("[Flussordnungen]", [&] { run_stream_orders(run); });
  timed("[Fliesskorrektur], orders 1, 2, 3", [&] { run_flow_correction(run); });
  timed("release after the correction", [&] { release_after_correction(run); });
  timed("[Flusseparation], orders 1 to 6", [&] { run_river_separation(run); });
  timed("[Fliesszeiten] (reads DEM, slope, accumulation)", [&] { run_travel_times(run); });
  timed("release after the travel times", [&] { release_after_travel_times(run); });
  timed("[Einzugsgebiete], one pour point set (reads DEM)", [&] { run_subbasins(run); });
  timed("release at the end", [&] { release_at_end(run); });
  std::printf("  %-52s %6.2f s\n", "all sections", seconds_since(start));
}

// Runs the real program on the control file, its output in a log file; returns false
// when it cannot start or does not end with code 0.
bool time_program(const std::string& program, const Files& f) {
  // The child's peak starts at this process's peak (the kernel keeps the larger of the
  // two across exec), so reset it to the present resident memory, which is small once
  // the sections' grids are freed, and print it as the floor of the child's figure.
  reset_peak_memory();
  const double floor = peak_memory_mib();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string log = f("orograd.log");
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  std::string control = f("run.ctl");
  char* arguments[] = {const_cast<char*>(program.c_str()), control.data(), nullptr};
  const auto start = Clock::now();
  pid_t pid = 0;
  const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, arguments, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    std::printf("cannot start %s\n", program.c_str());
    return false;
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const double seconds = seconds_since(start);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::printf("%s ended with status %d, see %s\n", program.c_str(), status, log.c_str());
    return false;
  }
  std::printf("real program (%s), its own process:\n  %-52s %6.2f s\n  %-52s %6.0f MiB (floor %.0f MiB)\n",
              program.c_str(), "wall time, start-up included", seconds, "peak memory",
              static_cast<double>(usage.ru_maxrss) / 1024.0, floor);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int32_t size = argc > 1 ? std::atoi(argv[1]) : 4096;
  const int32_t pour_points = argc > 2 ? std::atoi(argv[2]) : 20;
  const Files files{argc > 3 ? argv[3] : "/tmp"};
  const bool prepare_only = argc > 4 && std::string(argv[4]) == "prepare";
  std::filesystem::path here = std::filesystem::path(argv[0]).parent_path();
  const std::string program = ((here.empty() ? "." : here) / ".." / "orograd").string();
  std::printf("pipeline_bench: %dx%d fractal DEM, seed 1, %d pour points, threshold %d, %s build\n", size, size,
              pour_points, kThreshold, OROGRAD_SEQUENTIAL ? "sequential" : "OpenMP");
  bool ok = true;
  try {
    prepare(files, size, pour_points);
    if (prepare_only) {
      std::printf("prepared %s, %s and %s\n", files("dem.asc").c_str(), files("pour_points.asc").c_str(),
                  files("run.ctl").c_str());
      return 0;
    }
    const double preparation_peak = peak_memory_mib();
    reset_peak_memory();
    time_sections(files);
    std::printf("  %-52s %6.0f MiB\n", "peak memory of the sections", peak_memory_mib());
    std::printf("  %-52s %6.0f MiB\n", "peak memory of the preparation (DEM, pour points)", preparation_peak);
    ok = time_program(program, files);
  } catch (const FatalError& error) {
    std::printf("%s", error.what());
    ok = false;
  }
  if (ok) {
    for (const char* name : kFileNames) std::filesystem::remove(files(name));
    for (int order = 1; order <= 6; ++order) std::filesystem::remove(files("sep0" + std::to_string(order)));
  }
  return ok ? 0 : 1;
}

// Benchmark of orograd-pour on a fractal DEM from the terrain generator: 1000 gauges,
// each at a random place in its own square of a 32 x 32 lattice (so that no two can
// snap onto one cell), snapped onto the accumulation with the default distance of two
// cells. Times the snapping in-process, then the whole program (reading the text
// accumulation grid and a CSV of the gauges, writing a text pour-point grid) in a
// child process; prints the median of each over the runs.
// usage: pour_bench [size=4096] [runs=5] [work-folder=/tmp]
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench_hydrology.hpp"
#include "bench_support.hpp"
#include "grid/grid_writer.hpp"
#include "pour/snap_to_river.hpp"
#include "terrain.hpp"

extern char** environ;

using namespace orograd;
using namespace orograd::bench;

namespace {

constexpr double kCellSize = 25, kXll = 500000, kYll = 5200000;
constexpr int32_t kLattice = 32;  // 32 x 32 = 1024 squares, the first 1000 get a gauge

std::vector<GridCell> random_gauges(int32_t size) {
  std::mt19937_64 random(1);
  const int32_t square = size / kLattice;
  std::uniform_int_distribution<int32_t> within(0, square - 1);
  std::vector<GridCell> gauges;
  for (int32_t i = 0; i < 1000; ++i)
    gauges.push_back({i / kLattice * square + within(random) + 1, i % kLattice * square + within(random) + 1});
  return gauges;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The gauges as a CSV of cell centres with codes 1, 2, ...
void write_gauges(const std::string& file, const std::vector<GridCell>& gauges, int32_t size) {
  std::ofstream out(file);
  out.precision(17);
  out << "x,y,code\n";
  for (std::size_t i = 0; i < gauges.size(); ++i)
    out << kXll + (gauges[i].col - 0.5) * kCellSize << ',' << kYll + (size - gauges[i].row + 0.5) * kCellSize << ','
        << i + 1 << '\n';
}

// Wall seconds of one run of the program with its output in `log`; negative when it
// does not end with code 0.
double run_program(const std::string& program, std::vector<std::string> arguments, const std::string& log) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const auto start = Clock::now();
  pid_t pid = 0;
  const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  const double seconds = seconds_since(start);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int32_t size = argc > 1 ? std::atoi(argv[1]) : 4096;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  const std::string folder = argc > 3 ? argv[3] : "/tmp";
  const std::filesystem::path here = std::filesystem::path(argv[0]).parent_path();
  const std::string program = ((here.empty() ? "." : here) / ".." / "orograd-pour").string();
  std::printf("pour_bench: %dx%d fractal DEM, seed 1, 1000 gauges, snap distance 2 cells, %d runs\n", size, size, runs);
  TerrainOptions options;
  options.ncols = options.nrows = size;
  const Grid accumulation = derive_hydrology(make_terrain(options)).accumulation;
  const std::vector<GridCell> gauges = random_gauges(size);

  std::vector<double> snapping;
  double checksum = 0;
  for (int run = 0; run < runs; ++run) {
    const auto start = Clock::now();
    for (const GridCell& gauge : gauges)
      checksum += pour::snap_to_river(accumulation, kCellSize, gauge, 2 * kCellSize)->accumulation;
    snapping.push_back(seconds_since(start));
  }
  std::printf("  %-44s %9.3f ms (checksum %.0f)\n", "snapping 1000 gauges, median", 1000 * median(snapping), checksum);

  const std::string acc = folder + "/pour_bench_acc.asc", csv = folder + "/pour_bench_gauges.csv",
                    out = folder + "/pour_bench_pour.asc", log = folder + "/pour_bench.log";
  Console quiet = Console::capturing();
  GridContext writer(quiet);
  write_grid(writer, acc, accumulation, GridHeader{size, size, kXll, kYll, kCellSize, kNodata});
  write_gauges(csv, gauges, size);
  std::vector<double> whole;
  for (int run = 0; run < runs; ++run) {
    const double seconds = run_program(program, {csv, acc, out}, log);
    if (seconds < 0) {
      std::printf("%s failed, see %s\n", program.c_str(), log.c_str());
      return 1;
    }
    whole.push_back(seconds);
  }
  std::printf("  %-44s %9.3f s\n", "whole program (text grid in and out), median", median(whole));
  for (const std::string& file : {acc, csv, out, log}) std::filesystem::remove(file);
  return 0;
}

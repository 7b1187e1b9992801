// Times reading and writing a 4096x4096 grid in the three formats against a plain
// stdio baseline (fprintf "%lg" / fscanf "%lf"), and the peak memory of one read.
// usage: grid_io_bench [size] [folder]      (default 4096, /tmp)
//        grid_io_bench --read <file>        (one read in a fresh process; used by the above)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench_support.hpp"
#include "grid/grid_reader.hpp"
#include "grid/grid_writer.hpp"
#include "terrain.hpp"

using namespace orograd;
using namespace orograd::bench;

namespace {

template <typename Action>
double timed(Action&& action) {
  const auto start = std::chrono::steady_clock::now();
  action();
  return seconds_since(start);
}

long peak_kib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Reads one grid in a new process and returns its peak resident memory in KiB.
long peak_of_read(const std::string& file) {
  const pid_t child = fork();
  if (child == 0) {
    execl("/proc/self/exe", "grid_io_bench", "--read", file.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return usage.ru_maxrss;
}

void stdio_write(const std::string& file, const Grid& grid) {
  std::FILE* out = std::fopen(file.c_str(), "w");
  for (int32_t r = 1; r <= grid.nrows(); ++r)
    for (int32_t c = 1; c <= grid.ncols(); ++c) std::fprintf(out, c < grid.ncols() ? "%lg\t" : "%lg\n", grid(r, c));
  std::fclose(out);
}

void stdio_read(const std::string& file, Grid& grid) {
  std::FILE* in = std::fopen(file.c_str(), "r");
  for (int32_t r = 1; r <= grid.nrows(); ++r)
    for (int32_t c = 1; c <= grid.ncols(); ++c)
      if (std::fscanf(in, "%lf", &grid(r, c)) != 1) std::abort();
  std::fclose(in);
}

}  // namespace

int main(int argc, char** argv) {
  Console quiet = Console::capturing();
  if (argc == 3 && std::string(argv[1]) == "--read") {
    GridContext context(quiet);
    read_first_grid(context, argv[2]);
    return 0;
  }
  const int32_t size = argc > 1 ? std::atoi(argv[1]) : 4096;
  const std::string folder = argc > 2 ? argv[2] : "/tmp";
  TerrainOptions options;
  options.ncols = options.nrows = size;
  const Grid grid = make_terrain(options);
  const double megabytes = 8.0 * size * size / 1e6;

  GridContext context(quiet);
  const GridHeader geometry{size, size, 500000, 5200000, 25, kNodata};

  std::printf("grid %dx%d, %.0f MB of doubles, peak before reads %ld MiB\n", size, size, megabytes, peak_kib() / 1024);
  // Every read fills a new grid; the first touch of fresh memory is a floor under
  // every read time on this machine.
  const double touch_s = timed([&] { Grid fresh = Grid::allocate(size, size); fresh.fill(1); });
  std::printf("allocating and touching one new grid: %.3f s\n", touch_s);
  std::printf("%-8s %10s %10s %12s %14s\n", "format", "write s", "read s", "file MB", "read peak MiB");
  struct Case {
    const char* name;
    OutputFormat format;
    const char* file;
  };
  for (const Case& c : {Case{"text", OutputFormat::text, "bench.asc"}, Case{"single", OutputFormat::single, "bench.flt"},
                        Case{"double", OutputFormat::double_, "bench.dbl"}}) {
    const std::string file = folder + "/" + c.file;
    context.output_format = c.format;
    const double write_s = timed([&] { write_grid(context, file, grid, geometry); });
    GridContext reader(quiet);
    const double read_s = timed([&] { read_first_grid(reader, file); });
    const double file_mb = std::filesystem::file_size(file) / 1e6;
    std::printf("%-8s %10.3f %10.3f %12.1f %14.1f\n", c.name, write_s, read_s, file_mb, peak_of_read(file) / 1024.0);
  }
  const std::string baseline = folder + "/bench_stdio.asc";
  const double write_s = timed([&] { stdio_write(baseline, grid); });
  Grid target = Grid::allocate(size, size);
  const double read_s = timed([&] { stdio_read(baseline, target); });
  std::printf("%-8s %10.3f %10.3f %12.1f\n", "stdio", write_s, read_s, std::filesystem::file_size(baseline) / 1e6);
  for (const char* f : {"bench.asc", "bench.flt", "bench.dbl", "bench_stdio.asc"}) std::filesystem::remove(folder + "/" + f);
  return 0;
}

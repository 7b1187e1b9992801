// Times converting a 4096x4096 Float64 GeoTIFF (tiled, DEFLATE, floating-point
// predictor) to a GeoTIFF of the same kind through the program's reader and writer,
// in process, against gdal_translate doing the same conversion of the same file:
// compressing on one core, on all cores, and on all cores while also decompressing on
// all of them (as the OpenMP build does). Medians of wall and CPU seconds over the runs;
// each run times the four in turn.
// usage: geotiff_bench [size=4096] [runs=5] [folder=/tmp]
#include <gdal.h>
#include <sys/resource.h>

#include <cpl_string.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.hpp"
#include "grid/grid_reader.hpp"
#include "grid/grid_writer.hpp"
#include "terrain.hpp"

using namespace orograd;
using namespace orograd::bench;

namespace {

// The generated DEM written by GDAL itself, in the creation options of the conversions.
void write_input(const std::string& file, const Grid& grid) {
  CPLStringList options;
  for (const char* option : {"TILED=YES", "COMPRESS=DEFLATE", "PREDICTOR=3"}) options.AddString(option);
  GDALDatasetH dataset =
      GDALCreate(GDALGetDriverByName("GTiff"), file.c_str(), grid.ncols(), grid.nrows(), 1, GDT_Float64, options.List());
  if (dataset == nullptr) std::exit(1);
  double transform[6] = {500000, 25, 0, 5200000 + 25.0 * grid.nrows(), 0, -25};
  GDALSetGeoTransform(dataset, transform);
  GDALSetProjection(dataset, "EPSG:32632");
  GDALRasterBandH band = GDALGetRasterBand(dataset, 1);
  GDALSetRasterNoDataValue(band, kNodata);
  for (int32_t r = 1; r <= grid.nrows(); ++r)
    if (GDALRasterIO(band, GF_Write, 0, r - 1, grid.ncols(), 1, const_cast<double*>(grid.row(r)), grid.ncols(), 1,
                     GDT_Float64, 0, 0) != CE_None)
      std::exit(1);
  GDALClose(dataset);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// User plus system seconds of this process (RUSAGE_SELF) or of its waited-for children
// (RUSAGE_CHILDREN): the work done, which the other jobs on the machine disturb less
// than the wall time.
double cpu_seconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Wall and CPU seconds of one contender over the runs.
struct Series {
  explicit Series(const char* label_) : label(label_) {}
  const char* label;
  std::vector<double> wall, cpu;

  template <typename Action>
  void time(int who, Action&& action) {
    const double cpu_start = cpu_seconds(who);
    const auto start = Clock::now();
    action();
    wall.push_back(seconds_since(start));
    cpu.push_back(cpu_seconds(who) - cpu_start);
  }
};

void run_command(const std::string& command) {
  if (std::system(command.c_str()) != 0) std::exit(1);
}

// One gdal_translate conversion, its process start included.
void translate(const std::string& options, const std::string& input, const std::string& output) {
  run_command("gdal_translate -q -co TILED=YES -co COMPRESS=DEFLATE -co PREDICTOR=3 " + options + " '" + input + "' '" +
              output + "'");
}

}  // namespace

int main(int argc, char** argv) {
  const int32_t size = argc > 1 ? std::atoi(argv[1]) : 4096;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  const std::string folder = argc > 3 ? argv[3] : "/tmp";
  const std::string input = folder + "/geotiff_bench_in.tif", ours = folder + "/geotiff_bench_orograd.tif",
                    theirs = folder + "/geotiff_bench_gdal.tif";
  GDALAllRegister();
  {
    TerrainOptions options;
    options.ncols = options.nrows = size;
    write_input(input, make_terrain(options));
  }
  std::printf("grid %dx%d Float64, input %.1f MB, %d runs (%s build)\n", size, size,
              std::filesystem::file_size(input) / 1e6, runs, OROGRAD_SEQUENTIAL ? "sequential" : "OpenMP");

  Console quiet = Console::capturing();
  Series read("orograd read_first_grid"), write("orograd write_grid"), one("gdal_translate"),
      all("gdal_translate, NUM_THREADS=ALL_CPUS"), both("  and GDAL_NUM_THREADS=ALL_CPUS"),
      start("gdal_translate --version (process start)");
  for (int run = 0; run < runs; ++run) {
    GridContext context(quiet);
    Grid grid;
    read.time(RUSAGE_SELF, [&] { grid = read_first_grid(context, input); });
    write.time(RUSAGE_SELF, [&] { write_grid(context, ours, grid); });
    grid = Grid();
    one.time(RUSAGE_CHILDREN, [&] { translate("", input, theirs); });
    all.time(RUSAGE_CHILDREN, [&] { translate("-co NUM_THREADS=ALL_CPUS", input, theirs); });
    both.time(RUSAGE_CHILDREN,
              [&] { translate("-co NUM_THREADS=ALL_CPUS --config GDAL_NUM_THREADS ALL_CPUS", input, theirs); });
    start.time(RUSAGE_CHILDREN, [] { run_command("gdal_translate --version > /dev/null"); });
    std::printf("run %d wall s: read %.3f + write %.3f = %.3f; gdal_translate %.3f, all cores %.3f, also reading %.3f\n",
                run + 1, read.wall.back(), write.wall.back(), read.wall.back() + write.wall.back(), one.wall.back(),
                all.wall.back(), both.wall.back());
  }
  Series ours_total("orograd read + write");
  for (int run = 0; run < runs; ++run) {
    ours_total.wall.push_back(read.wall[run] + write.wall[run]);
    ours_total.cpu.push_back(read.cpu[run] + write.cpu[run]);
  }
  const double reference = median(ours_total.wall);
  std::printf("%-42s %8s %8s %16s\n", "medians", "wall s", "CPU s", "orograd / this");
  for (const Series* series : {&read, &write, &ours_total, &one, &all, &both, &start}) {
    std::printf("%-42s %8.3f %8.3f", series->label, median(series->wall), median(series->cpu));
    if (series == &one || series == &all || series == &both) std::printf(" %16.2f", reference / median(series->wall));
    std::printf("\n");
  }
  std::printf("output %.1f MB (orograd), %.1f MB (gdal_translate)\n", std::filesystem::file_size(ours) / 1e6,
              std::filesystem::file_size(theirs) / 1e6);
  for (const std::string& file : {input, ours, theirs}) std::filesystem::remove(file);
  return 0;
}

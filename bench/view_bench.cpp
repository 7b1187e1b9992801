// Times drawing a 4096x4096 DEM with its hillshade into a PNG (orograd-view's kind
// dem at the default size of 1600 pixels, and at full size) against reading the same
// grid from a text file with the program's reader, in one run; medians of the runs.
// usage: view_bench [size=4096] [folder=/tmp] [runs=5]
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
#include "view/png_writer.hpp"
#include "view/reduction.hpp"
#include "view/render.hpp"

using namespace orograd;
using namespace orograd::bench;

namespace {

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Seconds of one picture: reduction, drawing (hillshade, colours, legend), PNG.
struct RenderTimes {
  std::vector<double> reduce, draw, png, total;
};

void render_once(const Grid& dem, int32_t size, const std::string& picture, RenderTimes& times) {
  const auto start = Clock::now();
  const view::Scale scale = view::choose_scale(dem.ncols(), dem.nrows(), size);
  const view::Raster map = view::reduce(dem, 25, scale.reduce, view::Reduction::mean);
  const double reduced = seconds_since(start);
  const view::Image image = view::render(map, view::Kind::dem, scale.enlarge, {});
  const double drawn = seconds_since(start);
  view::write_png(picture, image);
  const double total = seconds_since(start);
  times.reduce.push_back(reduced);
  times.draw.push_back(drawn - reduced);
  times.png.push_back(total - drawn);
  times.total.push_back(total);
}

void report(const char* label, const RenderTimes& t, const std::string& picture) {
  std::printf("%-28s %8.3f %8.3f %8.3f %8.3f %10.1f\n", label, median(t.reduce), median(t.draw), median(t.png),
              median(t.total), std::filesystem::file_size(picture) / 1e6);
}

}  // namespace

int main(int argc, char** argv) {
  const int32_t size = argc > 1 ? std::atoi(argv[1]) : 4096;
  const std::string folder = argc > 2 ? argv[2] : "/tmp";
  const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
  TerrainOptions options;
  options.ncols = options.nrows = size;
  Console quiet = Console::capturing();
  GridContext context(quiet);
  const std::string text = folder + "/view_bench.asc", picture = folder + "/view_bench.png";
  write_grid(context, text, make_terrain(options), GridHeader{size, size, 500000, 5200000, 25, kNodata});

  std::vector<double> reads;
  RenderTimes fitted, full;
  for (int run = 0; run < runs; ++run) {
    GridContext reader(quiet);
    const auto start = Clock::now();
    const Grid dem = read_first_grid(reader, text);
    reads.push_back(seconds_since(start));
    render_once(dem, 1600, picture, fitted);
  }
  std::printf("grid %dx%d, medians of %d runs, seconds\n", size, size, runs);
  std::printf("%-28s %8.3f\n", "read text grid", median(reads));
  std::printf("%-28s %8s %8s %8s %8s %10s\n", "picture", "reduce", "draw", "png", "total", "file MB");
  report("dem, 1600 pixels", fitted, picture);
  const Grid dem = make_terrain(options);
  for (int run = 0; run < runs; ++run) render_once(dem, size, picture, full);
  report("dem, full size", full, picture);
  std::filesystem::remove(text);
  std::filesystem::remove(picture);
  return 0;
}

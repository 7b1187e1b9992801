// Probe of the grid reader.
#include <string_view>

#include "base/console.hpp"
#include "base/fatal.hpp"
#include "grid/grid_reader.hpp"
#include "probes/probes.hpp"
#include "probes/scratch_folder.hpp"

#if OROGRAD_GDAL
#include <gdal.h>
#endif

namespace orograd::probes {

namespace {

// GDAL reads the cells past the end of a raw raster file as zeros, so a few bytes can
// describe a raster of gigabytes, which the program then rightly allocates. Such
// rasters are skipped to stay within the fuzzer's memory limit; text grids, which
// GDAL also opens, are the reader's own and are judged by their length first.
bool too_large_for_the_fuzzer(const std::string& name) {
#if OROGRAD_GDAL
  GDALAllRegister();
  GDALDatasetH ds = GDALOpenEx(name.c_str(), GDAL_OF_RASTER, nullptr, nullptr, nullptr);
  if (ds == nullptr) return false;
  const double cells = static_cast<double>(GDALGetRasterXSize(ds)) * GDALGetRasterYSize(ds);
  const bool text = std::string_view(GDALGetDriverShortName(GDALGetDatasetDriver(ds))) == "AAIGrid";
  GDALClose(ds);
  return !text && cells > (1 << 24);
#else
  (void)name;
  return false;
#endif
}

}  // namespace

void probe_grid_reader(const uint8_t* data, std::size_t size) {
  empty_scratch_folder();
  const std::string name = write_scratch_file("input.grid", {reinterpret_cast<const char*>(data), size});
  if (too_large_for_the_fuzzer(name)) return;
  Console console = Console::capturing();
  GridContext context(console);
  try {
    read_first_grid(context, name);
    read_grid(context, name);
  } catch (const FatalError&) {
  }
}

}  // namespace orograd::probes

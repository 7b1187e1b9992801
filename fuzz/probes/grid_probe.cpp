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

// Beside the reader's own formats, inputs that GDAL takes for GeoTIFF are probed, the
// raster format people bring; GDAL's other drivers have fuzzers of their own, and its
// raw ones allocate buffers of the declared row length on opening, which a few bytes
// can set to gigabytes. A GeoTIFF may describe millions of cells, or tiles of millions
// of cells, in a few compressed bytes, which the program then rightly allocates; those
// beyond 2^16 cells are skipped to stay within the fuzzer's memory limit and pace.
bool skipped_for_the_fuzzer(const std::string& name) {
#if OROGRAD_GDAL
  GDALAllRegister();
  GDALDriverH driver = GDALIdentifyDriver(name.c_str(), nullptr);
  if (driver == nullptr || std::string_view(GDALGetDriverShortName(driver)) == "AAIGrid") return false;
  if (std::string_view(GDALGetDriverShortName(driver)) != "GTiff") return true;
  GDALDatasetH ds = GDALOpenEx(name.c_str(), GDAL_OF_RASTER, nullptr, nullptr, nullptr);
  if (ds == nullptr) return false;
  const double cells = static_cast<double>(GDALGetRasterXSize(ds)) * GDALGetRasterYSize(ds);
  int block_cols = 0, block_rows = 0;
  if (GDALGetRasterCount(ds) > 0) GDALGetBlockSize(GDALGetRasterBand(ds, 1), &block_cols, &block_rows);
  GDALClose(ds);
  return cells > (1 << 16) || static_cast<double>(block_cols) * block_rows > (1 << 16);
#else
  (void)name;
  return false;
#endif
}

}  // namespace

void probe_grid_reader(const uint8_t* data, std::size_t size) {
  empty_scratch_folder();
  const std::string name = write_scratch_file("input.grid", {reinterpret_cast<const char*>(data), size});
  if (skipped_for_the_fuzzer(name)) return;
  Console console = Console::capturing();
  GridContext context(console);
  try {
    read_first_grid(context, name);
    read_grid(context, name);
  } catch (const FatalError&) {
  }
}

}  // namespace orograd::probes

// GDAL rasters in, GeoTIFF out. GDAL's own error printing is silenced; its last
// message becomes the reason the program gives on standard error.
#include "grid/gdal_raster.hpp"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "base/atomic_file.hpp"
#include "base/fatal.hpp"
#include "grid/geotransform.hpp"
#include "grid/quiet_gdal.hpp"
#include "grid/text_grid_header.hpp"

#if OROGRAD_GDAL
#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <gdal.h>
#include <ogr_srs_api.h>
#endif

namespace orograd {

bool is_geotiff_name(const std::string& file_name) {
  std::string lower = file_name;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  const auto ends_with = [&lower](std::string_view tail) { return lower.ends_with(tail); };
  return ends_with(".tif") || ends_with(".tiff");
}

#if OROGRAD_GDAL

namespace {

GDALDatasetH dataset(void* handle) { return static_cast<GDALDatasetH>(handle); }

// Rows per RasterIO call: one GeoTIFF tile's height, so that each call covers whole
// tiles, which GDAL can then compress or decompress on several threads.
constexpr int32_t kRowsPerStrip = 256;

// Calls action(first row, row count) for the strips of rows 1 to nrows, in order.
template <typename Action>
void for_each_strip(int32_t nrows, Action&& action) {
  for (int32_t first = 1; first <= nrows; first += kRowsPerStrip) action(first, std::min(kRowsPerStrip, nrows - first + 1));
}

// GDAL's thread count for (de)compression: both cores in the parallel build.
const char* thread_option() { return OROGRAD_SEQUENTIAL ? "1" : "ALL_CPUS"; }

}  // namespace

bool gdal_support() { return true; }

GdalRaster::GdalRaster(const std::string& file_name) : file_name_(file_name) {
  register_gdal_drivers();
  QuietGdal quiet;
  CPLStringList options;
  options.SetNameValue("NUM_THREADS", thread_option());
  dataset_ = GDALOpenEx(file_name.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, options.List(), nullptr);
  // GDAL is silent about files none of its drivers recognises (empty ones, folders).
  if (dataset_ == nullptr) failure_ = QuietGdal::last_message("none of its raster formats matches the file's contents");
  else if (GDALGetRasterCount(dataset(dataset_)) < 1) {
    failure_ = "the file holds no raster band";
    GDALClose(dataset(dataset_));
    dataset_ = nullptr;
  }
}

GdalRaster::~GdalRaster() {
  if (dataset_ != nullptr) GDALClose(dataset(dataset_));
}

GridFileHeader GdalRaster::geometry(Console& console) const {
  GDALDatasetH ds = dataset(dataset_);
  const char* name = file_name_.c_str();
  double t[6];
  const auto refuse = [&](const std::string& reason) {
    console.warn("%s: %s", name, reason.c_str());
    grid_header_error(file_name_);
  };
  {
    QuietGdal quiet;
    if (GDALGetGeoTransform(ds, t) != CE_None) refuse("the raster has no geotransform (no georeference)");
  }
  if (t[2] != 0 || t[4] != 0) refuse(format("the raster is rotated (geotransform terms %g, %g)", t[2], t[4]));
  if (!(t[5] < 0)) refuse(format("the raster is not north-up (pixel height %g)", t[5]));
  if (!(std::fabs(t[1] + t[5]) <= 1e-9 * t[1]))
    refuse(format("the cells are not square (%.17g wide, %.17g high)", t[1], -t[5]));
  const int bands = GDALGetRasterCount(ds);
  if (bands > 1) console.warn("%s has %d bands; band 1 is read", name, bands);

  GridFileHeader slots;
  const int32_t nrows = GDALGetRasterYSize(ds);
  slots[1] = GDALGetRasterXSize(ds);
  slots[2] = nrows;
  slots[3] = t[0];
  slots[4] = t[3] + nrows * t[5];
  slots[5] = t[1];
  GDALRasterBandH band = GDALGetRasterBand(ds, 1);
  int has_nodata = 0;
  double nodata = GDALGetRasterNoDataValue(band, &has_nodata);
  // Cells of a Float32 band widen exactly; the marker must be the same float to match them.
  if (GDALGetRasterDataType(band) == GDT_Float32) nodata = static_cast<float>(nodata);
  slots[6] = has_nodata ? nodata : kNodata;
  return slots;
}

namespace {

// The most bands a real block layout interleaves with the first (see read).
constexpr int kMostBandsInBlock = 16;

// Bytes GDAL allocates to read one block of band 1: the block of every band where the
// bands are interleaved by pixel.
double block_bytes(GDALDatasetH ds, GDALRasterBandH band) {
  int block_cols = 0, block_rows = 0;
  GDALGetBlockSize(band, &block_cols, &block_rows);
  const char* interleave = GDALGetMetadataItem(ds, "INTERLEAVE", "IMAGE_STRUCTURE");
  const bool by_pixel = interleave != nullptr && std::string_view(interleave) == "PIXEL";
  return static_cast<double>(block_cols) * block_rows * GDALGetDataTypeSizeBytes(GDALGetRasterDataType(band)) *
         (by_pixel ? GDALGetRasterCount(ds) : 1);
}

}  // namespace

void GdalRaster::read(Console& console, Grid& grid) const {
  GDALDatasetH ds = dataset(dataset_);
  GDALRasterBandH band = GDALGetRasterBand(ds, 1);
  // A damaged file can declare blocks of gigabytes around a few cells, or tens of
  // thousands of bands interleaved with the first; a real layout never needs more than
  // 64 MiB or twice the bytes of the raster's first 16 bands for one block.
  const double bytes = block_bytes(ds, band);
  const double raster_bytes =
      static_cast<double>(grid.ncols()) * grid.nrows() * 8 * std::min(GDALGetRasterCount(ds), kMostBandsInBlock);
  if (bytes > 64.0 * 1024 * 1024 && bytes > 2 * raster_bytes) {
    fatal(5, format("error reading from %s in row %d (%d values read)\n", file_name_.c_str(), 1, 0),
          format("%s declares blocks of %.0f MB for a raster of %d x %d cells; its layout is damaged",
                 file_name_.c_str(), bytes / 1e6, grid.ncols(), grid.nrows()));
  }
  const auto ncols = static_cast<std::size_t>(grid.ncols());
  std::vector<double> strip(ncols * kRowsPerStrip);
  QuietGdal quiet;
  for_each_strip(grid.nrows(), [&](int32_t first, int32_t count) {
    if (GDALRasterIO(band, GF_Read, 0, first - 1, grid.ncols(), count, strip.data(), grid.ncols(), count, GDT_Float64,
                     0, 0) != CE_None) {
      console.warn("GDAL cannot read %s: %s", file_name_.c_str(), QuietGdal::last_message().c_str());
      fatal(5, format("error reading from %s in row %d (%d values read)\n", file_name_.c_str(), first, 0));
    }
    for (int32_t i = 0; i < count; ++i) std::copy_n(strip.data() + i * ncols, ncols, grid.row(first + i));
  });
}

std::string GdalRaster::coordinate_system() const {
  const char* wkt = GDALGetProjectionRef(dataset(dataset_));
  return wkt != nullptr ? wkt : "";
}

namespace {

// The WKT GDAL makes of a coordinate system text (WKT of any flavour, a .prj file's
// text, "EPSG:n") with the given export options; empty when GDAL cannot interpret it.
// GDAL recognises a system only from text that starts with its keyword, and .prj files
// may begin with a blank line.
std::string exported_wkt(const std::string& coordinate_system, const char* const* options) {
  OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
  std::string wkt;
  char* text = nullptr;
  const std::size_t first = coordinate_system.find_first_not_of(" \t\r\n");
  const std::string input = first == std::string::npos ? "" : coordinate_system.substr(first);
  if (OSRSetFromUserInput(srs, input.c_str()) == OGRERR_NONE &&
      OSRExportToWktEx(srs, &text, options) == OGRERR_NONE)
    wkt = text;
  CPLFree(text);
  OSRDestroySpatialReference(srs);
  return wkt;
}

// GDAL's own WKT of the coordinate system; empty, with a warning, when GDAL cannot
// interpret it.
std::string as_wkt(Console& console, const std::string& coordinate_system, const std::string& file_name) {
  const std::string wkt = exported_wkt(coordinate_system, nullptr);
  if (wkt.empty())
    console.warn("%s is written without a coordinate reference system: GDAL cannot interpret the first grid's",
                 file_name.c_str());
  return wkt;
}

}  // namespace

std::string esri_wkt(const std::string& coordinate_system) {
  QuietGdal quiet;
  const char* const options[] = {"FORMAT=WKT1_ESRI", nullptr};
  const std::string wkt = exported_wkt(coordinate_system, options);
  return wkt.empty() ? coordinate_system : wkt;
}

void write_geotiff(Console& console, const std::string& file_name, const Grid& grid, const GridHeader& g, bool single,
                   const std::string& coordinate_system) {
  register_gdal_drivers();
  const std::string wkt = coordinate_system.empty() ? "" : as_wkt(console, coordinate_system, file_name);
  QuietGdal quiet;
  const char* name = file_name.c_str();
  // GDAL writes the temporary by name; it ends in .tif like the target.
  AtomicFile file(file_name, ".tif");
  if (const int error = file.opened() ? file.close_stream() : file.error())
    fatal(4, format("error opening %s \n", name), file_failure("write", file_name, error));
  CPLStringList options;
  options.SetNameValue("TILED", "YES");
  options.SetNameValue("COMPRESS", "DEFLATE");
  options.SetNameValue("PREDICTOR", "3");
  options.SetNameValue("BIGTIFF", "IF_SAFER");
  options.SetNameValue("NUM_THREADS", thread_option());
  GDALDatasetH ds = GDALCreate(GDALGetDriverByName("GTiff"), file.path().c_str(), g.ncols, g.nrows, 1,
                               single ? GDT_Float32 : GDT_Float64, options.List());
  if (ds == nullptr) {
    console.warn("cannot create %s: %s", name, QuietGdal::last_message().c_str());
    fatal(4, format("error opening %s \n", name));
  }
  std::array<double, 6> transform = geotransform(g);
  GDALSetGeoTransform(ds, transform.data());
  if (!wkt.empty()) GDALSetProjection(ds, wkt.c_str());
  GDALRasterBandH band = GDALGetRasterBand(ds, 1);
  GDALSetRasterNoDataValue(band, kNodata);

  const auto ncols = static_cast<std::size_t>(g.ncols);
  std::vector<double> strip(ncols * kRowsPerStrip);
  bool failed = false;
  for_each_strip(g.nrows, [&](int32_t first, int32_t count) {
    if (failed) return;
    for (int32_t i = 0; i < count; ++i) std::copy_n(grid.row(first + i), ncols, strip.data() + i * ncols);
    failed = GDALRasterIO(band, GF_Write, 0, first - 1, g.ncols, count, strip.data(), g.ncols, count, GDT_Float64, 0,
                          0) != CE_None;
  });
  // Closing writes the last tiles: a failure there is a write failure too.
  GDALClose(ds);
  if (failed || QuietGdal::failed()) {
    console.warn("cannot write %s: %s", name, QuietGdal::last_message().c_str());
    fatal(10, format("error writing in %s\n", name));
  }
  if (const int error = file.commit())
    fatal(10, format("error writing in %s\n", name), file_failure("write", file_name, error));
}

#else

bool gdal_support() { return false; }

GdalRaster::GdalRaster(const std::string& file_name) : file_name_(file_name) {
  failure_ = "this build of orograd has no GDAL support";
}
GdalRaster::~GdalRaster() = default;
GridFileHeader GdalRaster::geometry(Console&) const { return {}; }
void GdalRaster::read(Console&, Grid&) const {}
std::string GdalRaster::coordinate_system() const { return ""; }

std::string esri_wkt(const std::string& coordinate_system) { return coordinate_system; }

void write_geotiff(Console& console, const std::string& file_name, const Grid&, const GridHeader&, bool,
                   const std::string&) {
  console.warn("cannot write %s as GeoTIFF: this build of orograd has no GDAL support", file_name.c_str());
  fatal(4, format("error opening %s \n", file_name.c_str()));
}

#endif

}  // namespace orograd

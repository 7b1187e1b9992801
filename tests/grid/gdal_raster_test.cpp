// Rasters read through GDAL and GeoTIFF output: the same grids as the native formats,
// the geometry a GIS means, and the refusals of rasters the program cannot use.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "grid/gdal_raster.hpp"
#include "grid/grid_reader.hpp"
#include "grid/grid_writer.hpp"
#include "support/gdal_view.hpp"
#include "support/test_support.hpp"

#if OROGRAD_GDAL
#include <cpl_conv.h>
#include <gdal.h>
#include <ogr_srs_api.h>
#endif

namespace orograd {
namespace {

using testing::expect_fatal;
using testing::TempDir;

TEST(GeotiffNames, EndingsInAnyCase) {
  for (const char* name : {"a.tif", "b.TIFF", "out/c.Tif", "d.tiff"}) EXPECT_TRUE(is_geotiff_name(name)) << name;
  for (const char* name : {"a.asc", "tif", "a.tif.asc", "a.tifx", "a_tif"}) EXPECT_FALSE(is_geotiff_name(name)) << name;
}

#if OROGRAD_GDAL

// Writes a one-band raster of the given type and geotransform with GDAL's API.
void write_raster(const std::string& path, int ncols, int nrows, const std::vector<double>& values,
                  const std::vector<double>& transform, GDALDataType type = GDT_Float64, int bands = 1,
                  const double* nodata = nullptr, const char* srs = nullptr) {
  GDALAllRegister();
  GDALDatasetH ds = GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), ncols, nrows, bands, type, nullptr);
  ASSERT_NE(ds, nullptr);
  if (!transform.empty()) GDALSetGeoTransform(ds, const_cast<double*>(transform.data()));
  if (srs != nullptr) {
    OGRSpatialReferenceH ref = OSRNewSpatialReference(nullptr);
    OSRSetFromUserInput(ref, srs);
    char* wkt = nullptr;
    OSRExportToWkt(ref, &wkt);
    GDALSetProjection(ds, wkt);
    CPLFree(wkt);
    OSRDestroySpatialReference(ref);
  }
  for (int b = 1; b <= bands; ++b) {
    GDALRasterBandH band = GDALGetRasterBand(ds, b);
    if (nodata != nullptr) GDALSetRasterNoDataValue(band, *nodata);
    std::vector<double> shifted(values);
    for (double& v : shifted) v += (b - 1) * 1000;  // later bands differ from band 1
    EXPECT_EQ(GDALRasterIO(band, GF_Write, 0, 0, ncols, nrows, shifted.data(), ncols, nrows, GDT_Float64, 0, 0),
              CE_None);
  }
  GDALClose(ds);
}

using testing::open_in_gdal;

class GdalRasters : public ::testing::Test {
 protected:
  Console console = Console::capturing();
  GridContext context{console};
  TempDir dir;
  std::string file(const std::string& name) const { return dir.file(name); }
  // 3 columns, 2 rows, one nodata cell (-32768) and a fractional value.
  const std::vector<double> values{1, 2.5, -32768, 4, 5.125, 6};
  const double marker = -32768;
};

TEST_F(GdalRasters, GeotiffReadsLikeItsTextTwin) {
  write_raster(file("dem.tif"), 3, 2, values, {1000, 30, 0, 2060, 0, -30}, GDT_Float64, 1, &marker, "EPSG:32633");
  testing::write_file(file("dem.asc"), testing::text_grid(3, 2, values, 30, 1000, 2000, marker));
  Grid from_tiff = read_first_grid(context, file("dem.tif"));
  Console text_console = Console::capturing();
  GridContext text_context{text_console};
  Grid from_text = read_first_grid(text_context, file("dem.asc"));

  const GridHeader& a = context.header;
  const GridHeader& b = text_context.header;
  EXPECT_EQ(std::vector<double>({double(a.ncols), double(a.nrows), a.xllcorner, a.yllcorner, a.cellsize, a.nodata_value}),
            std::vector<double>({double(b.ncols), double(b.nrows), b.xllcorner, b.yllcorner, b.cellsize, b.nodata_value}));
  for (int32_t r = 1; r <= 2; ++r)
    for (int32_t c = 1; c <= 3; ++c) EXPECT_EQ(from_tiff(r, c), from_text(r, c)) << r << "," << c;
  EXPECT_EQ(from_tiff(1, 3), kNodata);
  EXPECT_NE(console.captured().find("nodata in grid " + file("dem.tif") + ": -32768.000000 --> will be set"),
            std::string::npos);
  EXPECT_NE(context.coordinate_system.find("32633"), std::string::npos);
  // A later GeoTIFF of the same geometry passes the check against the first grid.
  write_raster(file("later.tif"), 3, 2, values, {1000, 30, 0, 2060, 0, -30});
  EXPECT_EQ(read_grid(context, file("later.tif"))(2, 2), 5.125);
}

TEST_F(GdalRasters, Float32NodataAndNanNodataAreMapped) {
  const double odd_marker = 0.1;  // not exactly a float: the band holds float(0.1)
  write_raster(file("f.tif"), 3, 2, {0.1, 1, 2, 3, 4, 5}, {0, 1, 0, 2, 0, -1}, GDT_Float32, 1, &odd_marker);
  EXPECT_EQ(read_first_grid(context, file("f.tif"))(1, 1), kNodata);
  const double nan = NAN;
  write_raster(file("n.tif"), 3, 2, {NAN, 1, 2, 3, NAN, 5}, {0, 1, 0, 2, 0, -1}, GDT_Float64, 1, &nan);
  Grid grid = read_grid(context, file("n.tif"));
  EXPECT_EQ(grid(1, 1), kNodata);
  EXPECT_EQ(grid(2, 2), kNodata);
  EXPECT_EQ(grid(2, 3), 5);
}

TEST_F(GdalRasters, MultiBandFilesGiveBandOneWithAWarning) {
  write_raster(file("two.tif"), 3, 2, values, {0, 1, 0, 2, 0, -1}, GDT_Float64, 2);
  Grid grid = read_first_grid(context, file("two.tif"));
  EXPECT_EQ(grid(2, 3), 6);
  EXPECT_NE(console.captured_warnings().find("has 2 bands; band 1 is read"), std::string::npos);
}

TEST_F(GdalRasters, UnusableRastersAreRefused) {
  const struct {
    std::vector<double> transform;
    const char* reason;
  } cases[] = {
      {{0, 1, 0.5, 2, 0, -1}, "rotated"},
      {{0, 1, 0, 2, 0.5, -1}, "rotated"},
      {{0, 1, 0, 0, 0, 1}, "not north-up"},
      {{0, 1, 0, 2, 0, -1.5}, "not square"},
      {{}, "no geotransform"},
  };
  for (const auto& c : cases) {
    TempDir fresh_dir;
    const std::string path = fresh_dir.file("bad.tif");
    write_raster(path, 3, 2, values, c.transform);
    Console quiet = Console::capturing();
    GridContext fresh{quiet};
    const FatalError error = expect_fatal([&] { read_first_grid(fresh, path); });
    EXPECT_EQ(error.code(), 1) << c.reason;
    EXPECT_EQ(error.what(), "error reading fiel header from " + path + "\n");
    EXPECT_NE(quiet.captured_warnings().find(c.reason), std::string::npos) << quiet.captured_warnings();
  }
}

TEST_F(GdalRasters, LaterRastersOfAnotherGeometryAndUnreadableFilesStop) {
  testing::write_file(file("dem.asc"), testing::text_grid(3, 2, values));
  read_first_grid(context, file("dem.asc"));
  write_raster(file("wide.tif"), 4, 2, {1, 2, 3, 4, 5, 6, 7, 8}, {0, 1, 0, 2, 0, -1});
  const FatalError size_error = expect_fatal([&] { read_grid(context, file("wide.tif")); });
  EXPECT_EQ(size_error.code(), 1);
  EXPECT_EQ(size_error.what(), "ncols (4) in " + file("wide.tif") + " does not match the first grid (3)\n");

  testing::write_file(file("junk.tif"), "II*\0 this is no raster at all, only a broken header");
  const FatalError junk = expect_fatal([&] { read_grid(context, file("junk.tif")); });
  EXPECT_EQ(junk.code(), 98);
  EXPECT_NE(console.captured_warnings().find("GDAL cannot open it either"), std::string::npos);
}

TEST_F(GdalRasters, DamagedBlockLayoutStopsBeforeGdalAllocatesIt) {
  // GeoTIFFs kept from fuzzing: 3 x 3 cells in pixel-interleaved blocks of 5.3 GB, and
  // 3 x 4099 cells whose one strip interleaves 65530 bands, 6.4 GB.
  const std::pair<const char*, const char*> cases[] = {
      {"gdal_huge_blocks", "blocks of 5287 MB for a raster of 3 x 3 cells"},
      {"gdal_many_bands", "blocks of 6447 MB for a raster of 3 x 4099 cells"},
  };
  for (const auto& [name, reason] : cases) {
    const std::string path = std::string(OROGRAD_SOURCE_DIR) + "/fuzz/regressions/grid_reader/" + name;
    Console quiet = Console::capturing();
    GridContext fresh{quiet};
    const FatalError error = expect_fatal([&] { read_first_grid(fresh, path); });
    EXPECT_EQ(error.code(), 5) << name;
    EXPECT_NE(error.reason().find(reason), std::string::npos) << error.reason();
  }
}

TEST_F(GdalRasters, GeotiffOutputReopensWithTheGridsValuesAndGeometry) {
  // A corner and cell size whose sums round: the written top edge must lead back to
  // exactly this lower-left corner.
  context.header = {3, 2, 500000.1, 4199999.7, 0.3, kNodata};
  context.coordinate_system = "\r\nEPSG:32633";  // as a .prj may begin, with a blank line
  Grid grid = context.allocate();
  const std::vector<double> cells{0.1, -9999, 1e-300, 123456.789, -3.5, 7};
  for (int32_t k = 0; k < 6; ++k) grid(k / 3 + 1, k % 3 + 1) = cells[k];

  for (const OutputFormat output_format : {OutputFormat::double_, OutputFormat::single}) {
    context.output_format = output_format;
    const bool single = output_format == OutputFormat::single;
    const std::string path = file(single ? "out.TIFF" : "out.tif");
    write_grid(context, path, grid);
    const testing::GdalView r = open_in_gdal(path);
    ASSERT_FALSE(r.driver.empty()) << "GDAL cannot open " << path;
    EXPECT_EQ(r.type, single ? GDT_Float32 : GDT_Float64);
    EXPECT_EQ(r.ncols, 3);
    EXPECT_EQ(r.nrows, 2);
    EXPECT_EQ(r.transform[0], 500000.1);
    EXPECT_EQ(r.transform[1], 0.3);
    EXPECT_EQ(r.transform[5], -0.3);
    EXPECT_TRUE(r.has_nodata);
    EXPECT_EQ(r.nodata, kNodata);
    EXPECT_NE(r.wkt.find("32633"), std::string::npos);
    for (std::size_t k = 0; k < cells.size(); ++k)
      EXPECT_EQ(r.cells[k], single ? static_cast<double>(static_cast<float>(cells[k])) : cells[k]) << k;
    // Read back as a later grid of the run, it matches the run's geometry exactly.
    EXPECT_EQ(read_grid(context, path)(2, 1), single ? static_cast<float>(123456.789) : 123456.789);
  }
  EXPECT_EQ(console.captured_warnings(), "");
}

TEST_F(GdalRasters, GeotiffThatCannotBeCreatedStops) {
  context.header = {3, 2, 0, 0, 1, kNodata};
  Grid grid = context.allocate();
  const FatalError error = expect_fatal([&] { write_grid(context, file("no/such/dir/out.tif"), grid); });
  EXPECT_EQ(error.code(), 4);
  EXPECT_EQ(error.what(), "error opening " + file("no/such/dir/out.tif") + " \n");
  // The temporary GDAL would write cannot be created: the reason names the target.
  EXPECT_EQ(error.reason(), "cannot write " + file("no/such/dir/out.tif") +
                                ": No such file or directory (does the folder " + file("no/such/dir/") + " exist?)");
}

#endif

}  // namespace
}  // namespace orograd

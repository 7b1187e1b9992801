// GeoTIFF in and out, end to end. With GDAL: the bundled example run on GeoTIFF inputs
// with every output named .tif must give the same grids and console lines as the run
// on the text inputs. Without GDAL: GeoTIFF outputs and foreign inputs are refused.
#include <gtest/gtest.h>

#include <string>

#include "support/test_support.hpp"

#if OROGRAD_GDAL
#include <gdal.h>
#include <gdal_utils.h>
#include <ogr_srs_api.h>

#include <cpl_string.h>

#include <filesystem>
#include <set>
#include <tuple>

#include "grid/grid_reader.hpp"
#endif

namespace orograd {
namespace {

using testing::read_file;
using testing::run_binary;
using testing::TempDir;
using testing::write_file;

#if OROGRAD_GDAL

namespace fs = std::filesystem;

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

constexpr const char* kCoordinateSystem = "EPSG:32725";

// A copy of a text grid as a GeoTIFF, its values read in double precision (GDAL reads
// decimals as Float32 otherwise), with the coordinate system when one is given.
void convert_to_geotiff(const fs::path& text, const fs::path& geotiff, const char* coordinate_system) {
  const char* open_options[] = {"DATATYPE=Float64", nullptr};
  GDALDatasetH source = GDALOpenEx(text.c_str(), GDAL_OF_RASTER, nullptr, open_options, nullptr);
  ASSERT_NE(source, nullptr) << text;
  CPLStringList arguments;
  arguments.AddString("-of");
  arguments.AddString("GTiff");
  if (coordinate_system != nullptr) {
    arguments.AddString("-a_srs");
    arguments.AddString(coordinate_system);
  }
  GDALTranslateOptions* options = GDALTranslateOptionsNew(arguments.List(), nullptr);
  GDALDatasetH copy = GDALTranslate(geotiff.c_str(), source, options, nullptr);
  GDALTranslateOptionsFree(options);
  ASSERT_NE(copy, nullptr) << geotiff;
  GDALClose(copy);
  GDALClose(source);
}

// One run of the example in its own folder; `geotiff` gives it GeoTIFF inputs and
// .tif output names. Both runs write double grids where a name cannot end in .tif
// (the wind factor's "_2" and the separation's order numbers), so every grid compares
// exactly.
testing::RunResult run_example(const fs::path& folder, bool geotiff) {
  const fs::path examples = fs::path(OROGRAD_SOURCE_DIR) / "examples";
  fs::create_directories(folder / "output");
  std::string control = read_file((examples / "example.ctl").string());
  if (geotiff) {
    convert_to_geotiff(examples / "olinda_dem_90m.asc", folder / "olinda_dem_90m.tif", kCoordinateSystem);
    convert_to_geotiff(examples / "olinda_pour_points.asc", folder / "olinda_pour_points.tif", nullptr);
    control = replace_all(control, ".asc", ".tif");
  } else {
    for (const char* name : {"olinda_dem_90m.asc", "olinda_pour_points.asc"})
      fs::copy_file(examples / name, folder / name);
  }
  write_file((folder / "example.ctl").string(), control);
  return run_binary(folder.string(), {"example.ctl", "-f:d"});
}

class GeoTiffExample : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    GDALAllRegister();
    dir_ = new TempDir;
    native_ = new testing::RunResult(run_example(dir_->path() / "native", false));
    geotiff_ = new testing::RunResult(run_example(dir_->path() / "geotiff", true));
  }
  static void TearDownTestSuite() {
    delete geotiff_;
    delete native_;
    delete dir_;
  }
  static fs::path output(const char* run) { return dir_->path() / run / "output"; }

  static TempDir* dir_;
  static testing::RunResult* native_;
  static testing::RunResult* geotiff_;
};

TempDir* GeoTiffExample::dir_ = nullptr;
testing::RunResult* GeoTiffExample::native_ = nullptr;
testing::RunResult* GeoTiffExample::geotiff_ = nullptr;

std::set<std::string> file_names(const fs::path& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

// A grid file as the program reads it, with the geometry it takes from it.
struct ReadGrid {
  GridHeader header;
  Grid grid;
};

ReadGrid read_as_program(const fs::path& file) {
  Console quiet = Console::capturing();
  GridContext context(quiet);
  Grid grid = read_first_grid(context, file.string());
  return {context.header, std::move(grid)};
}

void expect_same_grid(const fs::path& native_file, const fs::path& geotiff_file) {
  const ReadGrid a = read_as_program(native_file), b = read_as_program(geotiff_file);
  const GridHeader &ga = a.header, &gb = b.header;
  ASSERT_EQ(std::tie(ga.ncols, ga.nrows), std::tie(gb.ncols, gb.nrows)) << geotiff_file;
  EXPECT_EQ(std::tie(ga.xllcorner, ga.yllcorner, ga.cellsize), std::tie(gb.xllcorner, gb.yllcorner, gb.cellsize))
      << geotiff_file;
  int differing = 0;
  for (int32_t r = 1; r <= ga.nrows; ++r)
    for (int32_t c = 1; c <= ga.ncols; ++c)
      if (a.grid(r, c) != b.grid(r, c) && ++differing == 1)
        ADD_FAILURE() << geotiff_file << " row " << r << " column " << c << ": " << b.grid(r, c) << " instead of "
                      << a.grid(r, c);
  EXPECT_EQ(differing, 0) << geotiff_file;
}

// The GeoTIFF as GDAL sees it: the DEM's coordinate system, nodata -9999, Float64,
// and the top edge where the example's corner and cell size put it.
void expect_geotiff_metadata(const fs::path& file) {
  GDALDatasetH dataset = GDALOpen(file.c_str(), GA_ReadOnly);
  ASSERT_NE(dataset, nullptr) << file;
  OGRSpatialReferenceH expected = OSRNewSpatialReference(nullptr), found = OSRNewSpatialReference(nullptr);
  OSRSetFromUserInput(expected, kCoordinateSystem);
  const char* wkt = GDALGetProjectionRef(dataset);
  EXPECT_TRUE(OSRSetFromUserInput(found, wkt) == OGRERR_NONE && OSRIsSame(expected, found)) << file << ": " << wkt;
  OSRDestroySpatialReference(found);
  OSRDestroySpatialReference(expected);

  GDALRasterBandH band = GDALGetRasterBand(dataset, 1);
  int has_nodata = 0;
  const double nodata = GDALGetRasterNoDataValue(band, &has_nodata);
  EXPECT_TRUE(has_nodata && nodata == -9999.0) << file;
  EXPECT_EQ(GDALGetRasterDataType(band), GDT_Float64) << file;
  double t[6];
  ASSERT_EQ(GDALGetGeoTransform(dataset, t), CE_None) << file;
  EXPECT_EQ(t[0], 0.0) << file;
  EXPECT_NEAR(t[3], 111 * 89.994, 1e-9) << file;
  EXPECT_EQ(t[1], 89.994) << file;
  EXPECT_EQ(t[5], -89.994) << file;
  GDALClose(dataset);
}

TEST_F(GeoTiffExample, BothRunsEndNormallyWithTheSameConsoleLines) {
  ASSERT_EQ(native_->exit_code, 0) << native_->output;
  ASSERT_EQ(geotiff_->exit_code, 0) << geotiff_->output << geotiff_->errors;
  EXPECT_EQ(replace_all(geotiff_->output, ".tif", ".asc"), native_->output);
  EXPECT_EQ(geotiff_->errors, "");
}

TEST_F(GeoTiffExample, EveryGridIsTheSameWithItsGeometry) {
  ASSERT_EQ(geotiff_->exit_code, 0);
  std::set<std::string> expected;
  // The double grids' ENVI sidecars have no counterpart beside GeoTIFFs, which carry
  // their geometry themselves.
  for (const std::string& name : file_names(output("native")))
    if (!name.ends_with(".asc.hdr")) expected.insert(replace_all(name, ".asc", ".tif"));
  ASSERT_EQ(file_names(output("geotiff")), expected);
  int geotiffs = 0;
  for (const std::string& name : file_names(output("native"))) {
    if (name.ends_with(".hdr")) continue;
    const fs::path native_file = output("native") / name;
    const fs::path geotiff_file = output("geotiff") / replace_all(name, ".asc", ".tif");
    if (name == "structure.txt") {
      EXPECT_EQ(read_file(geotiff_file.string()), read_file(native_file.string()));
      continue;
    }
    expect_same_grid(native_file, geotiff_file);
    if (geotiff_file.extension() != ".tif") continue;
    expect_geotiff_metadata(geotiff_file);
    ++geotiffs;
  }
  EXPECT_GE(geotiffs, 30);
}

#else

// A run that reads `dem` and writes its slope to `slope`.
testing::RunResult run_slope(const TempDir& dir, const std::string& dem, const std::string& slope) {
  write_file(dir.file("run.ctl"), "[Hoehenmodell]\n1\n" + dem + "\n[Aspect]\n0\n[Gefaelle]\n1\n" + slope +
                                      "\n[Profilcurvature]\n0\n[Plancurvature]\n0\n[Curvature]\n0\n");
  return run_binary(dir.path().string(), {"run.ctl"});
}

TEST(WithoutGdal, GeoTiffOutputsAndForeignInputsAreRefused) {
  TempDir dir;
  write_file(dir.file("dem.asc"), testing::text_grid(3, 2, {1, 2, 3, 4, 5, 6}));
  auto result = run_slope(dir, "dem.asc", "slope.tif");
  EXPECT_EQ(result.exit_code, 4);
  EXPECT_TRUE(result.output.ends_with("error opening slope.tif \n")) << result.output;
  EXPECT_NE(result.errors.find("no GDAL support"), std::string::npos) << result.errors;

  write_file(dir.file("dem.png"), "\x89PNG\r\n\x1a\n a raster in a format only GDAL would read");
  result = run_slope(dir, "dem.png", "slope.asc");
  EXPECT_EQ(result.exit_code, 98);
  EXPECT_NE(result.errors.find("no GDAL support"), std::string::npos) << result.errors;
}

#endif

}  // namespace
}  // namespace orograd

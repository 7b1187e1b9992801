// The orograd-pour binary on the bundled example: gauges one cell off the river land on
// the example's exact pour points, from CSV and, reprojected, from GeoJSON; every
// refused input exits non-zero and writes no grid.
#include <cpl_conv.h>
#include <gtest/gtest.h>
#include <ogr_srs_api.h>

#include <algorithm>
#include <filesystem>

#include "grid/grid_reader.hpp"
#include "grid/grid_writer.hpp"
#include "support/gdal_view.hpp"
#include "support/test_support.hpp"

namespace orograd::pour {
namespace {

using testing::read_file;
using testing::RunResult;
using testing::write_file;

constexpr double kCellSize = 89.994;  // of the example's 111 x 111 DEM
constexpr int kSize = 111;
const std::string kExamples = OROGRAD_SOURCE_DIR "/examples/";

struct Gauge {
  int code, row, col;  // the cell the gauge lies in
};
// One cell off the river beside the example's pour points 2, 4 and 3.
const Gauge kGauges[] = {{2, 45, 97}, {4, 82, 47}, {3, 87, 82}};

RunResult run_pour(const testing::TempDir& dir, const std::vector<std::string>& arguments) {
  return testing::run_program(OROGRAD_POUR_BINARY, dir.path().string(), arguments);
}

// "x,y,code" lines of gauges at cell centres of the example's geometry.
std::string gauge_csv(const std::vector<Gauge>& gauges) {
  std::string text = "x,y,code\n";
  for (const Gauge& g : gauges)
    text += format("%.17g,%.17g,%d\n", (g.col - 0.5) * kCellSize, (kSize - g.row + 0.5) * kCellSize, g.code);
  return text;
}

std::string geojson(const std::string& features) {
  return R"({"type":"FeatureCollection","features":[)" + features + "]}";
}
std::string point_feature(double x, double y, int code) {
  return format(R"({"type":"Feature","properties":{"code":%d},)"
                R"("geometry":{"type":"Point","coordinates":[%.17g,%.17g]}})",
                code, x, y);
}

class PourBinary : public ::testing::Test {
 protected:
  testing::TempDir dir;

  // The example's accumulation as [Flowaccumulation] derives it: acc.asc.
  void SetUp() override {
    std::filesystem::copy_file(kExamples + "olinda_dem_90m.asc", dir.file("dem.asc"));
    write_file(dir.file("run.ctl"), "[Hoehenmodell]\n1\ndem.asc\n" + testing::kMandatorySections +
                                        "[Flowdirection]\n1\ndir.asc\nsinks.asc\nfilled.asc\n"
                                        "[Flowaccumulation]\n1\nacc.asc\ndir.asc\n1000\n");
    const RunResult run = testing::run_binary(dir.path().string(), {"run.ctl"});
    ASSERT_EQ(run.exit_code, 0) << run.output;
  }
};

TEST_F(PourBinary, GaugesOffTheRiverLandOnTheExamplesPourPoints) {
  write_file(dir.file("gauges.csv"), gauge_csv({std::begin(kGauges), std::end(kGauges)}));
  const RunResult run = run_pour(dir, {"gauges.csv", "acc.asc", "pp.asc"});
  ASSERT_EQ(run.exit_code, 0) << run.output << run.errors;
  EXPECT_NE(run.output.find("code 2: row 45 col 97 -> row 45 col 98, moved 89.994, accumulation 5582\n"
                            "code 4: row 82 col 47 -> row 83 col 46, moved 127.2707353, accumulation 1596\n"
                            "code 3: row 87 col 82 -> row 87 col 83, moved 89.994, accumulation 4385\n"),
            std::string::npos)
      << run.output;
  const std::vector<double> exact = testing::grid_values(kExamples + "olinda_pour_points.asc");
  const std::vector<double> written = testing::grid_values(dir.file("pp.asc"));
  ASSERT_EQ(written.size(), exact.size());
  for (std::size_t i = 0; i < exact.size(); ++i) {
    const bool gauged = exact[i] == 2 || exact[i] == 3 || exact[i] == 4;
    EXPECT_EQ(written[i], gauged ? exact[i] : kNodata) << "cell " << i;
  }

  // An accumulation grid in the double format gives a pour-point grid in that format.
  Console quiet = Console::capturing();
  GridContext context(quiet);
  const Grid accumulation = read_first_grid(context, dir.file("acc.asc"));
  context.output_format = OutputFormat::double_;
  write_grid(context, dir.file("acc.dbl"), accumulation);
  ASSERT_EQ(run_pour(dir, {"gauges.csv", "acc.dbl", "pp.dbl"}).exit_code, 0);
  EXPECT_EQ(native_grid_format(dir.file("pp.dbl")), OutputFormat::double_);
}

TEST_F(PourBinary, RefusesBadInputWithoutWritingAGrid) {
  const double x = (97 - 0.5) * kCellSize, y = (kSize - 45 + 0.5) * kCellSize;
  write_file(dir.file("gauges.csv"), gauge_csv({{2, 45, 97}}));
  write_file(dir.file("no_coordinates.csv"), "name,code\nA,2\n");
  write_file(dir.file("empty.csv"), "x,y,code\n");
  write_file(dir.file("mixed.geojson"),
             geojson(point_feature(x, y, 2) + R"(,{"type":"Feature","properties":{"code":3},)"
                                              R"("geometry":{"type":"LineString","coordinates":[[0,0],[1,1]]}})"));
  write_file(dir.file("no_geometry.geojson"),
             geojson(point_feature(x, y, 2) + R"(,{"type":"Feature","properties":{"code":3},"geometry":null})"));
  write_file(dir.file("outside.csv"), gauge_csv({{2, 45, 97}, {3, 45, 112}}));
  write_file(dir.file("together.csv"), gauge_csv({{2, 45, 97}, {5, 46, 97}}));
  write_file(dir.file("repeated.csv"), gauge_csv({{2, 45, 97}, {2, 87, 82}}));
  write_file(dir.file("fraction.csv"), "x,y,code\n" + format("%.17g,%.17g,2.5\n", x, y));
  write_file(dir.file("gauges.geojson"), geojson(point_feature(-34.85, -7.99, 2)));
  std::filesystem::copy_file(dir.file("acc.asc"), dir.file("local.asc"));
  write_file(dir.file("local.prj"), R"(LOCAL_CS["site grid",UNIT["metre",1]])");
  write_file(dir.file("flat.asc"), testing::text_grid(2, 2, {1, 2, 3, 4}, 0));
  struct Case {
    std::vector<std::string> arguments;
    int exit_code;
    const char* message;
  };
  const Case cases[] = {
      {{"missing.csv", "acc.asc", "pp.asc"}, 2, "cannot open the points file missing.csv"},
      {{"no_coordinates.csv", "acc.asc", "pp.asc"}, 1, "no_coordinates.csv has no point layer"},
      {{"empty.csv", "acc.asc", "pp.asc"}, 1, "the point layer of empty.csv holds no point"},
      {{"mixed.geojson", "acc.asc", "pp.asc"}, 1, "feature 2 of mixed.geojson is a LINESTRING, not a point"},
      {{"no_geometry.geojson", "acc.asc", "pp.asc"}, 1, "feature 2 of no_geometry.geojson has no geometry"},
      {{"outside.csv", "acc.asc", "pp.asc"}, 1, "feature 2 of outside.csv (x 10034.331"},
      {{"together.csv", "acc.asc", "pp.asc"}, 1, "codes 2 and 5 are both snapped onto row 45, column 98"},
      {{"repeated.csv", "acc.asc", "pp.asc"}, 1, "features 1 and 2 of repeated.csv have the same code 2"},
      {{"fraction.csv", "acc.asc", "pp.asc"}, 1, "its code '2.5' is no whole number from 1 to 500000"},
      {{"gauges.csv", "acc.asc", "pp.asc", "--code", "station"}, 1, "has no field 'station' (its fields: code)"},
      {{"gauges.csv", "acc.asc", "pp.asc", "--snap", "-90"}, 1, "--snap needs a distance of 0 or more"},
      {{"gauges.csv", "acc.asc", "pp.asc", "--snap", "2cells"}, 1, "not '2cells'"},
      {{"gauges.csv", "acc.asc", "pp.asc", "--radius", "90"}, 1, "unknown option --radius"},
      {{"gauges.geojson", "local.asc", "pp.asc"}, 1, "GDAL has no transformation between them"},
      {{"gauges.csv", "flat.asc", "pp.asc"}, 1, "the cell size of flat.asc, 0, is no positive number"},
  };
  for (const Case& c : cases) {
    const RunResult run = run_pour(dir, c.arguments);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.message;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(dir.file("pp.asc"))) << c.message;
  }
}

// The example's grid moved to its place in UTM zone 25S, with a .prj saying so; the
// gauge in longitude and latitude (GeoJSON's WGS 84).
TEST_F(PourBinary, ReprojectsAGeoJsonLayerIntoTheGridsSystem) {
  constexpr double kXll = 290000, kYll = 9110000;
  std::string grid = read_file(dir.file("acc.asc"));
  grid.replace(0, grid.find("cellsize"),
               format("ncols %d\nnrows %d\nxllcorner %.0f\nyllcorner %.0f\n", kSize, kSize, kXll, kYll));
  write_file(dir.file("utm.asc"), grid);
  OGRSpatialReferenceH utm = OSRNewSpatialReference(nullptr), wgs84 = OSRNewSpatialReference(nullptr);
  ASSERT_EQ(OSRImportFromEPSG(utm, 32725), OGRERR_NONE);
  ASSERT_EQ(OSRImportFromEPSG(wgs84, 4326), OGRERR_NONE);
  OSRSetAxisMappingStrategy(wgs84, OAMS_TRADITIONAL_GIS_ORDER);
  char* wkt = nullptr;
  OSRExportToWkt(utm, &wkt);
  write_file(dir.file("utm.prj"), wkt);
  CPLFree(wkt);
  OGRCoordinateTransformationH to_degrees = OCTNewCoordinateTransformation(utm, wgs84);
  double x = kXll + (97 - 0.5) * kCellSize, y = kYll + (kSize - 45 + 0.5) * kCellSize;
  ASSERT_TRUE(OCTTransform(to_degrees, 1, &x, &y, nullptr));
  OCTDestroyCoordinateTransformation(to_degrees);
  OSRDestroySpatialReference(utm);
  OSRDestroySpatialReference(wgs84);
  write_file(dir.file("gauges.geojson"), geojson(point_feature(x, y, 2)));

  const RunResult run = run_pour(dir, {"gauges.geojson", "utm.asc", "pp.tif"});
  ASSERT_EQ(run.exit_code, 0) << run.output << run.errors;
  EXPECT_NE(run.output.find("reprojected"), std::string::npos);
  EXPECT_NE(run.output.find("code 2: row 45 col 97 -> row 45 col 98"), std::string::npos) << run.output;
  const testing::GdalView tif = testing::open_in_gdal(dir.file("pp.tif"));
  EXPECT_EQ(tif.driver, "GTiff");
  EXPECT_NE(tif.wkt.find("UTM zone 25S"), std::string::npos) << tif.wkt;
  ASSERT_EQ(tif.cells.size(), static_cast<std::size_t>(kSize * kSize));
  EXPECT_EQ(std::count(tif.cells.begin(), tif.cells.end(), kNodata), kSize * kSize - 1);
  EXPECT_EQ(tif.cells[44 * kSize + 97], 2);
}

}  // namespace
}  // namespace orograd::pour

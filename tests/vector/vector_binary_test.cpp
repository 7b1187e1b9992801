// The orograd-vector binary: each output format read back through OGR with its fields,
// geometry and coordinate system; outputs replaced whole; and every bad argument, grid
// or code refused with no output left behind.
#include <gtest/gtest.h>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "grid/grid.hpp"
#include "support/test_support.hpp"

namespace orograd::vector {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::text_grid;
using testing::write_file;

constexpr double N = kNodata;
// The ESRI text of WGS 84 / UTM zone 24S, as a .prj beside a text grid holds it.
constexpr const char* kUtm24South =
    "PROJCS[\"WGS_1984_UTM_Zone_24S\",GEOGCS[\"GCS_WGS_1984\",DATUM[\"D_WGS_1984\",SPHEROID[\"WGS_1984\","
    "6378137.0,298.257223563]],PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]],"
    "PROJECTION[\"Transverse_Mercator\"],PARAMETER[\"False_Easting\",500000.0],PARAMETER[\"False_Northing\","
    "10000000.0],PARAMETER[\"Central_Meridian\",-39.0],PARAMETER[\"Scale_Factor\",0.9996],"
    "PARAMETER[\"Latitude_Of_Origin\",0.0],UNIT[\"Meter\",1.0]]";

struct Dataset {
  std::unique_ptr<GDALDataset> dataset;
  OGRLayer* layer = nullptr;
};

Dataset open_vector(const std::string& name) {
  GDALAllRegister();
  Dataset d{std::unique_ptr<GDALDataset>(GDALDataset::Open(name.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY))};
  if (d.dataset != nullptr) d.layer = d.dataset->GetLayer(0);
  return d;
}

// Files whose names start with a dot: temporaries left behind.
int hidden_files(const fs::path& dir) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(dir)) count += entry.path().filename().string().starts_with(".");
  return count;
}

class VectorBinary : public ::testing::Test {
 protected:
  testing::TempDir dir;

  // basins.asc: code 1 round a hole of code 3; code 2 in two parts; cells of 100 m.
  // links.asc: link 1 runs south-east and east into the confluence (2, 3), link 2
  // south into it, link 3 east from it, link 4 south off the grid.
  void SetUp() override {
    const std::vector<double> basins{1, 1, 1, 1, N, 2,  //
                                     1, 3, 3, 1, N, N,  //
                                     1, 1, 1, 1, N, 2,  //
                                     N, N, N, N, N, N};
    write_file(dir.file("basins.asc"), text_grid(6, 4, basins, 100, 500000, 9100000));
    write_file(dir.file("basins.prj"), kUtm24South);
    write_file(dir.file("plain.asc"), text_grid(6, 4, basins, 100));
    write_file(dir.file("links.asc"), text_grid(4, 3, {1, N, 2, N, N, 1, 3, 3, 4, N, N, N}, 100));
    write_file(dir.file("links.prj"), kUtm24South);
    write_file(dir.file("dirs.asc"), text_grid(4, 3, {4, 0, 8, 0, 0, 2, 2, 0, 8, 0, 0, 0}, 100));
    write_file(dir.file("orders.asc"), text_grid(4, 3, {1, N, 1, N, N, 1, 2, 2, 1, N, N, N}, 100));
  }

  testing::RunResult run(const std::vector<std::string>& arguments, long file_size_limit = -1) {
    return testing::run_program(OROGRAD_VECTOR_BINARY, dir.path().string(), arguments, file_size_limit);
  }
};

TEST_F(VectorBinary, EachFormatOpensInOgrWithFieldsGeometryAndCoordinateSystem) {
  const struct {
    const char* ending;
    const char* driver;
  } formats[] = {{".gpkg", "GPKG"}, {".shp", "ESRI Shapefile"}, {".geojson", "GeoJSON"}, {".JSON", "GeoJSON"}};
  for (const auto& format : formats) {
    SCOPED_TRACE(format.ending);
    const std::string basins_file = std::string("basins") + format.ending, rivers_file = std::string("rivers") + format.ending;
    const testing::RunResult basins_run = run({"basins", "basins.asc", basins_file});
    ASSERT_EQ(basins_run.exit_code, 0) << basins_run.output << basins_run.errors;
    EXPECT_NE(basins_run.output.find("wrote " + basins_file + ": 3 basins"), std::string::npos) << basins_run.output;
    const testing::RunResult rivers_run = run({"rivers", "links.asc", "dirs.asc", rivers_file, "--orders", "orders.asc"});
    ASSERT_EQ(rivers_run.exit_code, 0) << rivers_run.output << rivers_run.errors;

    for (const std::string& name : {basins_file, rivers_file}) {
      const Dataset d = open_vector(dir.file(name));
      ASSERT_NE(d.layer, nullptr) << name;
      EXPECT_STREQ(d.dataset->GetDriver()->GetDescription(), format.driver);
      const OGRSpatialReference* srs = d.layer->GetSpatialRef();
      ASSERT_NE(srs, nullptr) << name;
      int north = 1;
      EXPECT_EQ(srs->GetUTMZone(&north), 24);
      EXPECT_EQ(north, 0);
    }
    // Each code once, with its cells, area and a geometry of that area.
    const Dataset basins = open_vector(dir.file(basins_file));
    const std::map<int, int> cells_of_code{{1, 10}, {2, 2}, {3, 2}};
    EXPECT_EQ(basins.layer->GetFeatureCount(), 3);
    for (const auto& feature : *basins.layer) {
      const int code = feature->GetFieldAsInteger("code");
      ASSERT_TRUE(cells_of_code.contains(code));
      const int cells = cells_of_code.at(code);
      EXPECT_EQ(feature->GetFieldAsInteger64("cells"), cells);
      EXPECT_DOUBLE_EQ(feature->GetFieldAsDouble("area_km2"), cells * 0.01);
      EXPECT_DOUBLE_EQ(OGR_G_Area(OGRGeometry::ToHandle(feature->GetGeometryRef())), cells * 10000.0);
    }
    // Link 1: from the centre of (1, 1) to that of the confluence (2, 3). Link 4, one
    // cell leaving the grid, is its centre twice.
    const Dataset rivers = open_vector(dir.file(rivers_file));
    EXPECT_EQ(rivers.layer->GetFeatureCount(), 4);
    for (const auto& feature : *rivers.layer) {
      const OGRLineString* line = feature->GetGeometryRef()->toLineString();
      if (feature->GetFieldAsInteger("link") == 4) {
        ASSERT_EQ(line->getNumPoints(), 2);
        EXPECT_TRUE(line->getX(0) == 50 && line->getY(0) == 50 && line->getX(1) == 50 && line->getY(1) == 50);
      }
      if (feature->GetFieldAsInteger("link") != 1) continue;
      EXPECT_EQ(feature->GetFieldAsInteger("order"), 1);
      EXPECT_DOUBLE_EQ(feature->GetFieldAsDouble("length"), 100 * 1.4142135 + 100);
      EXPECT_EQ(feature->GetFieldAsInteger64("cells"), 2);
      ASSERT_EQ(line->getNumPoints(), 3);
      EXPECT_DOUBLE_EQ(line->getX(0), 50);
      EXPECT_DOUBLE_EQ(line->getY(0), 250);
      EXPECT_DOUBLE_EQ(line->getX(2), 250);
      EXPECT_DOUBLE_EQ(line->getY(2), 150);
    }
  }
  EXPECT_EQ(hidden_files(dir.path()), 0);
}

// A system without EPSG code: a GeoPackage keeps it, GeoJSON cannot name it and leaves
// it out with a warning rather than let readers take the metres for degrees.
TEST_F(VectorBinary, GeoJsonLeavesOutASystemWithoutEpsgCode) {
  std::string custom = kUtm24South;
  custom.replace(custom.find("-39.0"), 5, "-38.5");
  write_file(dir.file("basins.prj"), custom);
  for (const char* out : {"custom.gpkg", "custom.geojson"}) {
    const testing::RunResult result = run({"basins", "basins.asc", out});
    ASSERT_EQ(result.exit_code, 0) << result.output;
    const bool geojson = std::string(out).ends_with(".geojson");
    EXPECT_EQ(result.errors.find("GeoJSON names only EPSG systems") != std::string::npos, geojson) << result.errors;
    const Dataset d = open_vector(dir.file(out));
    ASSERT_NE(d.layer, nullptr);
    const OGRSpatialReference* srs = d.layer->GetSpatialRef();
    EXPECT_EQ(srs != nullptr && srs->GetProjParm(SRS_PP_CENTRAL_MERIDIAN) == -38.5, !geojson) << out;
  }
}

// A Shapefile written again from a grid without coordinate system loses its .prj; a
// GeoPackage is replaced, not appended to (without a system GDAL marks its layer
// "undefined geographic").
TEST_F(VectorBinary, ReplacesAnExistingOutputWhole) {
  for (const char* out : {"out.shp", "out.gpkg"}) {
    ASSERT_EQ(run({"basins", "basins.asc", out}).exit_code, 0);
    ASSERT_EQ(run({"basins", "plain.asc", out}).exit_code, 0);
    const Dataset d = open_vector(dir.file(out));
    ASSERT_NE(d.layer, nullptr);
    EXPECT_EQ(d.layer->GetFeatureCount(), 3) << out;
    const OGRSpatialReference* srs = d.layer->GetSpatialRef();
    EXPECT_TRUE(srs == nullptr || srs->GetUTMZone() == 0) << out;
  }
  EXPECT_FALSE(fs::exists(dir.file("out.prj")));
  EXPECT_EQ(hidden_files(dir.path()), 0);
}

TEST_F(VectorBinary, RefusesBadArgumentsGridsAndCodesWritingNothing) {
  write_file(dir.file("other.asc"), text_grid(2, 2, {1, 2, 3, 4}, 100));
  write_file(dir.file("fraction.asc"), text_grid(2, 1, {1, 2.5}));
  write_file(dir.file("zero.asc"), text_grid(2, 1, {1, 0}));
  write_file(dir.file("huge.asc"), text_grid(2, 1, {3e9, 1}));
  write_file(dir.file("branching.asc"), text_grid(4, 3, {1, N, 1, N, N, 1, 1, 1, N, N, N, N}, 100));
  struct Case {
    std::vector<std::string> arguments;
    int exit_code;
    const char* message;
  };
  const Case cases[] = {
      {{}, 1, "expected a subcommand"},
      {{"polygons", "basins.asc", "o.gpkg"}, 1, "unknown subcommand 'polygons'"},
      {{"basins", "basins.asc"}, 1, "expected a subbasin grid and an output"},
      {{"rivers", "links.asc", "o.gpkg"}, 1, "expected a link grid, a direction grid and an output"},
      {{"basins", "basins.asc", "o.gpkg", "--orders", "orders.asc"}, 1, "unknown option --orders"},
      {{"rivers", "links.asc", "dirs.asc", "o.gpkg", "--order", "orders.asc"}, 1, "unknown option --order"},
      {{"rivers", "links.asc", "dirs.asc", "o.gpkg", "--orders"}, 1, "--orders needs an order grid"},
      {{"basins", "basins.asc", "o.kml"}, 1, "none of the endings"},
      {{"basins", "missing.asc", "o.gpkg"}, 2, "error opening grid missing.asc"},
      {{"rivers", "links.asc", "other.asc", "o.gpkg"}, 1, "does not match the first grid"},
      {{"basins", "fraction.asc", "o.gpkg"}, 1, "fraction.asc holds 2.5 in row 1, column 2"},
      {{"basins", "zero.asc", "o.gpkg"}, 1, "zero.asc holds 0 in row 1, column 2"},
      {{"basins", "huge.asc", "o.gpkg"}, 1, "huge.asc holds 3000000000 in row 1, column 1"},
      {{"rivers", "branching.asc", "dirs.asc", "o.gpkg"}, 1, "link 1 has two first cells"},
      {{"basins", "basins.asc", "no/such/o.gpkg"}, 4, "error opening no/such/o.gpkg"},
  };
  for (const Case& c : cases) {
    const testing::RunResult result = run(c.arguments);
    EXPECT_EQ(result.exit_code, c.exit_code) << c.message;
    EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
    EXPECT_FALSE(fs::exists(dir.file("o.gpkg")) || fs::exists(dir.file("o.kml"))) << c.message;
  }
  EXPECT_EQ(hidden_files(dir.path()), 0);
}

// A write that fails half-way (here at a file size limit, as on a full disk) leaves the
// former output as it was and no temporary.
TEST_F(VectorBinary, AFailedWriteLeavesTheFormerOutput) {
  for (const char* out : {"out.gpkg", "out.shp"}) {
    ASSERT_EQ(run({"basins", "plain.asc", out}).exit_code, 0);
    const std::string former = read_file(dir.file(out));
    const testing::RunResult result = run({"basins", "basins.asc", out}, 100);
    EXPECT_NE(result.exit_code, 0) << out;
    EXPECT_NE(result.output.find(out), std::string::npos) << result.output;
    EXPECT_EQ(read_file(dir.file(out)), former) << out;
    EXPECT_FALSE(fs::exists(dir.file("out.prj")));
    EXPECT_EQ(hidden_files(dir.path()), 0) << out;
  }
}

}  // namespace
}  // namespace orograd::vector

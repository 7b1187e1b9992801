// The files beside written grids: ENVI headers through which GDAL opens the binary
// grids, the first grid's .prj beside text outputs, and sidecars that cannot be written.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

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

namespace fs = std::filesystem;
using testing::read_file;
using testing::TempDir;
using testing::text_grid;
using testing::write_file;

#if OROGRAD_GDAL
using testing::GdalView;
using testing::open_in_gdal;
#endif

class GridSidecars : public ::testing::Test {
 protected:
  Console console = Console::capturing();
  GridContext context{console};
  TempDir dir;

  std::string file(const std::string& name) const { return dir.file(name); }

  // 4 x 3 cells, two of them nodata.
  Grid sample() {
    context.header = {4, 3, -71.25, 256, 73.1, kNodata};
    Grid grid = context.allocate();
    for (int r = 1; r <= 3; ++r)
      for (int c = 1; c <= 4; ++c) grid(r, c) = r * 10 + c / 3.0;
    grid(1, 2) = grid(3, 4) = kNodata;
    return grid;
  }
};

TEST_F(GridSidecars, BinaryGridsOpenInGdalThroughTheirHeader) {
  const Grid grid = sample();
  std::string output;
  for (OutputFormat format : {OutputFormat::single, OutputFormat::double_}) {
    const bool single = format == OutputFormat::single;
    const std::string name = file(single ? "slope.flt" : "slope.dbl");
    context.output_format = format;
    write_grid(context, name, grid);
    output += "writing " + name + " ..ready.\n";
    EXPECT_TRUE(fs::is_regular_file(name + ".hdr")) << name;
#if OROGRAD_GDAL
    const GdalView view = open_in_gdal(name);
    EXPECT_EQ(view.driver, "ENVI");
    EXPECT_EQ(std::pair(view.ncols, view.nrows), std::pair(4, 3));
    EXPECT_EQ(view.type, single ? GDT_Float32 : GDT_Float64);
    // The plain top edge 256 + 3 * 73.1 rounds to 475.29999999999995, from which
    // taking 3 * 73.1 off misses 256; 475.3 gives it back.
    EXPECT_EQ(view.transform, (std::array<double, 6>{-71.25, 73.1, 0, 475.3, 0, -73.1}));
    EXPECT_EQ(view.nodata, kNodata);
    std::vector<double> expected;
    for (int r = 1; r <= 3; ++r)
      for (int c = 1; c <= 4; ++c) expected.push_back(single ? double(float(grid(r, c))) : grid(r, c));
    EXPECT_EQ(view.cells, expected) << name;
#endif
  }
  EXPECT_EQ(console.captured(), output);
  EXPECT_EQ(console.captured_warnings(), "");
}

#if OROGRAD_GDAL
// A GDAL raster's system reaches the ENVI header and, as ESRI WKT, the .prj.
TEST_F(GridSidecars, CoordinateSystemOfAGdalRasterReachesBothSidecars) {
  OGRSpatialReferenceH utm = OSRNewSpatialReference(nullptr);
  ASSERT_EQ(OSRImportFromEPSG(utm, 32633), OGRERR_NONE);
  char* wkt = nullptr;
  OSRExportToWkt(utm, &wkt);
  context.coordinate_system = wkt;
  CPLFree(wkt);
  const Grid grid = sample();
  context.output_format = OutputFormat::double_;
  write_grid(context, file("a.dbl"), grid);
  const GdalView view = open_in_gdal(file("a.dbl"));
  OGRSpatialReferenceH back = OSRNewSpatialReference(view.wkt.c_str());
  EXPECT_TRUE(OSRIsSame(back, utm)) << view.wkt;
  OSRDestroySpatialReference(back);
  OSRDestroySpatialReference(utm);

  context.output_format = OutputFormat::text;
  write_grid(context, file("a.asc"), grid);
  EXPECT_TRUE(read_file(file("a.prj")).starts_with("PROJCS[\"WGS_1984_UTM_Zone_33N\",GEOGCS[\"GCS_WGS_1984\""));
}
#endif

TEST_F(GridSidecars, TextOutputsGetTheFirstGridsPrj) {
  const std::string prj = "PROJCS[\"local\",\r\n  UNIT[\"Meter\",1.0]]\r\n";
  struct Case {
    std::string prj_beside;  // the input grid with a .prj beside it, if any
    bool copied;
  };
  std::string output;
  for (const Case& c : {Case{"dem", true}, Case{"", false}, Case{"later", false}}) {
    TempDir run;
    GridContext fresh(console);
    for (const char* name : {"dem.asc", "later.asc"}) write_file(run.file(name), text_grid(2, 1, {1, 2}));
    if (!c.prj_beside.empty()) write_file(run.file(c.prj_beside + ".prj"), prj);
    const Grid grid = read_first_grid(fresh, run.file("dem.asc"));
    read_grid(fresh, run.file("later.asc"));
    fs::create_directory(run.path() / "out");
    write_grid(fresh, run.file("out/slope.asc"), grid);
    output += "reading (first) grid " + run.file("dem.asc") + "..\nreading (first) grid " + run.file("later.asc") +
              "..\nwriting " + run.file("out/slope.asc") + " ..ready.\n";
    EXPECT_EQ(fs::exists(run.file("out/slope.prj")), c.copied) << c.prj_beside;
    if (c.copied) {
      EXPECT_EQ(read_file(run.file("out/slope.prj")), prj);
    }
    EXPECT_FALSE(fs::exists(run.file("out/slope.asc.hdr")));
  }
  EXPECT_EQ(console.captured(), output);
  EXPECT_EQ(console.captured_warnings(), "");
}

TEST_F(GridSidecars, SidecarsThatCannotBeWrittenLeaveTheGridAndWarn) {
  const Grid grid = sample();
  struct Case {
    OutputFormat format;
    std::string grid, sidecar, reason;
  };
  for (const Case& c : std::vector<Case>{
           {OutputFormat::single, "g.flt", "g.flt.hdr", std::strerror(EISDIR)},
           {OutputFormat::text, "g.asc", "g.prj", std::strerror(EISDIR)},
           {OutputFormat::text, "h.prj", "h.prj", "it is the name of the grid itself"},
       }) {
    Console quiet = Console::capturing();
    GridContext run(quiet);
    run.header = context.header;
    run.coordinate_system = "PROJCS[\"local\"]";
    run.coordinate_system_is_prj = true;
    run.output_format = c.format;
    if (c.sidecar != c.grid) fs::create_directory(file(c.sidecar));
    write_grid(run, file(c.grid), grid);
    EXPECT_EQ(quiet.captured(), "writing " + file(c.grid) + " ..ready.\n");
    EXPECT_EQ(quiet.captured_warnings(), "orograd: cannot write " + file(c.sidecar) + ": " + c.reason + "\n");
    const std::string written = read_file(file(c.grid));
    EXPECT_EQ(written.size() == 48 + 4 * 12, c.format == OutputFormat::single) << c.grid;
    EXPECT_EQ(written.starts_with("ncols\t4\n"), c.format == OutputFormat::text) << c.grid;
  }
}

}  // namespace
}  // namespace orograd

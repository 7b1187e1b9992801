// Text grid headers as other tools write them: keyword case, cell centres, dx/dy,
// a missing nodata line, and the refusals with their reasons.
#include <gtest/gtest.h>

#include <cmath>

#include "grid/grid_reader.hpp"
#include "support/test_support.hpp"

namespace orograd {
namespace {

using testing::expect_fatal;
using testing::TempDir;
using testing::write_file;

class TextGridHeader : public ::testing::Test {
 protected:
  Console console = Console::capturing();
  GridContext context{console};
  TempDir dir;
  std::string path = dir.file("g.asc");
};

// Every header describes 2 x 2 cells of 5 at corner (10, 20); -1 is the nodata
// marker where the header has one.
TEST_F(TextGridHeader, HeadersOfOtherToolsGiveTheSameGeometry) {
  struct Case {
    const char* header;
    bool nodata_line;
  };
  for (const Case& c : std::vector<Case>{
           {"ncols 2\nnrows 2\nxllcorner 10\nyllcorner 20\ncellsize 5\nnodata_value -1\n", true},
           {"NCOLS 2\nNROWS 2\nXLLCORNER 10\nYLLCORNER 20\nCELLSIZE 5\nNODATA_VALUE -1\n", true},
           // Keywords out of order are taken by name, not by line.
           {"nCoLs 2\nNrows 2\nNODATA_value -1\nyllCorner 20\ncellSize 5\nXllcorner 10\n", true},
           // Centres lie half a cell inside the corner, with the cell size given later.
           {"ncols 2\nnrows 2\nxllcenter 12.5\nYLLCENTER 22.5\ncellsize 5\nnodata_value -1\n", true},
           {"ncols 2\nnrows 2\nxllcorner 10\nyllcorner 20\ndx 5\ndy 5\nnodata_value -1\n", true},
           {"ncols 2\nnrows 2\nxllcorner 10\nyllcorner 20\ndx 5\ndy 5\n", false},
           {"ncols 2\nnrows 2\nxllcorner 10\nyllcorner 20\ncellsize 5\n", false},
           // Unknown words, even numbers, take the field of their line.
           {"ncolumns 2\nrows 2\nxll 10\n4 20\ncs 5\nmissing -1\n", true},
       }) {
    write_file(path, std::string(c.header) + "-1 2\n3 4\n");
    GridContext fresh(console);
    const std::size_t printed = console.captured().size();
    Grid grid = read_first_grid(fresh, path);
    const GridHeader& h = fresh.header;
    EXPECT_EQ(std::vector<double>({double(h.ncols), double(h.nrows), h.xllcorner, h.yllcorner, h.cellsize}),
              std::vector<double>({2, 2, 10, 20, 5}))
        << c.header;
    EXPECT_EQ(h.nodata_value, kNodata) << c.header;
    EXPECT_EQ(grid(1, 1), c.nodata_line ? kNodata : -1) << c.header;
    EXPECT_EQ(grid(2, 2), 4) << c.header;
    EXPECT_EQ(console.captured().find("nodata in grid", printed) != std::string::npos, c.nodata_line) << c.header;
  }
  EXPECT_EQ(console.captured_warnings(), "");
}

TEST_F(TextGridHeader, WithoutNodataLineTheCellsBeginAtTheFirstNumber) {
  const std::string header = "ncols 2\nnrows 1\nxllcorner 0\nyllcorner 0\ncellsize 1\n";
  for (auto [first, value] : std::vector<std::pair<const char*, double>>{
           {"-1", -1}, {"+2", 2}, {".5", 0.5}, {"7", 7}, {"inf", INFINITY}, {"-INF", -INFINITY}, {"nan", NAN}}) {
    write_file(path, header + first + " 9\n");
    GridContext fresh(console);
    Grid grid = read_first_grid(fresh, path);
    EXPECT_TRUE(grid(1, 1) == value || (std::isnan(value) && std::isnan(grid(1, 1)))) << first;
    EXPECT_EQ(grid(1, 2), 9) << first;
  }
}

TEST_F(TextGridHeader, UnreadableHeadersSayWhy) {
  struct Case {
    const char* header;
    const char* reason;
  };
  for (const Case& c : std::vector<Case>{
           {"ncols 2\nnrows 1\nxllcorner 0\nyllcorner 0\ndx 30\ndy 25\n",
            "dx (30) and dy (25) differ; only square cells are supported"},
           {"ncols 2\nnrows 1\nxllcorner 0\nyllcorner 0\ncellsize 30\ndx 25\n",
            "cellsize (30) and dx (25) differ; only square cells are supported"},
           {"ncols 2\nnrows 1\nxllcorner x0\nyllcorner 0\ncellsize 1\n",
            "header line 3 (xllcorner): no number follows the keyword"},
           {"ncols 2\nxllcorner 0\nyllcorner 0\n", "the header lacks nrows, cellsize (or dx and dy)"},
           {"ncols 2\nnrows 1\nxllcorner 0\nxllcenter 0\n", "header line 4 (xllcenter) gives xllcorner a second time"},
           {"ncols 2\nnrows 1\nxllcorner 0\nyllcorner 0\ndx 1\ndy 1\nnodata -9999\n",
            "header line 7: unknown keyword nodata"},
       }) {
    write_file(path, c.header);
    GridContext fresh(console);
    const std::size_t warned = console.captured_warnings().size();
    const FatalError error = expect_fatal([&] { read_first_grid(fresh, path); });
    EXPECT_EQ(error.code(), 1) << c.header;
    EXPECT_EQ(error.what(), "error reading fiel header from " + path + "\n");
    EXPECT_EQ(console.captured_warnings().substr(warned), "orograd: " + path + ": " + c.reason + "\n");
  }
}

// The reason reaches standard error; standard output keeps the program's line.
TEST(TextGridHeaderRun, DifferingSpacingsEndTheRun) {
  TempDir dir;
  write_file(dir.file("dem.asc"), "NCOLS 2\nNROWS 1\nXLLCORNER 0\nYLLCORNER 0\nDX 30\nDY 25\n1 2\n");
  write_file(dir.file("run.ctl"), "[Hoehenmodell]\n1\ndem.asc\n" + testing::kMandatorySections);
  const auto result = testing::run_binary(dir.path().string(), {"run.ctl"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.output.find("error reading fiel header from dem.asc\n"), std::string::npos) << result.output;
  EXPECT_EQ(result.errors, "orograd: dem.asc: dx (30) and dy (25) differ; only square cells are supported\n");
}

}  // namespace
}  // namespace orograd

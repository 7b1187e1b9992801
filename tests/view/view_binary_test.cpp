// The orograd-view binary: a picture from grid files, and the exit codes of bad
// arguments and unreadable grids.
#include <gtest/gtest.h>

#include <filesystem>

#include "picture_support.hpp"
#include "view/colour.hpp"
#include "view/legend.hpp"
#include "view/overlay.hpp"

namespace orograd::view {
namespace {

using testing::run_view_binary;
using testing::text_grid;
using testing::write_file;

class ViewBinary : public ::testing::Test {
 protected:
  testing::TempDir dir;

  // 20 x 10 cells: subbasin 7 west of subbasin 8; a river down column 15.
  void SetUp() override {
    std::vector<double> basins, rivers;
    for (int r = 0; r < 10; ++r)
      for (int c = 0; c < 20; ++c) {
        basins.push_back(c < 10 ? 7 : 8);
        rivers.push_back(c == 14 ? 1 : kNodata);
      }
    write_file(dir.file("basins.asc"), text_grid(20, 10, basins, 25));
    write_file(dir.file("rivers.asc"), text_grid(20, 10, rivers, 25));
    write_file(dir.file("other.asc"), text_grid(2, 2, {1, 2, 3, 4}, 25));
  }
};

TEST_F(ViewBinary, DrawsAGridWithItsGuessedKindAndOverlay) {
  const testing::RunResult run = run_view_binary(dir.path(), {"basins.asc", "p.png", "--overlay", "rivers.asc"});
  ASSERT_EQ(run.exit_code, 0) << run.output;
  EXPECT_NE(run.output.find("wrote p.png: 400x220 pixels, subbasins"), std::string::npos) << run.output;
  const Image image = testing::read_png(dir.file("p.png"));
  ASSERT_EQ(image.width(), 400);  // enlarged 20 times
  EXPECT_EQ(image.height(), 200 + legend_height(400));
  EXPECT_EQ(image.at(50, 100), category_colour(7));
  EXPECT_EQ(image.at(199, 100), kBlack);
  EXPECT_EQ(image.at(290, 100), kRiverBlue);
}

TEST_F(ViewBinary, RefusesBadArgumentsAndGrids) {
  struct Case {
    std::vector<std::string> arguments;
    int exit_code;
    const char* message;
  };
  const Case cases[] = {
      {{"basins.asc", "p.png", "--kind", "hills"}, 1, "unknown kind 'hills'"},
      {{"basins.asc"}, 1, "expected a grid and a picture"},
      {{"basins.asc", "p.png", "--size", "12x"}, 1, "--size needs a whole number"},
      {{"basins.asc", "p.png", "--colour", "red"}, 1, "unknown option --colour"},
      {{"missing.asc", "p.png"}, 2, "error opening grid missing.asc"},
      {{"basins.asc", "p.png", "--overlay", "basins:other.asc"}, 1, "does not match the first grid"},
      {{"basins.asc", "no/such/folder/p.png"}, 4, "error opening picture"},
  };
  for (const Case& c : cases) {
    const testing::RunResult run = run_view_binary(dir.path(), c.arguments);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.message;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("p.png")));
}

}  // namespace
}  // namespace orograd::view

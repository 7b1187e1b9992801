// [Fliesszeiten] through the real binary, after the river sections of the same run and
// on grid files of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/test_support.hpp"

namespace orograd {
namespace {

using testing::grid_values;
using testing::read_file;
using testing::run_binary;
using testing::TempDir;
using testing::text_grid;
using testing::write_file;

std::string travel_times(const std::string& specific_discharge, const std::string& inputs) {
  return "[Fliesszeiten]\n1\ntt.asc\ndepth.asc\nwidth.asc\n30\n" + specific_discharge + "\n" + inputs;
}

class TravelTimeSection : public ::testing::Test {
 protected:
  testing::RunResult run(const std::string& control) {
    write_file(dir.file("run.ctl"), control);
    return run_binary(dir.path().string(), {"run.ctl"});
  }
  std::vector<double> values(const std::string& name) { return grid_values(dir.file(name)); }

  TempDir dir;
};

// A fractal DEM of 25 m cells with a nodata margin, its slope, directions,
// accumulation and links made in the same run. Cells outside the DEM are nodata in
// all three outputs, river cells have a channel, every value is finite; the table has
// one line per link. A specific discharge of 0 warns and leaves no NaN behind.
TEST_F(TravelTimeSection, AfterTheRiverSections) {
  const std::string command =
      std::string(OROGRAD_TERRAIN_TOOL) + " 60 50 " + dir.file("dem.asc") + " 5 3 25 > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::string mandatory = testing::kMandatorySections;
  mandatory.replace(mandatory.find("[Gefaelle]\n0"), 12, "[Gefaelle]\n1\nslope.asc");
  const std::string chain = "[Hoehenmodell]\n1\ndem.asc\n" + mandatory +
                            "[Flowdirection]\n1\ndir.asc\nsinks.asc\nfilled.asc\n"
                            "[Flowaccumulation]\n1\nacc.asc\ndir.asc\n20\n"
                            "[Flussnetz]\n1\nnet.asc\nacc.asc\n20\n"
                            "[Flussordnungen]\n1\nord.asc\nlnk.asc\nnet.asc\ndir.asc\n";
  const std::string inputs = "dem.asc\nslope.asc\ndir.asc\nacc.asc\nlnk.asc\n";
  for (const std::string specific_discharge : {"20", "0"}) {
    const auto result = run(chain + travel_times(specific_discharge, inputs));
    ASSERT_EQ(result.exit_code, 0) << result.output;
    const std::string header =
        "\nhmin hmax accmin accmax laenge sqrt_s spende  hydrad   v\n" + std::string(66, '-') + "\n";
    const std::size_t table = result.output.find(header, result.output.find("calculating flow travel times..\n"));
    ASSERT_NE(table, std::string::npos) << result.output;
    const std::vector<double> dem = values("dem.asc"), links = values("lnk.asc"), times = values("tt.asc"),
                              depths = values("depth.asc"), widths = values("width.asc");
    const double link_count = *std::max_element(links.begin(), links.end());
    ASSERT_GT(link_count, 1);
    const std::size_t lines_end = result.output.find("writing", table);
    EXPECT_EQ(std::count(result.output.begin() + table + header.size(), result.output.begin() + lines_end, '\n'),
              link_count);
    EXPECT_EQ(result.errors.find("[Fliesszeiten]: specific discharge 0") != std::string::npos,
              specific_discharge == "0")
        << result.errors;
    int river_cells = 0;
    for (std::size_t i = 0; i < dem.size(); ++i) {
      const bool outside = dem[i] == -9999, river = links[i] > 0 && !outside;
      river_cells += river;
      EXPECT_TRUE(std::isfinite(times[i]) && std::isfinite(depths[i]) && std::isfinite(widths[i])) << i;
      EXPECT_EQ(times[i] == -9999, outside) << i;
      EXPECT_EQ(depths[i] >= 0, river) << i;
      EXPECT_EQ(widths[i] >= 0, river) << i;
      if (river) {
        EXPECT_EQ(depths[i] > 0, specific_discharge != "0") << i;
      }
    }
    EXPECT_GT(river_cells, 0);
    for (const char* name : {"tt.asc", "depth.asc", "width.asc"})
      EXPECT_EQ(read_file(dir.file(name)).find("nan"), std::string::npos) << name;
  }
}

// Grid files of 3 x 3 cells: a direction file with a cycle (and an invalid code)
// ends its walks; the river network given for the links fails once a second link is
// found.
TEST_F(TravelTimeSection, OnGridFilesOfItsOwn) {
  write_file(dir.file("dem.asc"), text_grid(3, 3, {30, 29, 28, 25, 20, 25, 15, 10, 15}, 25));
  write_file(dir.file("slope.asc"), text_grid(3, 3, std::vector<double>(9, 0), 25));
  write_file(dir.file("acc.asc"), text_grid(3, 3, std::vector<double>(9, 100), 25));
  write_file(dir.file("cyc.asc"), text_grid(3, 3, {2, 8, 7, 128, 32, 8, 8, 8, 8}, 25));
  write_file(dir.file("dir.asc"), text_grid(3, 3, {2, 8, 16, 8, 8, 8, 8, 8, 8}, 25));
  write_file(dir.file("lnk.asc"), text_grid(3, 3, std::vector<double>(9, 12), 25));
  write_file(dir.file("net.asc"), text_grid(3, 3, std::vector<double>(9, 1), 25));
  const std::string kMandatory = testing::kMandatorySections;
  const auto files = [](const char* directions, const char* links) {
    return std::string("dem.asc\nslope.asc\n") + directions + "\nacc.asc\n" + links + "\n";
  };

  auto result = run(kMandatory + travel_times("20", files("cyc.asc", "lnk.asc")));
  ASSERT_EQ(result.exit_code, 0) << result.output;
  EXPECT_NE(result.output.find("flowdirections form a cycle through cell"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("flowdirection 7 in cell 1, 3 is not a valid code"), std::string::npos);
  for (double time : values("tt.asc")) EXPECT_TRUE(time > 0 && std::isfinite(time));

  result = run(kMandatory + travel_times("20", files("dir.asc", "net.asc")));
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.output.find("Error! the input grid containing the river network should be the river link grid\n"
                               "(or another grid containing at least as much zones as there are river channels)\n"),
            std::string::npos)
      << result.output;
}

}  // namespace
}  // namespace orograd

// [Flowdirection] and [Flowaccumulation] through the real binary.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/test_support.hpp"

namespace orograd {
namespace {

using testing::grid_values;
using testing::run_binary;
using testing::TempDir;
using testing::text_grid;
using testing::write_file;

const std::string& kMandatory = testing::kMandatorySections;

std::string elevation_model(const std::string& file) { return "[Hoehenmodell]\n1\n" + file + "\n" + kMandatory; }

std::string flow_direction_section(int switch_value) {
  return "[Flowdirection]\n" + std::to_string(switch_value) + "\ndir.asc\nsinks.asc\nfilled.asc\n";
}

std::string flow_accumulation_section(const std::string& directions, int threshold) {
  return "[Flowaccumulation]\n1\nacc.asc\n" + directions + "\n" + std::to_string(threshold) + "\n";
}

// The console text from the first direction pass to the end of the run.
std::string from_first_pass(const std::string& output) {
  const auto start = output.find("calculating flow directions");
  return start == std::string::npos ? "" : output.substr(start);
}

const std::vector<double> kPitInRing{0, 0, 0, 0, 0,       //
                                     0, 3, 2, 3, 0,       //
                                     0, 3, 1.0004, 3, 0,  //
                                     0, 3, 3, 3, 0,       //
                                     0, 0, 0, 0, 0};

TEST(FlowSections, FillADepressionAndCountUpstreamCells) {
  TempDir dir;
  write_file(dir.file("dem.asc"), text_grid(5, 5, kPitInRing));
  write_file(dir.file("run.ctl"), elevation_model("dem.asc") + flow_direction_section(1) +
                                      flow_accumulation_section("dir.asc", 0));
  const auto result = run_binary(dir.path().string(), {"run.ctl"});
  ASSERT_EQ(result.exit_code, 0) << result.output;
  EXPECT_EQ(from_first_pass(result.output),
            "calculating flow directions: run 1 \n.\n1 Sinks; filling sinks: run 1\n"
            "calculating flow directions: run 2 \n.\n0 Sinks; filling sinks: run 2\n"
            "0 emptying plains: run 1\n"
            "writing dir.asc ..ready.\nwriting sinks.asc ..ready.\nwriting filled.asc ..ready.\n"
            "Flowaccumulation\n\nwriting acc.asc ..ready.\n[Einzugsgebiete] not found in run.$$$\n");
  // The accumulation took the directions from memory: no grid was read after the DEM.
  EXPECT_EQ(result.output.find("reading grid dir.asc"), std::string::npos);
  EXPECT_EQ(grid_values(dir.file("dir.asc")), (std::vector<double>{128, 128, 128, 128, 128,  //
                                                                   32, 32, 128, 2, 2,         //
                                                                   32, 32, 128, 2, 2,         //
                                                                   32, 8, 8, 2, 2,            //
                                                                   8, 8, 8, 8, 8}));
  // The pit, rounded to 1.0, was raised to its outlet at 2.0; its label stays.
  std::vector<double> filled = kPitInRing;
  filled[12] = 2;
  EXPECT_EQ(grid_values(dir.file("filled.asc")), filled);
  std::vector<double> sinks(25, -9999);
  sinks[12] = 2;
  EXPECT_EQ(grid_values(dir.file("sinks.asc")), sinks);
  EXPECT_EQ(grid_values(dir.file("acc.asc")), (std::vector<double>{1, 1, 3, 1, 1,  //
                                                                   2, 1, 2, 1, 2,  //
                                                                   2, 1, 1, 1, 2,  //
                                                                   1, 1, 1, 1, 2,  //
                                                                   1, 2, 2, 1, 1}));
}

TEST(FlowSections, OffOrWithoutElevationModel) {
  TempDir dir;
  write_file(dir.file("off.ctl"), kMandatory + flow_direction_section(0));
  auto result = run_binary(dir.path().string(), {"off.ctl"});
  EXPECT_EQ(result.exit_code, 0) << result.output;
  EXPECT_EQ(from_first_pass(result.output), "");

  write_file(dir.file("run.ctl"), kMandatory + flow_direction_section(1));
  result = run_binary(dir.path().string(), {"run.ctl"});
  EXPECT_EQ(result.exit_code, 100);
  EXPECT_NE(result.output.find("Error! for calculating the flow directions a digital elevation model has to be "
                               "read in.\n"),
            std::string::npos);
}

// A pit exactly 0.001 deep under its only lower neighbour, with four neighbours: the
// run that counts 0 raises it, so one more run must follow, and the accumulation ends.
TEST(FlowSections, AnUncountedRaiseLeavesNoCycle) {
  TempDir dir;
  std::vector<double> dem(25, 9.0);
  dem[7] = 1.001;
  dem[12] = 1.0;
  write_file(dir.file("dem.asc"), text_grid(5, 5, dem));
  write_file(dir.file("run.ctl"), elevation_model("dem.asc") + flow_direction_section(2) +
                                      flow_accumulation_section("dir.asc", 100));
  const auto result = run_binary(dir.path().string(), {"run.ctl"});
  ASSERT_EQ(result.exit_code, 0) << result.output;
  EXPECT_NE(result.output.find("0 Sinks; filling sinks: run 1\n"), std::string::npos);
  EXPECT_NE(result.output.find("0 Sinks; filling sinks: run 3\n0 emptying plains"), std::string::npos);
  EXPECT_EQ(result.output.find("cycle"), std::string::npos) << result.output;
  for (double code : grid_values(dir.file("dir.asc"))) EXPECT_TRUE(code == 2 || code == 8 || code == 32 || code == 128);
  for (double count : grid_values(dir.file("acc.asc"))) {
    EXPECT_GE(count, 1);
    EXPECT_LE(count, 25);
  }
}

// Directions read from a file: accumulation does not depend on the threshold, and a
// file with a cycle and an invalid code still ends, with messages.
TEST(FlowSections, AccumulationOfADirectionFile) {
  TempDir dir;
  write_file(dir.file("chain.asc"), text_grid(5, 1, {2, 2, 2, 2, 2}));
  for (int threshold : {-1, 0, 2, 1000}) {
    write_file(dir.file("run.ctl"), kMandatory + flow_accumulation_section("chain.asc", threshold));
    const auto result = run_binary(dir.path().string(), {"run.ctl"});
    ASSERT_EQ(result.exit_code, 0) << result.output;
    EXPECT_NE(result.output.find("reading (first) grid chain.asc..\n"), std::string::npos);
    EXPECT_EQ(grid_values(dir.file("acc.asc")), (std::vector<double>{1, 2, 3, 4, 5})) << threshold;
  }
  write_file(dir.file("broken.asc"), text_grid(4, 1, {2, 32, 7, -9999}));
  write_file(dir.file("run.ctl"), kMandatory + flow_accumulation_section("broken.asc", 5));
  const auto result = run_binary(dir.path().string(), {"run.ctl"});
  ASSERT_EQ(result.exit_code, 0) << result.output;
  EXPECT_NE(result.output.find("flowdirection 7 in cell 1, 3 is not a valid code; flow paths end there\n"),
            std::string::npos);
  EXPECT_NE(result.output.find("flowdirections form a cycle through cell 1, 2; flow paths end there\n"),
            std::string::npos);
  EXPECT_EQ(grid_values(dir.file("acc.asc")), (std::vector<double>{1, 2, 1, -9999}));
}

// A fractal model with a nodata margin: every cell with data gets a code, and the
// accumulation reports no cell without direction.
TEST(FlowSections, FractalTerrainDrainsCompletely) {
  TempDir dir;
  const std::string command = std::string(OROGRAD_TERRAIN_TOOL) + " 60 50 " + dir.file("dem.asc") + " 3 4 > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (int switch_value : {1, 2}) {
    write_file(dir.file("run.ctl"), elevation_model("dem.asc") + flow_direction_section(switch_value) +
                                        flow_accumulation_section("dir.asc", 50));
    const auto result = run_binary(dir.path().string(), {"run.ctl"});
    ASSERT_EQ(result.exit_code, 0) << result.output;
    EXPECT_EQ(result.output.find("flowdirection"), std::string::npos);
    const std::vector<double> dem = grid_values(dir.file("dem.asc"));
    const std::vector<double> codes = grid_values(dir.file("dir.asc"));
    const std::vector<double> counts = grid_values(dir.file("acc.asc"));
    ASSERT_EQ(codes.size(), dem.size());
    for (std::size_t i = 0; i < codes.size(); ++i) {
      EXPECT_EQ(codes[i] == -9999, dem[i] == -9999) << i;
      EXPECT_NE(codes[i], 0) << i;
      EXPECT_EQ(counts[i] == -9999, dem[i] == -9999) << i;
    }
  }
}

}  // namespace
}  // namespace orograd

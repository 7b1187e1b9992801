// [Flussnetz], [Flussordnungen], [Fliesskorrektur] and [Flusseparation] through the
// real binary: results taken from memory equal results read from files.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "support/test_support.hpp"

namespace orograd {
namespace {

using testing::grid_values;
using testing::run_binary;
using testing::TempDir;
using testing::text_grid;
using testing::write_file;

const std::string& kMandatory = testing::kMandatorySections;

// Directions, accumulation, network, orders and links of a fractal DEM, each section
// naming the outputs of the one before.
const std::string kRiverChain = "[Hoehenmodell]\n1\ndem.asc\n" + kMandatory +
                                "[Flowdirection]\n1\ndir.asc\nsinks.asc\nfilled.asc\n"
                                "[Flowaccumulation]\n1\nacc.asc\ndir.asc\n20\n"
                                "[Flussnetz]\n1\nnet.asc\nacc.asc\n20\n"
                                "[Flussordnungen]\n1\nord.asc\nlnk.asc\nnet.asc\ndir.asc\n";

std::string correction(const std::string& runs) {
  return "[Fliesskorrektur]\n1\ncord.asc\nclnk.asc\ncdir.asc\ncacc.asc\n20\ndem.asc\nord.asc\ndir.asc\nacc.asc\n"
         "net.asc\n" +
         runs;
}

std::string separation(int lowest, int highest) {
  return "[Flusseparation]\n1\nsep\n" + std::to_string(lowest) + "\n" + std::to_string(highest) +
         "\nord.asc\nlnk.asc\ndir.asc\n";
}

class RiverSections : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string command =
        std::string(OROGRAD_TERRAIN_TOOL) + " 60 50 " + dir.file("dem.asc") + " 5 3 > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }
  testing::RunResult run(const std::string& control) {
    write_file(dir.file("run.ctl"), control);
    return run_binary(dir.path().string(), {"run.ctl"});
  }
  std::vector<double> values(const std::string& name) { return grid_values(dir.file(name)); }
  bool exists(const std::string& name) { return std::filesystem::exists(dir.file(name)); }

  TempDir dir;
};

// The chain in one run reads nothing after the DEM; [Fliesskorrektur] without runs
// writes the directions as [Flussordnungen] redirected them in memory. The same
// section in a run of its own reads every input and numbers the links on its own,
// with the same results.
TEST_F(RiverSections, MemoryAndFilesGiveTheSameResults) {
  auto result = run(kRiverChain + correction("0\n") + separation(1, 30));
  ASSERT_EQ(result.exit_code, 0) << result.output;
  EXPECT_EQ(result.output.find("reading (first) grid", result.output.find("grid dem.asc")), std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("M"), std::string::npos);
  const std::vector<double> network = values("net.asc"), directions = values("dir.asc"),
                            redirected = values("cdir.asc");
  int turned = 0;
  for (std::size_t i = 0; i < directions.size(); ++i)
    if (redirected[i] != directions[i]) {
      ++turned;
      EXPECT_EQ(network[i], -9999) << "a river cell was turned: " << i;
      EXPECT_NE(directions[i], -9999) << "a cell without data was turned: " << i;
    }
  EXPECT_GT(turned, 0);
  EXPECT_EQ(values("clnk.asc"), values("lnk.asc"));
  EXPECT_EQ(values("cord.asc"), values("ord.asc"));
  const std::vector<double> after_order_zero = values("cdir.asc");
  ASSERT_EQ(run(kRiverChain + correction("0\n")).exit_code, 0);
  EXPECT_EQ(after_order_zero, values("cdir.asc"));

  // Orders above the highest present print their line and write nothing.
  double highest = 0;
  for (double order : values("ord.asc")) highest = std::max(highest, order);
  ASSERT_GE(highest, 3);
  const int last = static_cast<int>(highest);
  const std::string last_name = last < 10 ? "sep0" + std::to_string(last) : "sep" + std::to_string(last);
  EXPECT_TRUE(exists("sep01") && exists(last_name));
  EXPECT_FALSE(exists(last < 10 ? "sep0" + std::to_string(last + 1) : "sep" + std::to_string(last + 1)));
  EXPECT_NE(result.output.find("separating rivers of stream order 30 and higher..\n"), std::string::npos);
  std::vector<std::string> results{"cord.asc", "clnk.asc", "cdir.asc", "cacc.asc"};
  for (int order = 1; order <= last; ++order)
    results.push_back(std::string(order < 10 ? "sep0" : "sep") + std::to_string(order));
  std::map<std::string, std::vector<double>> from_memory;
  for (const std::string& name : results) from_memory[name] = values(name);

  result = run(kMandatory + correction("0\n") + separation(1, last));
  ASSERT_EQ(result.exit_code, 0) << result.output;
  for (const char* name : {"dem.asc", "ord.asc", "dir.asc", "acc.asc", "net.asc", "lnk.asc"})
    EXPECT_NE(result.output.find(std::string("grid ") + name + ".."), std::string::npos) << name;
  for (const std::string& name : results) EXPECT_EQ(values(name), from_memory[name]) << name;
}

// A run of order 0 warns and changes nothing; a run count beyond the lines given stops
// at the end of the control file; the threshold's line is not skipped, so a comment
// after it would be taken as the elevation file.
TEST_F(RiverSections, CorrectionRunsAsListed) {
  auto result = run(kRiverChain + correction("5\n0\n"));
  ASSERT_EQ(result.exit_code, 0) << result.output;
  EXPECT_NE(result.output.find("stream order 0 read from run.$$$ is t small\n\ncorrection of flow direction: run "
                               "1, streams of order 0\nFlowaccumulation\n"),
            std::string::npos);
  EXPECT_EQ(result.output.find("run 2,"), std::string::npos);
  EXPECT_NE(result.errors.find("lists 5 correction runs, but the control file ends after 1 of them"),
            std::string::npos)
      << result.errors;
  const std::vector<double> after_order_zero = values("cdir.asc");
  ASSERT_EQ(run(kRiverChain + correction("0\n")).exit_code, 0);
  EXPECT_EQ(after_order_zero, values("cdir.asc"));

  std::string control = kRiverChain + correction("0\n");
  control.replace(control.find("cacc.asc\n20\n"), 12, "cacc.asc\n20 cells\n");
  result = run(control);
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_NE(result.output.find("error opening grid cells\n"), std::string::npos) << result.output;
}

// Orders up to the largest int: the counter must not wrap around.
TEST_F(RiverSections, SeparationUpToTheLargestInt) {
  const auto result = run(kRiverChain + separation(2147483647, 2147483647));
  ASSERT_EQ(result.exit_code, 0) << result.output;
  EXPECT_NE(result.output.find("separating rivers of stream order 2147483647 and higher..\n"), std::string::npos);
}

// A direction file with a cycle through river cells and an invalid code: every river
// section ends, with the messages of the path check.
TEST_F(RiverSections, DirectionFilesWithCyclesEnd) {
  write_file(dir.file("cyc.asc"), text_grid(4, 3, {2, 8, 8, 8,  //
                                                   128, 32, 7, 8,  //
                                                   2, 2, 2, 8}));
  write_file(dir.file("all.asc"), text_grid(4, 3, std::vector<double>(12, 1)));
  write_file(dir.file("acc1.asc"), text_grid(4, 3, std::vector<double>(12, 100)));
  const auto result = run(kMandatory + "[Flussordnungen]\n1\nord.asc\nlnk.asc\nall.asc\ncyc.asc\n" +
                          "[Fliesskorrektur]\n1\ncord.asc\nclnk.asc\ncdir.asc\ncacc.asc\n0\nall.asc\nord.asc\n"
                          "cyc.asc\nacc1.asc\nall.asc\n1\n1\n" +
                          "[Flusseparation]\n1\nsep\n1\n3\nord.asc\nlnk.asc\ncyc.asc\n");
  ASSERT_EQ(result.exit_code, 0) << result.output;
  EXPECT_NE(result.output.find("flowdirections form a cycle through cell 2, 1; flow paths end there\n"),
            std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("flowdirection 7 in cell 2, 3 is not a valid code"), std::string::npos);
  for (double link : values("lnk.asc")) EXPECT_GT(link, 0);
  EXPECT_TRUE(exists("sep01"));
}

}  // namespace
}  // namespace orograd

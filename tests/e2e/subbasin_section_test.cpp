// [Einzugsgebiete] through the real binary on small grid files: its failures and
// guards.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.hpp"

namespace orograd {
namespace {

using testing::read_file;
using testing::run_binary;
using testing::TempDir;
using testing::text_grid;
using testing::write_file;

// A river along row 2 flowing east off the grid, fed from rows 1 and 3; 25 m cells.
class SubbasinSection : public ::testing::Test {
 protected:
  void SetUp() override {
    write_file(dir.file("dem.asc"), text_grid(4, 3, {9, 8, 7, 6, 8, 7, 6, 5, 9, 8, 7, 6}, 25));
    write_file(dir.file("acc.asc"), text_grid(4, 3, {1, 1, 1, 1, 2, 5, 8, 11, 1, 1, 1, 1}, 25));
    write_file(dir.file("dir.asc"), text_grid(4, 3, {8, 4, 4, 4, 2, 2, 2, 2, 1, 1, 1, 128}, 25));
    write_file(dir.file("tt.asc"), text_grid(4, 3, std::vector<double>(12, 250), 25));
    pour_points({-9999, -9999, -9999, -9999, -9999, 2, -9999, 1, -9999, -9999, -9999, -9999});
  }
  void pour_points(const std::vector<double>& codes) { write_file(dir.file("pp.asc"), text_grid(4, 3, codes, 25)); }
  testing::RunResult run(const std::string& specific_discharge, const std::string& structure,
                         const std::string& directions = "dir.asc") {
    write_file(dir.file("run.ctl"), testing::kMandatorySections + "[Einzugsgebiete]\n1\n30\n" + specific_discharge +
                                        "\ndem.asc\nacc.asc\n" + directions + "\ntt.asc\n1\npp.asc\nsub.asc\nft.asc\n"
                                        "reach.asc\n" + structure + "\n");
    return run_binary(dir.path().string(), {"run.ctl"});
  }
  bool exists(const std::string& name) { return std::filesystem::exists(dir.file(name)); }

  TempDir dir;
};

// Subbasin 2 drains into 1. Without discharge its channel has no depth or width, and
// nothing that is not a number reaches the table or the structure file.
TEST_F(SubbasinSection, NoDischargeLeavesNoNaN) {
  const auto result = run("0", "structure.txt");
  ASSERT_EQ(result.exit_code, 0) << result.output;
  EXPECT_NE(result.errors.find("[Einzugsgebiete]"), std::string::npos) << result.errors;
  const std::string structure = read_file(dir.file("structure.txt"));
  EXPECT_EQ(structure.rfind("TG 1 (AE=", 0), 0u) << structure;
  EXPECT_NE(structure.find("from OL  2 (kh=0.1, kv=0.4, Bh= 0.0, Bv=  0.0, Th= 0.00"), std::string::npos)
      << structure;
  EXPECT_EQ((result.output + structure).find("nan"), std::string::npos);
}

TEST_F(SubbasinSection, AStructureFileThatCannotBeOpenedEndsTheRun) {
  const auto result = run("20", "missing/structure.txt");
  EXPECT_EQ(result.exit_code, 3);
  EXPECT_NE(result.output.find("Strukturdatei missing/structure.txt kann nicht geoeffnet werden\n"),
            std::string::npos);
  EXPECT_TRUE(exists("sub.asc") && exists("ft.asc"));
  EXPECT_FALSE(exists("reach.asc"));
}

TEST_F(SubbasinSection, APourCodeBelowOneEndsTheRunNamingItsCell) {
  pour_points({-9999, -9999, -9999, -9999, -9999, 0.5, -9999, 1, -9999, -9999, -9999, -9999});
  const auto result = run("20", "structure.txt");
  EXPECT_EQ(result.exit_code, 19);
  EXPECT_NE(result.output.find("subbasin codes (in pourpoint grid) has to be less than or at least equal to 500000\n"),
            std::string::npos);
  EXPECT_NE(result.errors.find("code 0.5 in cell 2, 2"), std::string::npos) << result.errors;
}

// Directions that lead in a circle: delineation, flow times and routing all end.
TEST_F(SubbasinSection, DirectionsWithACycleEnd) {
  write_file(dir.file("cyc.asc"), text_grid(4, 3, {8, 4, 4, 4, 2, 2, 2, 32, 1, 1, 1, 128}, 25));
  const auto result = run("20", "structure.txt", "cyc.asc");
  ASSERT_EQ(result.exit_code, 0) << result.output;
  EXPECT_NE(result.output.find("flowdirections form a cycle through cell 2, 4"), std::string::npos) << result.output;
  EXPECT_TRUE(exists("reach.asc"));
}

}  // namespace
}  // namespace orograd

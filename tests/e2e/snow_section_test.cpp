// The real binary on [SnowRedistribution].
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

const std::string kOutputs = "[Gefaelle]\n0\n[Profilcurvature]\n0\n[Plancurvature]\n0\n[Curvature]\n0\n";
const std::string kSnow = "[SnowRedistribution]\n1\nnorth.asc\nwest.asc\neast.asc\nsouth.asc\ncol.asc\nrow.asc\n";
const std::string kHeader = "ncols\t3\nnrows\t2\nxllcorner\t0\nyllcorner\t0\ncellsize\t1\nnodata_value\t-9999\n";

TEST(SnowRedistributionSection, WritesTheSharesAndTheElevationOrder) {
  TempDir dir;
  // Falls toward north; the nodata cell is nodata in all six grids.
  write_file(dir.file("dem.asc"), text_grid(3, 2, {1, 2, -9999, 4, 3, 5}));
  write_file(dir.file("run.ctl"),
             "[Hoehenmodell]\n1\ndem.asc\n[Aspect]\n1\naspect.asc\n" + kOutputs + "[SnowRedistribution]\n1\n"
             "north.asc\nwest.asc\neast.asc\nsouth.asc\ncol.asc\nrow.asc\n");
  const auto result = run_binary(dir.path().string(), {"run.ctl"});
  ASSERT_EQ(result.exit_code, 0) << result.output;
  const std::size_t first = result.output.find("writing north.asc ..ready.\n");
  ASSERT_NE(first, std::string::npos) << result.output;
  EXPECT_NE(result.output.find("writing row.asc ..ready.\n", first), std::string::npos);
  // Ascending elevations 1, 2, 3, 4, 5 lie at (1,1), (1,2), (2,2), (2,1), (2,3).
  EXPECT_EQ(read_file(dir.file("col.asc")), kHeader + "1\t2\t-9999\n2\t1\t3\n");
  EXPECT_EQ(read_file(dir.file("row.asc")), kHeader + "1\t1\t-9999\n2\t2\t2\n");
  const std::string north = read_file(dir.file("north.asc"));
  EXPECT_EQ(north.substr(kHeader.size()).find("-9999"), 4u) << north;
}

TEST(SnowRedistributionSection, NeedsTheElevationModelAndTheAspect) {
  TempDir dir;
  write_file(dir.file("dem.asc"), text_grid(3, 2, {1, 2, 3, 4, 3, 5}));
  write_file(dir.file("run.ctl"), "[Aspect]\n1\naspect.asc\n" + kOutputs + kSnow);
  auto result = run_binary(dir.path().string(), {"run.ctl"});
  EXPECT_EQ(result.exit_code, 100);
  EXPECT_NE(result.output.find("Error! for calculating snow redistribution grids, a digital elevation model has to be "
                               "read in.\n"),
            std::string::npos)
      << result.output;

  write_file(dir.file("run.ctl"), "[Hoehenmodell]\n1\ndem.asc\n[Aspect]\n0\n" + kOutputs + kSnow);
  result = run_binary(dir.path().string(), {"run.ctl"});
  EXPECT_EQ(result.exit_code, 100);
  EXPECT_NE(result.output.find("Error! for calculating snow redistribution grids, exposition (aspect) calculation "
                               "must be switched on.\n"),
            std::string::npos)
      << result.output;
  EXPECT_FALSE(std::filesystem::exists(dir.file("north.asc")));
}

TEST(SnowRedistributionSection, SwitchedOffDoesNothing) {
  TempDir dir;
  write_file(dir.file("run.ctl"), "[Aspect]\n0\n" + kOutputs + "[SnowRedistribution]\n0\nnorth.asc\n");
  const auto result = run_binary(dir.path().string(), {"run.ctl"});
  EXPECT_EQ(result.exit_code, 0) << result.output;
  EXPECT_EQ(result.output.find("Error!"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.file("north.asc")));
}

}  // namespace
}  // namespace orograd

// The real binary replaces its outputs only when complete: a write that fails part way
// (a file-size limit standing in for a full disk) leaves the previous file and no
// temporary, with the usual console line and exit code.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "grid/gdal_raster.hpp"
#include "support/test_support.hpp"

namespace orograd {
namespace {

using testing::read_file;
using testing::run_binary;
using testing::TempDir;
using testing::write_file;

// A DEM whose slope grid is tens of kilobytes in every format, compressed or not.
std::string rough_dem() {
  std::mt19937_64 random(7);
  std::vector<double> heights(60 * 60);
  for (double& h : heights) h = std::uniform_real_distribution<double>(100, 900)(random);
  return testing::text_grid(60, 60, heights, 25);
}

std::string slope_run(const std::string& output) {
  return "[Hoehenmodell]\n1\ndem.asc\n[Aspect]\n0\n[Gefaelle]\n1\n" + output +
         "\n[Profilcurvature]\n0\n[Plancurvature]\n0\n[Curvature]\n0\n";
}

bool holds_temporaries(const std::filesystem::path& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().filename().string().find(".orograd-") != std::string::npos) return true;
  return false;
}

TEST(AtomicOutputs, AFailedWriteKeepsThePreviousFile) {
  struct Case {
    std::string file;  // the output that fails, holding "previous" before the run
    std::string format;
    long limit;
    int exit_code;
    std::string last_line;
    std::string reason;
  };
  std::vector<Case> cases = {
      {"slope.asc", "-f:t", 4096, 10, "writing slope.asc ..error writing in slope.asc\n",
       "orograd: cannot write slope.asc: File too large\n"},
      {"slope.dbl", "-f:d", 4096, 10, "writing slope.dbl ..error writing in slope.dbl\n",
       "orograd: cannot write slope.dbl: File too large\n"},
      {"slope.flt", "-f:s", 4096, 10, "writing slope.flt ..error writing in slope.flt\n",
       "orograd: cannot write slope.flt: File too large\n"},
      {"run.$$$", "-f:t", 64, 11, "error closing run.$$$\n", "orograd: cannot write run.$$$: File too large\n"},
  };
  if (gdal_support()) cases.push_back({"slope.tif", "-f:d", 4096, 10, "writing slope.tif ..error writing in slope.tif\n", ""});
  for (const Case& c : cases) {
    TempDir dir;
    write_file(dir.file("dem.asc"), rough_dem());
    write_file(dir.file("run.ctl"), slope_run(c.file == "run.$$$" ? "slope.asc" : c.file));
    write_file(dir.file(c.file), "previous");
    const auto result = run_binary(dir.path().string(), {"run.ctl", c.format}, c.limit);
    EXPECT_EQ(result.exit_code, c.exit_code) << c.file << "\n" << result.output;
    EXPECT_TRUE(result.output.ends_with(c.last_line)) << c.file << "\n" << result.output;
    if (!c.reason.empty()) {
      EXPECT_EQ(result.errors, c.reason) << c.file;
    }
    EXPECT_EQ(read_file(dir.file(c.file)), "previous") << c.file;
    EXPECT_FALSE(holds_temporaries(dir.path())) << c.file;
  }
}

TEST(AtomicOutputs, ASuccessfulRunReplacesOutputsAndLeavesNoTemporary) {
  TempDir dir;
  write_file(dir.file("dem.asc"), rough_dem());
  write_file(dir.file("run.ctl"), slope_run("slope.dbl"));
  write_file(dir.file("slope.dbl"), "previous");
  write_file(dir.file("slope.dbl.hdr"), "previous");
  const auto result = run_binary(dir.path().string(), {"run.ctl", "-f:d"});
  ASSERT_EQ(result.exit_code, 0) << result.output;
  EXPECT_EQ(read_file(dir.file("slope.dbl")).size(), 96u + 8 * 60 * 60);
  EXPECT_EQ(read_file(dir.file("slope.dbl.hdr")).substr(0, 5), "ENVI\n");
  EXPECT_FALSE(holds_temporaries(dir.path()));
}

}  // namespace
}  // namespace orograd

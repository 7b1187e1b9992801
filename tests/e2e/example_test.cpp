// The bundled example: every section of a typical run, from the elevation model to
// the subbasins of the bundled pour points.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/test_support.hpp"

namespace orograd {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::run_binary;
using testing::TempDir;

class Example : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    const fs::path examples = fs::path(OROGRAD_SOURCE_DIR) / "examples";
    for (const char* name : {"example.ctl", "olinda_dem_90m.asc", "olinda_pour_points.asc"})
      fs::copy_file(examples / name, dir_->path() / name);
    fs::create_directory(dir_->path() / "output");
    result_ = new testing::RunResult(run_binary(dir_->path().string(), {"example.ctl"}));
  }
  static void TearDownTestSuite() {
    delete result_;
    delete dir_;
  }
  static std::string output(const std::string& name) { return read_file((dir_->path() / "output" / name).string()); }

  static TempDir* dir_;
  static testing::RunResult* result_;
};

TempDir* Example::dir_ = nullptr;
testing::RunResult* Example::result_ = nullptr;

TEST_F(Example, RunsEverySectionToTheEnd) {
  ASSERT_EQ(result_->exit_code, 0) << result_->output;
  const std::string& out = result_->output;
  // Each section's mark, in the order of the run.
  std::size_t at = 0;
  for (const char* mark : {"writing output/slope.asc", "writing output/flowdirection.asc", "Flowaccumulation\n",
                           "writing output/rivers.asc", "M", "correction of flow direction: run 2, streams of order 2",
                           "separating rivers of stream order 4 and higher..", "hmin hmax accmin accmax laenge",
                           "Pourpoints from olinda_pour_points.asc\n", "TG   UL   FZTSUM  FZT_in_h",
                           "writing output/routing_reaches.asc ..ready.\n"}) {
    const std::size_t found = out.find(mark, at);
    ASSERT_NE(found, std::string::npos) << mark;
    at = found;
  }
  EXPECT_EQ(out.find("not found"), std::string::npos);
  EXPECT_EQ(out.find("nan"), std::string::npos);
  EXPECT_EQ(result_->errors, "");
}

// The pour points: 4 drains into 3, 3 into 2, and 2 and the tributary 5 into 1.
TEST_F(Example, StructureFileListsTributariesBeforeTheirReceivers) {
  ASSERT_EQ(result_->exit_code, 0);
  const std::string structure = output("structure.txt");
  const std::size_t tg3 = structure.find("TG 3 ("), tg2 = structure.find("TG 2 ("), tg1 = structure.find("TG 1 (");
  ASSERT_NE(tg1, std::string::npos) << structure;
  EXPECT_LT(tg3, tg2);
  EXPECT_LT(tg2, tg1);
  EXPECT_NE(structure.find(" from OL  4 (", tg3), std::string::npos);
  EXPECT_NE(structure.find("\n  and OL  2 (", tg1), std::string::npos);
}

// Every grid the example writes opens in GDAL, where GDAL's tools are installed.
TEST_F(Example, GridsOpenInGdal) {
  if (std::system("command -v gdalinfo > /dev/null 2>&1") != 0) GTEST_SKIP() << "gdalinfo not installed";
  ASSERT_EQ(result_->exit_code, 0);
  int grids = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir_->path() / "output")) {
    if (entry.path().filename() == "structure.txt") continue;
    const std::string command = "gdalinfo '" + entry.path().string() + "' > /dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << entry.path();
    ++grids;
  }
  EXPECT_GE(grids, 35);
}

}  // namespace
}  // namespace orograd

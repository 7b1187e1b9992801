// The real binary: banner, usage, preprocessing failures and their exit codes.
#include <gtest/gtest.h>

#include "support/test_support.hpp"

namespace orograd {
namespace {

using testing::read_file;
using testing::run_binary;
using testing::TempDir;
using testing::write_file;

const std::string kBanner = "Topographic Analysis of digital elevation Data\n";
const std::string& kMandatory = testing::kMandatorySections;

TEST(Binary, UsageAndExitCodeWithoutArguments) {
  TempDir dir;
  const auto result = run_binary(dir.path().string(), {});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.output.rfind(kBanner + "\nusage: orograd <control-file> [-f:t|s|d]\n\n-f:t|s|d output format", 0), 0u)
      << result.output;
}

TEST(Binary, RunsAMinimalControlFileAndLeavesThePreprocessedFile) {
  TempDir dir;
  write_file(dir.file("run.ctl"), "# minimal run\n$set $off = 0\n" + kMandatory);
  const auto result = run_binary(dir.path().string(), {"run.ctl"});
  EXPECT_EQ(result.exit_code, 0) << result.output;
  EXPECT_EQ(result.output.substr(0, kBanner.size() + 5), kBanner + "file ");
  EXPECT_EQ(read_file(dir.file("run.$$$")), kMandatory);
}

TEST(Binary, PreprocessorFailuresEndTheRun) {
  TempDir dir;
  auto result = run_binary(dir.path().string(), {"missing.ctl"});
  EXPECT_EQ(result.exit_code, 28);
  EXPECT_NE(result.output.find("error opening missing.ctl\n"), std::string::npos);
  EXPECT_EQ(result.errors, "orograd: cannot read missing.ctl: No such file or directory (names are relative to the "
                           "folder the program runs in; is the name right?)\n");

  write_file(dir.file("bad.ctl"), kMandatory + "$undefined\n");
  result = run_binary(dir.path().string(), {"bad.ctl"});
  EXPECT_EQ(result.exit_code, 17);
  EXPECT_NE(result.output.find("undefied symbol at line 11:\n$undefined\n"), std::string::npos);
  EXPECT_NE(result.errors.find("defined with \"$set $name = value\" on a line before their first use (line 11)"),
            std::string::npos)
      << result.errors;
}

TEST(Binary, TheSecondArgumentChoosesTheFormatOfEveryGridWritten) {
  TempDir dir;
  write_file(dir.file("dem.asc"), testing::text_grid(3, 2, {1, 2, 3, 4, 5, 6}));
  write_file(dir.file("run.ctl"),
             "[Hoehenmodell]\n1\ndem.asc\n[Aspect]\n0\n[Gefaelle]\n1\nslope\n[Profilcurvature]\n0\n"
             "[Plancurvature]\n0\n[Curvature]\n1\ncurvature\n");
  for (auto [format, bytes] : {std::pair{"-f:d", 96 + 8 * 6}, {"-f:s", 48 + 4 * 6}, {"-f:x", 0}, {"-g:s", 0}}) {
    const auto result = run_binary(dir.path().string(), {"run.ctl", format});
    ASSERT_EQ(result.exit_code, 0) << result.output;
    for (const char* grid : {"slope", "curvature"}) {
      const std::string contents = read_file(dir.file(grid));
      if (bytes == 0)
        EXPECT_EQ(contents.substr(0, 6), "ncols\t") << format;
      else
        EXPECT_EQ(contents.size(), static_cast<std::size_t>(bytes)) << format;
    }
  }
}

TEST(Binary, AnOutputInAMissingFolderSaysWhichFolder) {
  TempDir dir;
  write_file(dir.file("dem.asc"), testing::text_grid(3, 2, {1, 2, 3, 4, 5, 6}));
  write_file(dir.file("run.ctl"),
             "[Hoehenmodell]\n1\ndem.asc\n[Aspect]\n0\n[Gefaelle]\n1\nout/slope.asc\n[Profilcurvature]\n0\n"
             "[Plancurvature]\n0\n[Curvature]\n0\n");
  const auto result = run_binary(dir.path().string(), {"run.ctl"});
  EXPECT_EQ(result.exit_code, 4);
  const std::string last_line = "writing out/slope.asc ..error opening out/slope.asc \n";
  EXPECT_TRUE(result.output.ends_with(last_line)) << result.output;
  EXPECT_EQ(result.errors,
            "orograd: cannot write out/slope.asc: No such file or directory (does the folder out/ exist?)\n");
}

TEST(Binary, AMissingMandatorySectionIsNamed) {
  TempDir dir;
  write_file(dir.file("run.ctl"), "[Aspect]\n0\n");
  const auto result = run_binary(dir.path().string(), {"run.ctl"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.output.find("key word \"[Gefaelle]\" not found in control file run.$$$\n"), std::string::npos);
  EXPECT_NE(result.errors.find("orograd: this run needs the section [Gefaelle]: add it with its switch line"),
            std::string::npos)
      << result.errors;
}

}  // namespace
}  // namespace orograd

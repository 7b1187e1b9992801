// The binary's own requests (--help, -h, --version) and the control-file check on a
// real run: warnings on standard error, standard output as it always was.
#include <gtest/gtest.h>

#include "control/section_names.hpp"
#include "support/test_support.hpp"

namespace orograd {
namespace {

using testing::run_binary;
using testing::TempDir;
using testing::write_file;

const std::string kBanner = "Topographic Analysis of digital elevation Data\n";

TEST(CommandLine, HelpListsTheUsageAndEverySectionInRunOrder) {
  TempDir dir;
  for (const char* request : {"--help", "-h"}) {
    const auto result = run_binary(dir.path().string(), {request, "ignored"});
    EXPECT_EQ(result.exit_code, 0) << request;
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(result.output.rfind("usage: orograd <control-file> [-f:t|s|d]\n", 0), 0u) << result.output;
    EXPECT_NE(result.output.find("-f:t|s|d output format for grids"), std::string::npos);
    EXPECT_NE(result.output.find("README.md"), std::string::npos);
    // Each section is searched for after the one before it, so a listing out of run
    // order misses one.
    std::size_t previous = result.output.find("\nSections");
    for (const SectionInfo& info : known_sections()) {
      const std::size_t at = result.output.find(std::string(info.name) + " ", previous);
      ASSERT_NE(at, std::string::npos) << info.name << " missing or out of run order";
      previous = at;
      const bool marked = result.output.compare(at - 2, 2, "* ") == 0;
      EXPECT_EQ(marked, info.presence == Presence::mandatory) << info.name;
    }
  }
}

TEST(CommandLine, VersionNamesTheBuild) {
  TempDir dir;
  const auto result = run_binary(dir.path().string(), {"--version"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.output.rfind(std::string("orograd ") + OROGRAD_VERSION + "\nbuild: ", 0), 0u) << result.output;
  EXPECT_NE(result.output.find(OROGRAD_SEQUENTIAL ? "sequential" : "parallel"), std::string::npos);
  EXPECT_NE(result.output.find(OROGRAD_GDAL ? ", with GDAL" : ", without GDAL"), std::string::npos);
  EXPECT_NE(result.output.find("\ncompiler: "), std::string::npos);
  EXPECT_EQ(result.output.find("Topographic"), std::string::npos);
}

// The lines every run prints first; the preprocessor's second line carries the build
// time, so it is taken from the run itself after checking its start.
std::string run_start(const std::string& output, const std::string& control_file) {
  const std::size_t second = output.find('\n') + 1;
  const std::string compiled = output.substr(second, output.find('\n', second) + 1 - second);
  EXPECT_EQ(compiled.rfind("file ..\\..\\Steuer, compiled at ", 0), 0u) << output;
  return kBanner + compiled + "compiling symbols in control file " + control_file + "\n";
}

TEST(CommandLine, ControlFileProblemsAreWarnedWithoutChangingStandardOutput) {
  TempDir dir;
  write_file(dir.file("run.ctl"),
             "[Aspect]\n0\n[Gefaelle]\n0\n[Flowaccumulaton]\n1\n[Profilcurvature]\n0\n[Plancurvature]\n0\n"
             "[Curvature]\n0\n[Aspect]\n1\n[Flowdirection]\n[Flussnetz]\n0\n");
  auto result = run_binary(dir.path().string(), {"run.ctl"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.output,
            run_start(result.output, "run.ctl") +
                "calculating local topography (Aspect, SLope usw.).. \n"
                "Sorry, horizon elevation can only be calculated, if aspect and slope are calculated, too\n"
                "warning: [Flowdirection]: an integer expected, found \"[Flussnetz]\"; the setting is left unchanged\n"
                "[Einzugsgebiete] not found in run.$$$\n");
  EXPECT_EQ(result.errors,
            "orograd: unknown section [Flowaccumulaton] in line 5 of run.$$$; did you mean [Flowaccumulation]?\n"
            "orograd: section [Aspect] appears again in line 13 of run.$$$ (first in line 1); only the first counts\n"
            "orograd: section [Flowdirection] reads the section header [Flussnetz] in line 16 of run.$$$ as a "
            "value; [Flowdirection] has too few lines\n");

  write_file(dir.file("short.ctl"), "[Aspect]\n0\n[Gefaelle]\n0\n[Profilcurvature]\n0\n");
  result = run_binary(dir.path().string(), {"short.ctl"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.output, run_start(result.output, "short.ctl") +
                               "key word \"[Plancurvature]\" not found in control file short.$$$\n");
  for (const char* missing : {"[Plancurvature] is missing", "[Curvature] is missing"})
    EXPECT_NE(result.errors.find(missing), std::string::npos) << result.errors;
}

}  // namespace
}  // namespace orograd

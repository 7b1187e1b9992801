// The command line, the output-format switch and a run through the whole sequence.
#include <gtest/gtest.h>

#include <filesystem>

#include "driver/run_sequence.hpp"
#include "support/test_support.hpp"

namespace orograd {
namespace {

using testing::TempDir;
using testing::write_file;

TEST(OutputFormatSwitch, OnlyTheLetterAfterTheColonCounts) {
  EXPECT_EQ(output_format_from_switch(nullptr), OutputFormat::text);
  EXPECT_EQ(output_format_from_switch("-f:d"), OutputFormat::double_);
  EXPECT_EQ(output_format_from_switch("-f:s"), OutputFormat::single);
  EXPECT_EQ(output_format_from_switch("x-f:sd"), OutputFormat::single);
  EXPECT_EQ(output_format_from_switch("a:d-f:"), OutputFormat::double_);  // after the first colon
  for (const char* text : {"-f:t", "-f:x", "-f:", "-g:s", "-f:D", "-f", "s"})
    EXPECT_EQ(output_format_from_switch(text), OutputFormat::text) << text;
}

TEST(RunProgram, WithoutArgumentsPrintsTheUsage) {
  Console console = Console::capturing();
  EXPECT_EQ(run_program({}, console), 1);
  EXPECT_EQ(console.captured(),
            "Topographic Analysis of digital elevation Data\n\nusage: orograd <control-file> [-f:t|s|d]\n\n"
            "-f:t|s|d output format for grids: t=text (with double precision, this is default), s=single "
            "precision, d=double precision\n");
}

TEST(RunProgram, AMissingControlFileEndsWithItsCode) {
  TempDir dir;
  Console console = Console::capturing();
  EXPECT_EQ(run_program({dir.file("none.ctl")}, console), 28);
  EXPECT_NE(console.captured().find("error opening " + dir.file("none.ctl") + "\n"), std::string::npos);
}

TEST(RunProgram, AMinimalControlFileRunsToTheEnd) {
  TempDir dir;
  write_file(dir.file("run.ctl"), "[Aspect]\n0\n[Gefaelle]\n0\n[Profilcurvature]\n0\n[Plancurvature]\n0\n[Curvature]\n0\n");
  Console console = Console::capturing();
  EXPECT_EQ(run_program({dir.file("run.ctl"), "-f:d", "ignored"}, console), 0);
  EXPECT_TRUE(std::filesystem::exists(dir.file("run.$$$")));
}

}  // namespace
}  // namespace orograd

// Finding sections and reading their values with scanf-like rules.
#include <gtest/gtest.h>

#include "control/control_file.hpp"
#include "support/test_support.hpp"

namespace orograd {
namespace {

using testing::expect_fatal;

class ControlLookup : public ::testing::Test {
 protected:
  Console console = Console::capturing();
  ControlFile make(const std::string& text) { return ControlFile("run.$$$", text, console); }
};

TEST_F(ControlLookup, FindsHeadersByExactFirstWord) {
  ControlFile control = make(
      "intro line\n[flowaccumulation]\n7\n  [Flowaccumulation] # the real one\n\n\n1 switch on, comment\n"
      "   \n  flow.asc extra words\n[Flowaccumulation]\n2\n");
  EXPECT_FALSE(control.find_section("[Flowdirection]"));
  ASSERT_TRUE(control.find_section("[Flowaccumulation]"));
  int32_t on = 0;
  std::string name;
  EXPECT_TRUE(control.read(on));
  EXPECT_TRUE(control.read_word(name));
  EXPECT_EQ(on, 1);
  EXPECT_EQ(name, "flow.asc");
  // Every lookup starts again from the top: the first section of a name counts.
  ASSERT_TRUE(control.find_section("[Flowaccumulation]"));
  EXPECT_TRUE(control.read(on));
  EXPECT_EQ(on, 1);
  EXPECT_EQ(console.captured(), "");
}

TEST_F(ControlLookup, AHeaderOnTheLastLineNeedsALineEnd) {
  EXPECT_FALSE(make("a\n[Flussnetz]").find_section("[Flussnetz]"));
  EXPECT_FALSE(make("a\n[Flussnetz] comment").find_section("[Flussnetz]"));
  EXPECT_TRUE(make("a\n[Flussnetz]\n").find_section("[Flussnetz]"));
  EXPECT_FALSE(make("").find_section("[Flussnetz]"));
}

TEST_F(ControlLookup, ReadsIntegersRealsAndWordsLikeScanf) {
  ControlFile control = make("[S]\n-12abc rest\n  +3.5e2x\n0x1p4\n 99999999999\nname with blanks\n");
  ASSERT_TRUE(control.find_section("[S]"));
  int32_t i = 0;
  double d = 0;
  int64_t big = 0;
  std::string word;
  EXPECT_TRUE(control.read(i));
  EXPECT_EQ(i, -12);
  EXPECT_TRUE(control.read(d));
  EXPECT_EQ(d, 350);
  EXPECT_TRUE(control.read(d));
  EXPECT_EQ(d, 16);
  EXPECT_TRUE(control.read(big));
  EXPECT_EQ(big, 99999999999);
  EXPECT_TRUE(control.read_word(word));
  EXPECT_EQ(word, "name");
}

TEST_F(ControlLookup, UnreadableValuesKeepTheSettingAndWarn) {
  ControlFile control = make("[Flussnetz]\nabc\n99999999999\nnext 1\n");
  ASSERT_TRUE(control.find_section("[Flussnetz]"));
  int32_t value = 5;
  EXPECT_FALSE(control.read(value));
  EXPECT_EQ(value, 5);
  EXPECT_EQ(console.captured(),
            "warning: [Flussnetz]: an integer expected, found \"abc\"; the setting is left unchanged\n");
  EXPECT_FALSE(control.read(value));  // out of the range of a 32-bit integer
  EXPECT_EQ(value, 5);
  double real = 2;
  EXPECT_FALSE(control.read(real));  // the line is consumed nonetheless
  EXPECT_EQ(real, 2);
  EXPECT_NE(console.captured().find("a number expected, found \"next 1\""), std::string::npos);
}

TEST_F(ControlLookup, ReadingStopsAtTheEndOfTheFile) {
  ControlFile control = make("[Flowdirection]\n1\n");
  ASSERT_TRUE(control.find_section("[Flowdirection]"));
  int32_t on = 0, more = 7;
  std::string word = "kept";
  EXPECT_TRUE(control.read(on));
  EXPECT_FALSE(control.read(more));
  EXPECT_FALSE(control.read_word(word));
  EXPECT_EQ(more, 7);
  EXPECT_EQ(word, "kept");
  EXPECT_NE(console.captured().find("warning: [Flowdirection]: an integer expected, but the control file ends here"),
            std::string::npos);
}

TEST_F(ControlLookup, ASectionHeaderReadAsAValueIsWarnedOnStandardError) {
  ControlFile control = make("[Flussnetz]\n1\nnet.asc\n\n [Flusseparation] 1\n0\n");
  ASSERT_TRUE(control.find_section("[Flussnetz]"));
  int32_t on = 0;
  std::string network, accumulation;
  control.read(on);
  control.read_word(network);
  EXPECT_EQ(console.captured_warnings(), "");
  EXPECT_TRUE(control.read_word(accumulation));
  EXPECT_EQ(accumulation, "[Flusseparation]");  // still read as the value
  const std::string warning =
      "orograd: section [Flussnetz] reads the section header [Flusseparation] in line 5 of run.$$$ as a value; "
      "[Flussnetz] has too few lines\n";
  EXPECT_EQ(console.captured_warnings(), warning);
  EXPECT_EQ(console.captured(), "");
  // A number read from a header warns as well, besides the warning it had before.
  ASSERT_TRUE(control.find_section("[Flussnetz]"));
  control.read(on);
  control.read_word(network);
  double threshold = 0;
  EXPECT_FALSE(control.read(threshold));
  EXPECT_NE(console.captured().find("found \"[Flusseparation] 1\""), std::string::npos);
  EXPECT_EQ(console.captured_warnings(), warning + warning);
}

TEST_F(ControlLookup, OutputRequests) {
  ControlFile control = make("[Aspect]\n1 on\naspect.asc comment\n[Gefaelle]\n0\nnot-read.asc\n");
  const OutputRequest aspect = read_output_request(control, "[Aspect]");
  EXPECT_EQ(aspect.switch_value, 1);
  EXPECT_EQ(aspect.file_name, "aspect.asc");
  const OutputRequest slope = read_output_request(control, "[Gefaelle]");
  EXPECT_EQ(slope.switch_value, 0);
  EXPECT_EQ(slope.file_name, "");
  const FatalError error = expect_fatal([&] { read_output_request(control, "[Curvature]"); });
  EXPECT_EQ(error.code(), 1);
  EXPECT_STREQ(error.what(), "key word \"[Curvature]\" not found in control file run.$$$\n");
}

TEST_F(ControlLookup, AnUnopenableControlFileStops) {
  const FatalError error = expect_fatal([&] { ControlFile::open("/no/such/run.$$$", console); });
  EXPECT_EQ(error.code(), 28);
  EXPECT_STREQ(error.what(), "error opening /no/such/run.$$$\n");
}

TEST_F(ControlLookup, LongFileNamesAreNeverCut) {
  const std::string name(400, 'n');
  ControlFile control = make("[Aspect]\n1\n" + name + "\n");
  EXPECT_EQ(read_output_request(control, "[Aspect]").file_name, name);
}

}  // namespace
}  // namespace orograd

// The look over the control file before the run, and the names it suggests.
#include <gtest/gtest.h>

#include <cctype>
#include <set>

#include "control/name_suggestion.hpp"
#include "control/section_check.hpp"
#include "control/section_names.hpp"
#include "support/test_support.hpp"

namespace orograd {
namespace {

const std::string& kMandatory = testing::kMandatorySections;  // ten lines

struct CheckCase {
  const char* what;
  std::string text;
  std::string warnings;
};

void PrintTo(const CheckCase& c, std::ostream* out) { *out << c.what; }

class SectionCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(SectionCheck, WarnsOnStandardErrorOnly) {
  Console console = Console::capturing();
  check_sections(ControlFile("run.$$$", GetParam().text, console), console);
  EXPECT_EQ(console.captured_warnings(), GetParam().warnings);
  EXPECT_EQ(console.captured(), "");
}

const std::string kMissingPlan = "[Aspect]\n0\n[Gefaelle]\n0\n[Profilcurvature]\n0\n[Curvature]\n0\n";
const std::string kMandatoryList = "[Aspect], [Gefaelle], [Profilcurvature], [Plancurvature], [Curvature]";

INSTANTIATE_TEST_SUITE_P(
    Cases, SectionCheck,
    ::testing::Values(
        CheckCase{"clean", "[Hoehenmodell]\n0\n" + kMandatory + "x [Notes] 1 [y\n[Einzugsgebiete]\n0\n", ""},
        CheckCase{"letter case", kMandatory + "[FlowAccumulation]\n1\n",
                  "orograd: unknown section [FlowAccumulation] in line 11 of run.$$$; did you mean "
                  "[Flowaccumulation]?\n"},
        CheckCase{"typing mistake, indented", kMandatory + "\n  [Flusnetz] river network\n",
                  "orograd: unknown section [Flusnetz] in line 12 of run.$$$; did you mean [Flussnetz]?\n"},
        CheckCase{"unlike every name", "[Notes]\n" + kMandatory,
                  "orograd: unknown section [Notes] in line 1 of run.$$$; the program reads no section of that "
                  "name\n"},
        CheckCase{"repeated", kMandatory + "[Gefaelle]\n1\n",
                  "orograd: section [Gefaelle] appears again in line 11 of run.$$$ (first in line 3); only the "
                  "first counts\n"},
        CheckCase{"missing", kMissingPlan,
                  "orograd: mandatory section [Plancurvature] is missing from run.$$$; every control file needs " +
                      kMandatoryList + "\n"},
        // The lookup finds no header on a last line without a line end.
        CheckCase{"last line unended", kMissingPlan + "[Plancurvature]",
                  "orograd: mandatory section [Plancurvature] is missing from run.$$$; every control file needs " +
                      kMandatoryList + "\n"}),
    [](const auto& info) {
      std::string name = info.param.what;
      for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

TEST(SectionTable, NamesAreBracketedDistinctAndFoundByExactName) {
  std::set<std::string_view> seen;
  for (const SectionInfo& info : known_sections()) {
    EXPECT_TRUE(is_section_header(info.name)) << info.name;
    EXPECT_TRUE(seen.insert(info.name).second) << info.name;
    EXPECT_EQ(find_known_section(info.name), &info);
  }
  EXPECT_EQ(find_known_section("[flussnetz]"), nullptr);
}

TEST(NameSuggestion, EditDistanceIgnoresLetterCase) {
  struct Case {
    const char* a;
    const char* b;
    std::size_t distance;
  };
  for (const Case& c : {Case{"", "abc", 3}, {"kitten", "sitting", 3}, {"[FLUSSNETZ]", "[Flussnetz]", 0},
                        {"[Flusnetz]", "[Flussnetz]", 1}, {"ab", "ba", 2}}) {
    EXPECT_EQ(edit_distance_ignoring_case(c.a, c.b), c.distance) << c.a << " " << c.b;
    EXPECT_EQ(edit_distance_ignoring_case(c.b, c.a), c.distance) << c.b << " " << c.a;
  }
}

}  // namespace
}  // namespace orograd

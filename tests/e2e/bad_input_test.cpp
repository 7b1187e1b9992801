// Bad inputs through the real binary, one run per row of the "Bad input" table in
// README.md: exit code, the line on standard output and the reason on standard error.
// Rows tested elsewhere:
//   missing control file           Binary.PreprocessorFailuresEndTheRun
//   grid header that cannot be read TextGridHeaderRun.DifferingSpacingsEndTheRun
//   text grid cut short, a word in a text grid, double grid cut short
//                                  GridFiles.ShortOrUnreadableTextAndDoubleGridsStop
//   word where a number is expected, section header read as a value
//                                  CommandLine.ControlFileProblemsAreWarnedWithoutChangingStandardOutput
//   more than 1999 symbols, symbol defined by itself, definition without value
//                                  Preprocessor.RejectsWhatWouldLoopOrOverflow
//   2^31 cells exactly             Grid.StopsBeforeTheCellCountWrapsAround
//   pour point code between 0 and 1 SubbasinSection.APourCodeBelowOneEndsTheRunNamingItsCell
//   output in a missing folder     Binary.AnOutputInAMissingFolderSaysWhichFolder
//   structure file in a missing folder
//                                  SubbasinSection.AStructureFileThatCannotBeOpenedEndsTheRun
// Not tested: a header within the limits over a short file, which commits the grid's
// memory before the read fails.
//   cyclic or invalid directions   WalksOverDirectionFiles below, and the cycle tests of
//                                  the flow, river, travel time and subbasin sections
#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "support/test_support.hpp"

namespace orograd {
namespace {

using testing::run_binary;
using testing::TempDir;
using testing::text_grid;
using testing::write_file;

const std::string& kMandatory = testing::kMandatorySections;

using Files = std::vector<std::pair<std::string, std::string>>;

std::string elevation_model(const std::string& name) { return "[Hoehenmodell]\n1\n" + name + "\n" + kMandatory; }

// A text header of any size above two values.
std::string header_only(const std::string& ncols, const std::string& nrows) {
  return "ncols " + ncols + "\nnrows " + nrows + "\nxllcorner 0\nyllcorner 0\ncellsize 1\nnodata_value -9999\n1 2\n";
}

// A single grid of 3 x 2 cells whose file ends after `values` cells; -1 cuts the header.
std::string cut_single_grid(int values) {
  const float header[12] = {3, 2, 0, 0, 1, -9999, 6, 1, 6, 21, 3.5f, 1.7f};
  const float cells[6] = {1, 2, 3, 4, 5, 6};
  std::string bytes(reinterpret_cast<const char*>(header), values < 0 ? 7 * sizeof(float) : sizeof header);
  if (values > 0) bytes.append(reinterpret_cast<const char*>(cells), values * sizeof(float));
  return bytes;
}

// The subbasin section on a 4 x 3 river with the given code at pour point (2, 2).
Files subbasin_files(const std::string& code) {
  return {{"dem.asc", text_grid(4, 3, {9, 8, 7, 6, 8, 7, 6, 5, 9, 8, 7, 6}, 25)},
          {"acc.asc", text_grid(4, 3, {1, 1, 1, 1, 2, 5, 8, 11, 1, 1, 1, 1}, 25)},
          {"dir.asc", text_grid(4, 3, {8, 4, 4, 4, 2, 2, 2, 2, 1, 1, 1, 128}, 25)},
          {"tt.asc", text_grid(4, 3, std::vector<double>(12, 250), 25)},
          {"pp.asc", "ncols 4\nnrows 3\nxllcorner 0\nyllcorner 0\ncellsize 25\nnodata_value -9999\n"
                     "-9999 -9999 -9999 -9999\n-9999 " + code + " -9999 1\n-9999 -9999 -9999 -9999\n"}};
}
const std::string kSubbasins = kMandatory +
                               "[Einzugsgebiete]\n1\n30\n20\ndem.asc\nacc.asc\ndir.asc\ntt.asc\n1\npp.asc\nsub.asc\n"
                               "ft.asc\nreach.asc\nstructure.txt\n";

const std::string kDem = text_grid(3, 2, {1, 2, 3, 4, 5, 6});

struct Row {
  const char* name;
  Files files;
  std::string control;  // empty: run.ctl is a folder
  int exit_code;
  std::string output;  // a line of standard output
  std::string reason;  // part of standard error
};

TEST(BadInput, EveryRowOfTheTable) {
  const std::string long_name(300, 'd');
  const std::vector<Row> rows = {
      {"folder as control file", {}, "", 1, "key word \"[Aspect]\" not found in control file run.$$$\n",
       "mandatory section [Aspect] is missing from run.$$$"},
      {"missing grid", {}, elevation_model("nothere.asc"), 2, "error opening grid nothere.asc\n",
       "cannot read nothere.asc: No such file or directory"},
      {"unknown format", {{"x.asc", "hello, no grid at all\n"}}, elevation_model("x.asc"), 98,
       "could not recognise file format (ascii, single or double) for x.asc\n",
       "x.asc is not a text, single or double grid"},
      {"empty grid file", {{"empty.asc", ""}}, elevation_model("empty.asc"), 98,
       "could not recognise file format (ascii, single or double) for empty.asc\n",
       "empty.asc is not a text, single or double grid"},
      {"geometry differs",
       {{"dem.asc", kDem}, {"dir.asc", text_grid(2, 2, {2, 2, 2, 2})}},
       elevation_model("dem.asc") + "[Flowaccumulation]\n1\nacc.asc\ndir.asc\n0\n", 1,
       "ncols (2) in dir.asc does not match the first grid (3)\n",
       "the geometry of dir.asc (ncols 2, nrows 2, xll 0, yll 0, cellsize 1) differs from that of the first grid "
       "dem.asc"},
      {"single grid cut short", {{"dem.flt", cut_single_grid(4)}}, elevation_model("dem.flt"), 5,
       "error reading from dem.flt in row 2 (1 values read)\n",
       "dem.flt ends after 1 values of row 2, but its header promises 2 rows of 3 values"},
      {"single header cut short", {{"dem.flt", cut_single_grid(-1)}}, elevation_model("dem.flt"), 1,
       "error reading fiel header from dem.flt\n", "dem.flt ends inside the header of 12 values"},
      {"line too long", {}, kMandatory + std::string(1200, 'x') + "\n", 18,
       "error in control file at line 11: line longer than 1199 characters\n",
       "the preprocessor takes lines up to 1199 characters"},
      {"symbol value too long", {}, "$set $a = " + std::string(300, 'v') + "\n" + kMandatory, 18,
       "error in control file at line 1: symbol name or value longer than 299 characters\n",
       "symbol names and values up to 299 characters"},
      {"file name too long", {}, elevation_model(long_name), 2, "error opening grid " + long_name + "\n",
       "cannot read " + long_name + ": File name too long"},
      {"control file ends in a section", {}, kMandatory + "[Flowaccumulation]\n1\nacc.asc\n", 2,
       "warning: [Flowaccumulation]: a word expected, but the control file ends here; the setting is left "
       "unchanged\nreading (first) grid ..\nerror opening grid \n",
       "cannot read : No such file or directory"},
      {"control file ends before an output name", {{"dem.asc", kDem}},
       "[Hoehenmodell]\n1\ndem.asc\n[Aspect]\n0\n[Profilcurvature]\n0\n[Plancurvature]\n0\n[Curvature]\n0\n"
       "[Gefaelle]\n1\n",
       4, "writing  ..error opening  \n",
       "cannot write : No such file or directory (the name is empty: the control file lacks a line here)"},
      {"cell count overflows", {{"dem.asc", header_only("2147483647", "2147483647")}}, elevation_model("dem.asc"), 99,
       "grid of 2147483647 columns and 2147483647 rows exceeds the limit of 2147483647 cells\n",
       "cut the DEM into parts below 2^31 cells"},
      {"ncols beyond int", {{"dem.asc", header_only("3000000000", "2")}}, elevation_model("dem.asc"), 1,
       "invalid grid size in dem.asc: 3e+09 columns, 2 rows\n", "whole numbers from 1 to 2147483647"},
      {"pour code above 500000", subbasin_files("500001"), kSubbasins, 19,
       "subbasin codes (in pourpoint grid) has to be less than or at least equal to 500000\n",
       "pour point code 500001 in cell 2, 2 lies outside the codes 1 to 500000"},
      {"pour code NaN", subbasin_files("nan"), kSubbasins, 19,
       "subbasin codes (in pourpoint grid) has to be less than or at least equal to 500000\n",
       "pour point code nan in cell 2, 2 lies outside the codes 1 to 500000"},
      {"full disk",
       {{"dem.asc", kDem}},
       "[Hoehenmodell]\n1\ndem.asc\n[Aspect]\n0\n[Gefaelle]\n1\n/dev/full\n[Profilcurvature]\n0\n[Plancurvature]\n0\n"
       "[Curvature]\n0\n",
       10, "writing /dev/full ..error writing in /dev/full\n", "cannot write /dev/full: No space left on device"},
  };
  for (const Row& row : rows) {
    TempDir dir;
    for (const auto& [name, contents] : row.files) write_file(dir.file(name), contents);
    if (row.control.empty())
      std::filesystem::create_directory(dir.file("run.ctl"));
    else
      write_file(dir.file("run.ctl"), row.control);
    const auto result = run_binary(dir.path().string(), {"run.ctl"});
    EXPECT_EQ(result.exit_code, row.exit_code) << row.name << "\n" << result.output;
    EXPECT_NE(result.output.find(row.output), std::string::npos) << row.name << "\n" << result.output;
    EXPECT_NE(result.errors.find(row.reason), std::string::npos) << row.name << "\n" << result.errors;
  }
}


// Direction files with a cycle (cells 1,1 -> 1,2 -> 2,2 -> 2,1 -> 1,1) and with the
// invalid code 3, fed to every section that walks over a direction grid: each run
// reports the cut and ends normally, having written its last output.
TEST(BadInput, WalksOverDirectionFiles) {
  const auto grid = [](const std::vector<double>& values) { return text_grid(3, 3, values, 25); };
  const std::vector<std::pair<std::string, std::string>> directions = {
      {grid({2, 8, 8, 128, 32, 8, 8, 8, 8}), "flowdirections form a cycle through cell 2, 1; flow paths end there\n"},
      {grid({2, 3, 8, 8, 8, 8, 8, 8, 8}), "flowdirection 3 in cell 1, 2 is not a valid code; flow paths end there\n"}};
  // Each section with the output it writes last.
  const std::vector<std::pair<std::string, std::string>> sections = {
      {"[Flowaccumulation]\n1\nacc_out.asc\ndir.asc\n0\n", "acc_out.asc"},
      {"[Flussordnungen]\n1\nord.asc\nlnk_out.asc\none.asc\ndir.asc\n", "lnk_out.asc"},
      {"[Fliesskorrektur]\n1\ncord.asc\nclnk.asc\ncdir.asc\ncacc.asc\n0\ndem.asc\none.asc\ndir.asc\nacc.asc\n"
       "one.asc\n1\n1\n",
       "cacc.asc"},
      {"[Flusseparation]\n1\nsep\n1\n3\none.asc\nlnk.asc\ndir.asc\n", "sep01"},
      {"[Fliesszeiten]\n1\ntt.asc\ndepth.asc\nwidth.asc\n30\n20\ndem.asc\nzero.asc\ndir.asc\nacc.asc\nlnk.asc\n",
       "width.asc"},
      {"[Einzugsgebiete]\n1\n30\n20\ndem.asc\nacc.asc\ndir.asc\ntime.asc\n1\npp.asc\nsub.asc\nft.asc\nreach.asc\n"
       "structure.txt\n",
       "structure.txt"}};
  for (const auto& [directions_file, message] : directions)
    for (const auto& [section, last_output] : sections) {
      TempDir dir;
      write_file(dir.file("dir.asc"), directions_file);
      write_file(dir.file("dem.asc"), grid({30, 29, 28, 25, 20, 25, 15, 10, 15}));
      write_file(dir.file("zero.asc"), grid(std::vector<double>(9, 0)));
      write_file(dir.file("one.asc"), grid(std::vector<double>(9, 1)));
      write_file(dir.file("acc.asc"), grid(std::vector<double>(9, 100)));
      write_file(dir.file("lnk.asc"), grid(std::vector<double>(9, 12)));
      write_file(dir.file("time.asc"), grid(std::vector<double>(9, 250)));
      write_file(dir.file("pp.asc"), grid({-9999, -9999, -9999, -9999, 2, -9999, -9999, -9999, 1}));
      write_file(dir.file("run.ctl"), kMandatory + section);
      const auto result = run_binary(dir.path().string(), {"run.ctl"});
      EXPECT_EQ(result.exit_code, 0) << section << result.output;
      EXPECT_NE(result.output.find(message), std::string::npos) << section << result.output;
      EXPECT_TRUE(std::filesystem::exists(dir.file(last_output))) << section;
    }
}

}  // namespace
}  // namespace orograd

// The structure file: block order, inflow lines, merging in mode 2 and writing.
#include <gtest/gtest.h>

#include "base/fatal.hpp"
#include "basins/structure_file.hpp"
#include "support/test_support.hpp"

namespace orograd {
namespace {

// A record whose channel parameters tell it apart: width = code, acc_outlet = code and
// acc_max = 10 × code cells (km² / 100 at cell size 100), area = code / 10 km²
// (what mode 2 adds up), entering its downstream subbasin at (1, exit_col).
SubbasinRecord record(int32_t code, int32_t downstream, int32_t exit_col = 1) {
  SubbasinRecord r;
  r.code = code;
  r.downstream = downstream;
  r.width = code;
  r.depth = 0.25;
  r.roughness = 25;
  r.sqrt_slope = 0.1;
  r.length = 1200.5;
  r.acc_outlet = code;
  r.acc_max = 10 * code;
  r.area = code / 10.0;
  r.exit_row = 1;
  r.exit_col = exit_col;
  return r;
}

// The parameters of record(code) with the given AE.
std::string parameters(int32_t code, const std::string& ae) {
  return format(" (kh=0.1, kv=0.4, Bh=%4.1f, Bv=%5.1f, Th= 0.25, Mh=25.0, Mv=10.0, I=0.0100, L=1200.5, AE=%s)",
                code * 1.0, code * 4.0, ae.c_str());
}

TEST(RoutingStructureText, AChainGivesTheUpperBlockFirst) {
  const std::vector<SubbasinRecord> chain = {record(1, 2), record(2, 3), record(3, 0)};
  EXPECT_EQ(routing_structure_text(chain, 100, 1),
            "TG 2 (AE=0.1000000, AErel=1.0)\n"
            " from OL  1 (kh=0.1, kv=0.4, Bh= 1.0, Bv=  4.0, Th= 0.25, Mh=25.0, Mv=10.0, I=0.0100, L=1200.5, "
            "AE=0.0100000)\n"
            "TG 3 (AE=0.2000000, AErel=1.0)\n"
            " from OL  2 (kh=0.1, kv=0.4, Bh= 2.0, Bv=  8.0, Th= 0.25, Mh=25.0, Mv=10.0, I=0.0100, L=1200.5, "
            "AE=0.0200000)\n");
  EXPECT_EQ(routing_structure_text({record(7, 0)}, 100, 1), "");
}

// Tributaries 1, 2 and 5 of outlet 9 enter at one cell, 3 and 4 elsewhere.
TEST(RoutingStructureText, Mode2MergesInflowsAtOneCellAndMode1ListsThemApart) {
  const std::vector<SubbasinRecord> records = {record(1, 9, 5), record(2, 9, 5), record(3, 9, 7),
                                               record(4, 9, 8), record(5, 9, 5), record(9, 0)};
  struct Case {
    int32_t mode;
    std::string text;
  };
  const Case cases[] = {
      // Merged areas add up (0.1 + 0.2 + 0.5); the last inflow moves into each merged
      // one's place, so 4 comes before 3, and 3's reach gives the receiving AE.
      {2, "TG 9 (AE=0.3000000, AErel=1.0)\n from SUMTRIB 1&2&5" + parameters(1, "0.8000000") + "\n  and OL  4" +
              parameters(4, "0.0400000") + "\n  and OL  3" + parameters(3, "0.0300000") + "\n"},
      {1, "TG 9 (AE=0.5000000, AErel=1.0)\n from OL  1" + parameters(1, "0.0100000") + "\n  and OL  2" +
              parameters(2, "0.0200000") + "\n  and OL  3" + parameters(3, "0.0300000") + "\n  and OL  4" +
              parameters(4, "0.0400000") + "\n  and OL  5" + parameters(5, "0.0500000") + "\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(routing_structure_text(records, 100, c.mode), c.text) << c.mode;
}

TEST(RoutingStructureText, DeepChainsLongBlocksAndSelfInflowsAreWrittenWhole) {
  const int32_t depth = 100000;
  std::vector<SubbasinRecord> chain;
  for (int32_t code = 1; code <= depth; ++code) chain.push_back(record(code, code < depth ? code + 1 : 0));
  const std::string deep = routing_structure_text(chain, 100, 1);
  EXPECT_EQ(deep.rfind("TG 2 (", 0), 0u);
  EXPECT_EQ(deep.find(format("TG %d (", depth)), deep.rfind("TG "));
  EXPECT_EQ(std::count(deep.begin(), deep.end(), '\n'), 2 * (depth - 1));

  std::vector<SubbasinRecord> wide = {record(1000, 0)};
  for (int32_t code = 1; code <= 300; ++code) wide.push_back(record(code, 1000));
  const std::string block = routing_structure_text(wide, 100, 1);
  EXPECT_GT(block.size(), 20000u);
  EXPECT_NE(block.find("\n  and OL 300" + parameters(300, "3.0000000") + "\n"), std::string::npos);

  // A record draining into its own code is listed, and its code not walked again.
  EXPECT_EQ(routing_structure_text({record(1, 0), record(1, 1)}, 100, 1),
            "TG 1 (AE=0.1000000, AErel=1.0)\n from OL  1" + parameters(1, "0.0100000") + "\n");
}

TEST(WriteStructureFile, WritesTheTextOrStopsWithTheCodeOfTheFailure) {
  const testing::TempDir dir;
  write_structure_file(dir.file("structure.txt"), "TG 2\n from OL  1\n");
  EXPECT_EQ(testing::read_file(dir.file("structure.txt")), "TG 2\n from OL  1\n");

  struct Case {
    std::string file;
    int code;
    std::string message;
  };
  const Case cases[] = {
      {dir.file("missing/structure.txt"), 3,
       "Strukturdatei " + dir.file("missing/structure.txt") + " kann nicht geoeffnet werden\n"},
      {"/dev/full", 10, "error writing in /dev/full\n"},
  };
  for (const Case& c : cases) {
    const FatalError error = testing::expect_fatal([&] { write_structure_file(c.file, "TG 2\n"); });
    EXPECT_EQ(error.code(), c.code);
    EXPECT_EQ(error.what(), c.message);
  }
}

}  // namespace
}  // namespace orograd

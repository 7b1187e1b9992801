// The checks made before a pour-point grid is written: codes, repeats, points off the
// grid, points snapped together, and the command line.
#include <gtest/gtest.h>

#include "pour/place_gauges.hpp"
#include "pour/pour_code.hpp"
#include "pour/pour_options.hpp"
#include "support/test_support.hpp"

namespace orograd::pour {
namespace {

using testing::expect_fatal;
using testing::grid_of;

TEST(PourCode, AcceptsWholeNumbersFromOneTo500000) {
  const std::pair<const char*, std::optional<int32_t>> cases[] = {
      {"1", 1},           {"500000", 500000},     {"7.0", 7},           {"7e0", 7},
      {"0", std::nullopt},   {"-3", std::nullopt},   {"500001", std::nullopt}, {"2.5", std::nullopt},
      {"", std::nullopt},    {"12a", std::nullopt},  {"abc", std::nullopt},    {"nan", std::nullopt},
      {"inf", std::nullopt}, {"1e300", std::nullopt},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(pour_code(text), expected) << '"' << text << '"';
}

// 3 rows of 4 cells of 10 from (0, 0); the river runs along row 2.
class PlaceGauges : public ::testing::Test {
 protected:
  const Grid accumulation = grid_of({{1, 1, 1, 1}, {5, 6, 7, 8}, {1, kNodata, 1, 1}});
  const GridHeader geometry{4, 3, 0, 0, 10, kNodata};

  std::vector<PlacedGauge> place(const std::vector<GaugePoint>& points, double distance = 10) {
    return place_gauges(points, accumulation, geometry, distance, "gauges.csv", "code");
  }
};

TEST_F(PlaceGauges, SnapsEachGaugeOntoTheRiver) {
  const std::vector<PlacedGauge> placed = place({{5, 25, "3"}, {35, 5, "4.0"}});
  ASSERT_EQ(placed.size(), 2u);
  EXPECT_EQ(placed[0].code, 3);
  EXPECT_TRUE(placed[0].cell.row == 1 && placed[0].cell.col == 1);
  EXPECT_TRUE(placed[0].snapped.cell.row == 2 && placed[0].snapped.cell.col == 1);
  EXPECT_EQ(placed[1].code, 4);
  EXPECT_TRUE(placed[1].snapped.cell.row == 2 && placed[1].snapped.cell.col == 4);
}

TEST_F(PlaceGauges, RefusesBadCodesAndPlaces) {
  const std::pair<std::vector<GaugePoint>, const char*> cases[] = {
      {{{5, 25, "3"}, {35, 5, ""}}, "feature 2 of gauges.csv: its code '' is no whole number from 1 to 500000"},
      {{{5, 25, "2.5"}}, "its code '2.5' is no whole number"},
      {{{5, 25, "500001"}}, "its code '500001' is no whole number"},
      {{{5, 25, "3"}, {35, 5, "4"}, {25, 5, "3"}}, "features 1 and 3 of gauges.csv have the same code 3"},
      {{{5, 25, "3"}, {45, 5, "4"}}, "feature 2 of gauges.csv (x 45, y 5) lies outside"},
      {{{5, 25, "3"}, {5, 5, "4"}}, "codes 3 and 4 are both snapped onto row 2, column 1"},
  };
  for (const auto& [points, message] : cases) {
    const FatalError error = expect_fatal([&] { place(points); });
    EXPECT_EQ(error.code(), 1) << message;
    EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
  }
  // Only nodata within reach: the gauge has no river to go to.
  const FatalError error = expect_fatal([&] { place({{15, 5, "1"}}, 0); });
  EXPECT_NE(std::string(error.what()).find("has only nodata accumulation within 0 map units"), std::string::npos);
}

TEST(PourOptions, ReadsFilesAndOptionsInAnyOrder) {
  const PourOptions options = parse_pour_arguments({"--snap", "250.5", "g.gpkg", "acc.asc", "--code", "id", "pp.asc"});
  EXPECT_EQ(options.points, "g.gpkg");
  EXPECT_EQ(options.accumulation, "acc.asc");
  EXPECT_EQ(options.pour_grid, "pp.asc");
  EXPECT_EQ(options.snap, 250.5);
  EXPECT_EQ(options.code_field, "id");
  EXPECT_FALSE(parse_pour_arguments({"a", "b", "c"}).snap.has_value());
  const std::pair<std::vector<std::string>, const char*> refused[] = {
      {{"a", "b", "c", "--snap", "-1"}, "--snap needs a distance of 0 or more"},
      {{"a", "b", "c", "--snap", "ten"}, "not 'ten'"},
      {{"a", "b", "c", "--snap", "nan"}, "not 'nan'"},
      {{"a", "b", "c", "--snap"}, "--snap needs a value"},
      {{"a", "b", "c", "--radius", "3"}, "unknown option --radius"},
      {{"a", "b"}, "expected a points file"},
  };
  for (const auto& [arguments, message] : refused) {
    const FatalError error = expect_fatal([&] { parse_pour_arguments(arguments); });
    EXPECT_EQ(error.code(), 1);
    EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
  }
}

}  // namespace
}  // namespace orograd::pour

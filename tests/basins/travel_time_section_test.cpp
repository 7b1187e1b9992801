// The grids and names [Fliesszeiten] leaves behind.
#include <gtest/gtest.h>

#include "basins/travel_time_section.hpp"
#include "flow/flow_test_grids.hpp"
#include "support/test_support.hpp"

namespace orograd {
namespace {

using testing::grid_of;
using testing::N;
using testing::values_of;

// All inputs in memory under the names the section gives: nothing is read. The travel
// times stay under their output name, the link grid with this section's numbers; the
// network is released.
TEST(TravelTimeSection, LeavesTravelTimesAndItsLinksInMemory) {
  testing::TempDir dir;
  Console console = Console::capturing();
  RunState run(console);
  run.grid_context.header = {2, 1, 0, 0, 25, kNodata};
  SharedGrids& g = run.grids;
  const auto hold = [](SharedGrid& shared, std::vector<double> values, const char* name) {
    shared.grid = grid_of(2, 1, values);
    shared.name = name;
  };
  hold(g.elevation, {20, 10}, "dem");
  hold(g.slope, {5, 5}, "slope");
  hold(g.flow_direction, {2, 2}, "dir");
  hold(g.flow_accumulation, {1, 2}, "acc");
  hold(g.river_link, {4, 4}, "lnk");
  const std::string travel_time_file = dir.file("tt.asc");
  run.control.emplace("run.$$$",
                      "[Fliesszeiten]\n1\n" + travel_time_file + "\n" + dir.file("h.asc") + "\n" + dir.file("b.asc") +
                          "\n30\n20\ndem\nslope\ndir\nacc\nlnk\n",
                      console);
  run_travel_times(run);

  EXPECT_EQ(console.captured().find("reading"), std::string::npos) << console.captured();
  EXPECT_EQ(console.captured().rfind("calculating flow travel times..\n", 0), 0U);
  EXPECT_TRUE(g.travel_time.grid.held());
  EXPECT_EQ(g.travel_time.name, travel_time_file);
  EXPECT_EQ(values_of(g.river_link.grid), (std::vector<double>{1, 1}));
  EXPECT_FALSE(g.river_network.grid.held());
  EXPECT_EQ(run.settings.strickler_coefficient, 30);
  EXPECT_EQ(run.settings.specific_discharge, 20);
}

}  // namespace
}  // namespace orograd

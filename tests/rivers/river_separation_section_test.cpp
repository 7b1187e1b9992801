// The grids [Flusseparation] leaves behind.
#include <gtest/gtest.h>

#include "driver/run_state.hpp"
#include "rivers/river_separation_section.hpp"

namespace orograd {
namespace {

// Order and link grids are released even when the switch is 0, and only then.
TEST(RiverSeparationSection, ReleasesOrdersAndLinksWhenPresent) {
  for (const std::string control : {"[Flusseparation]\n0\n", "[Flussnetz]\n0\n"}) {
    Console console = Console::capturing();
    RunState run(console);
    run.control.emplace("run.$$$", control, console);
    for (SharedGrid* shared : {&run.grids.stream_order, &run.grids.river_link}) {
      shared->grid = Grid::allocate(2, 2);
      shared->name = "written.asc";
      shared->read_name = "read.asc";
    }
    run_river_separation(run);
    const bool present = control.rfind("[Flusseparation]", 0) == 0;
    for (SharedGrid* shared : {&run.grids.stream_order, &run.grids.river_link}) {
      EXPECT_EQ(shared->grid.held(), !present) << control;
      EXPECT_EQ(shared->read_name.empty(), present) << control;
      EXPECT_EQ(shared->name, "written.asc");
    }
  }
}

}  // namespace
}  // namespace orograd

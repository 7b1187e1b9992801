#include <gtest/gtest.h>

#include "base/console.hpp"
#include "flow/depressionless_directions.hpp"
#include "flow/flow_accumulation.hpp"
#include "flow_test_grids.hpp"

namespace orograd {
namespace {

using testing::grid_of;
using testing::N;

struct Derived {
  Grid elevation, directions, regions;
  Console console = Console::capturing();
  FlowDirectionRuns runs;

  Derived(Neighbourhood n, int ncols, int nrows, const std::vector<double>& z,
          SinkRunMode mode = SinkRunMode::incremental)
      : elevation(grid_of(ncols, nrows, z)), directions(Grid::allocate(ncols, nrows)),
        regions(Grid::allocate(ncols, nrows)) {
    runs = derive_flow_directions(n, elevation, directions, regions, console, mode);
  }
};

TEST(RoundElevations, RoundsToThousandthsWithAFifthRoundedDown) {
  Grid z = grid_of(4, 1, {100.0005, 100.0006, N, -3.2004});
  round_elevations(z);
  EXPECT_EQ(z(1, 1), 100.0);
  EXPECT_EQ(z(1, 2), 100.001);
  EXPECT_EQ(z(1, 3), N);
  EXPECT_EQ(z(1, 4), -3.2);
}

TEST(DeriveFlowDirections, APitIsFilledThenDrainedAcrossItsNewFlat) {
  Derived d(Neighbourhood::eight, 5, 5,
            {0, 0, 0, 0, 0,  //
             0, 3, 2, 3, 0,  //
             0, 3, 1, 3, 0,  //
             0, 3, 3, 3, 0,  //
             0, 0, 0, 0, 0});
  EXPECT_EQ(d.console.captured(),
            "calculating flow directions: run 1 \n.\n1 Sinks; filling sinks: run 1\n"
            "calculating flow directions: run 2 \n.\n0 Sinks; filling sinks: run 2\n"
            "0 emptying plains: run 1\n");
  EXPECT_EQ(d.elevation(3, 3), 2.0);
  EXPECT_EQ(d.directions(3, 3), 128);  // towards the outlet at 2.0 to the north
  EXPECT_EQ(d.regions(3, 3), 2);       // the label stays although the flat sweep drained it
}

TEST(DeriveFlowDirections, NestedDepressionsFillOneLevelPerRun) {
  // A pit at 1 inside a basin at 2 inside a rim at 4 with an outlet at 3.
  Derived d(Neighbourhood::four, 7, 7,
            {9, 9, 9, 0, 9, 9, 9,  //
             9, 4, 4, 3, 4, 4, 9,  //
             9, 4, 2, 2, 2, 4, 9,  //
             9, 4, 2, 1, 2, 4, 9,  //
             9, 4, 2, 2, 2, 4, 9,  //
             9, 4, 4, 4, 4, 4, 9,  //
             9, 9, 9, 9, 9, 9, 9});
  EXPECT_EQ(d.runs.sink_runs, 3);
  const std::string& out = d.console.captured();
  EXPECT_NE(out.find("1 Sinks; filling sinks: run 1\n"), std::string::npos);
  EXPECT_NE(out.find("1 Sinks; filling sinks: run 2\n"), std::string::npos);
  EXPECT_NE(out.find("0 Sinks; filling sinks: run 3\n"), std::string::npos);
  for (int r = 3; r <= 5; ++r)
    for (int c = 3; c <= 5; ++c) {
      EXPECT_EQ(d.elevation(r, c), 3.0);
      EXPECT_NE(d.directions(r, c), 0);
    }
}

// A pit 1.0 deep under its only lower neighbour X (1.001), which flows into it.
std::vector<double> shallow_pit(double x) {
  return {9, 9, 9, 9, 9,  //
          9, 9, x, 9, 9,  //
          9, 9, 1, 9, 9,  //
          9, 9, 9, 9, 9,  //
          9, 9, 9, 9, 9};
}

// A pit shallower than the sink tolerance in a run that counts no closed depression
// is raised without being counted. Stopping there would leave X pointing into the
// raised pit while the flat sweep points the pit back at X: a two-cell cycle. The
// loop must run once more on the raised elevations.
TEST(DeriveFlowDirections, AnUncountedRaiseIsFollowedByAnotherRun) {
  // 1.001 - 1.0 computes just below 0.001, so four neighbours miss it; 0.0004 is below
  // the eight-neighbour tolerance of either build.
  for (const auto& [n, x] : {std::pair{Neighbourhood::four, 1.001}, std::pair{Neighbourhood::eight, 1.0004}}) {
    Derived d(n, 5, 5, shallow_pit(x));
    const std::string& out = d.console.captured();
    EXPECT_NE(out.find("0 Sinks; filling sinks: run 1\n"), std::string::npos) << out;
    // Run 2 sees X and the raised pit as one closed flat and fills it; run 3 is clean.
    EXPECT_NE(out.find("1 Sinks; filling sinks: run 2\n"), std::string::npos) << out;
    EXPECT_NE(out.find("0 Sinks; filling sinks: run 3\n"), std::string::npos) << out;
    EXPECT_EQ(d.runs.sink_runs, 3);
    EXPECT_EQ(d.elevation(3, 3), 9.0);
    const Step from_pit = downstream(3, 3, d.directions(3, 3), 5, 5);
    ASSERT_EQ(from_pit.kind, StepKind::moved);
    const Step back = downstream(from_pit.row, from_pit.col, d.directions(from_pit.row, from_pit.col), 5, 5);
    EXPECT_FALSE(back.kind == StepKind::moved && back.row == 3 && back.col == 3);
  }
}

TEST(DeriveFlowDirections, ARunThatRaisesNothingEndsTheLoopAsBefore) {
  // A pit 0.002 deep is counted in run 1; run 2 counts 0 and raises nothing.
  Derived d(Neighbourhood::four, 5, 5, shallow_pit(1.002));
  EXPECT_EQ(d.runs.sink_runs, 3);  // the pit, then the flat {X, pit} at 1.002, then clean
  Derived flat(Neighbourhood::eight, 3, 3, std::vector<double>(9, 2.0));
  EXPECT_EQ(flat.console.captured(),
            "calculating flow directions: run 1 \n.\n0 Sinks; filling sinks: run 1\n0 emptying plains: run 1\n");
}

// Spill levels start at 99999: a pit at or above it is counted every run but never
// raised. The loop must end with a warning instead of repeating that run forever, and
// the flat sweeps must not wait for it either.
TEST(DeriveFlowDirections, SinksAboveTheSpillCeilingEndWithAWarning) {
  for (const SinkRunMode mode : {SinkRunMode::incremental, SinkRunMode::plain}) {
    Derived d(Neighbourhood::eight, 5, 5,
              {0, 0, 0, 0, 0,            //
               0, 100005, 100005, 100005, 0,  //
               0, 100005, 100000, 100005, 0,  //
               0, 100005, 100005, 100005, 0,  //
               0, 0, 0, 0, 0},
              mode);
    EXPECT_EQ(d.console.captured(),
              "calculating flow directions: run 1 \n.\n1 Sinks; filling sinks: run 1\n"
              "warning: 1 sinks lie at or above 99999 and cannot be filled\n"
              "1 emptying plains: run 1\n"
              "warning: 1 cells of plains cannot be drained and keep direction 0\n");
    EXPECT_EQ(d.directions(3, 3), 0);
    EXPECT_EQ(d.elevation(3, 3), 100000);
  }
}

}  // namespace
}  // namespace orograd

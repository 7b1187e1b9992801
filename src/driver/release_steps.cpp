#include "driver/release_steps.hpp"

#include <initializer_list>

namespace orograd {

namespace {

void release_and_forget(std::initializer_list<SharedGrid*> grids) {
  for (SharedGrid* shared : grids) {
    shared->release();
    shared->forget_name();
  }
}

}  // namespace

void release_after_accumulation(RunState& run) { run.grids.scratch = Grid{}; }

void release_after_correction(RunState& run) {
  SharedGrids& g = run.grids;
  g.scratch = Grid{};
  release_and_forget({&g.flow_accumulation, &g.river_network, &g.elevation});
}

void release_after_travel_times(RunState& run) {
  SharedGrids& g = run.grids;
  release_and_forget({&g.flow_accumulation, &g.river_network, &g.elevation, &g.slope});
}

void release_at_end(RunState& run) {
  SharedGrids& g = run.grids;
  release_and_forget(
      {&g.flow_accumulation, &g.elevation, &g.travel_time, &g.flow_direction, &g.stream_order, &g.river_link});
}

}  // namespace orograd

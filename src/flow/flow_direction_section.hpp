#pragma once
#include "driver/run_state.hpp"

namespace orograd {

// [Flowdirection]: rounds and fills the elevation model in place, derives a direction
// for every cell and writes the directions, the sink-region labels and the filled
// elevations. The directions stay in memory under their output name.
void run_flow_directions(RunState& run);

}  // namespace orograd
